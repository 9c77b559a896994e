#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class LinkNode;
class LinkTree;

// The two kinds of page: the classic XHTML page in Shift_JIS, and an HTML5 page in UTF-8 that
// validates, reads well in a screen reader and folds without a script.
enum class PageFormat { Classic, Html5 };

// What the export settings dialog (or vormik-export's options) ask of the page.
struct ExportSettings
{
    static inline const QString ClassNamePlaceholder = QStringLiteral("指定したい場合のみ設定");

    QString outputFileName;          // full path of the page
    bool foldingScript = true;       // JSONRadioBtn
    bool defaultStyleSheet = true;   // DefCSSONRadioBtn
    bool softwareInfo = true;        // SoftInfoONRadioBtn
    bool authorLink = true;          // AuthorLinkONRadioBtn
    QString groupMark;               // GroupMarkCmbBox's text
    QString fontName;                // empty: no font chosen
    QString classNameEntry = ClassNamePlaceholder;
    PageFormat format = PageFormat::Classic; // the classic page unless the user picks HTML5
    // The HTML5 page only:
    QString pageTitle;                               // empty: the template's title
    QString pageLanguage = QStringLiteral("ja");     // a language tag; empty: ja
    bool separateFiles = false;                      // style and script in files beside the page

    bool operator==(const ExportSettings &) const = default;
};

// What an export has to tell its user besides success.
struct PageReport
{
    std::vector<int> unnamedNodes; // absolute indexes of the nodes shown under a stand-in name
    // Links whose id does not work as written, by absolute index: an id holding a space, an id an
    // earlier link has too, and an id equal to one the page gives a group.
    std::vector<int> spacedIds;
    std::vector<int> sharedIds;
    std::vector<int> groupIdClashes;
    // Absolute indexes of the nodes whose names the classic page wrote as text, not markup, since
    // they would run or load something.
    std::vector<int> textNodes;
    // The hash sources a Content-Security-Policy needs for the inline style and script, as
    // "style-src 'sha256-…'"; none when they are files.
    QStringList policySources;
    // The style and the script as files beside the page: full path and content.
    std::vector<std::pair<QString, QByteArray>> companionFiles;
};

// The working record of one export; empty until the export fills it.
struct TSystemStruct
{
    QString GroupClassName; // class of every group block; the folding script hides these
    QString RootClassName;  // class of the block around all node lines; the stylesheet's selector
    QString StyleSheet;     // the style element, empty without the default stylesheet
    QString HeadText;       // the processed template, then the root block's start tag
    QString FooterText;     // empty without the author link
};

namespace PageGenerator {

inline const QStringList GroupClassCandidates = {
    QStringLiteral("titem"),  QStringLiteral("items"),  QStringLiteral("tnode"),    QStringLiteral("nodes"),
    QStringLiteral("tlink"),  QStringLiteral("links"),  QStringLiteral("groups"),   QStringLiteral("folder"),
    QStringLiteral("nodeitem"), QStringLiteral("lnkgrp"),
};
inline const QStringList RootClassCandidates = {
    QStringLiteral("tree"),   QStringLiteral("ttree"),  QStringLiteral("root"),    QStringLiteral("troot"),
    QStringLiteral("base"),   QStringLiteral("tbase"),  QStringLiteral("parent"),  QStringLiteral("tparent"),
    QStringLiteral("roots"),  QStringLiteral("troots"),
};

// The page-head template, as lines.
QStringList templateLines();

// The page's title as the template writes it (already HTML text).
QString templateTitle();

// The program as the page names it, in the generator line and the footer.
inline const QString GeneratorName = QStringLiteral("Vormik Ver1.00");
// The maker's notice in the footer, and the web page it links to: the home page the build names
// (VORMIK_HOMEPAGE), or none.
inline const QString MakerNotice = QStringLiteral("このメニューはツリーメニュー作成ソフト Vormik で作りました。");
inline const QString MakerSite = QStringLiteral(VORMIK_HOMEPAGE);
inline const QString MakerSiteLinkText = QStringLiteral("Vormik のウェブサイトへ");

// The footer's link to MakerSite; empty when the build names no home page, so that no page links
// to an address that does not answer.
QString makerSiteLink();

// The file-name suffix a save dialog proposes for a page of `format`, without the dot.
QString suggestedSuffix(PageFormat format);

// Sets GroupClassName and RootClassName: the trimmed class-name entry when the user gave one,
// otherwise the first candidate no node uses as its class. The root class is the first of its
// candidates that neither a node nor the group class uses.
void ChooseClassNames(const LinkTree &tree, const ExportSettings &settings, TSystemStruct &system);

// Fills the whole record: class names, stylesheet, processed head and footer.
void BuildPageHead(const LinkTree &tree, const ExportSettings &settings, TSystemStruct &system);

// The footer line's text after "<br />".
QString footerText();

// What one export makes of the tree, all in absolute order: the page's bytes, the id generated for
// every group (empty for a link) and every node's own markup, and what the export has to tell its
// user. The tree is only read; the export command writes the groups' ids back.
struct Page
{
    QByteArray bytes;
    std::vector<QString> groupIds;
    std::vector<QString> markup;
    PageReport report;
};

// The id "group-LEVEL-N" of every group (PREFIX-LEVEL-N with another prefix), numbered per level
// across the tree; empty for a link.
std::vector<QString> NumberGroups(const LinkTree &tree, const QString &prefix = QStringLiteral("group-"));

// Fills the report's lists of links whose id does not work as written on a page whose groups
// take `groupIds`.
void checkIds(const LinkTree &tree, const std::vector<QString> &groupIds, PageReport &report);

// Appends ` NAME="VALUE"` to `markup`, the value already escaped. Appended piece by piece: this
// runs for every field of every link, and arg() would parse a pattern each time.
void appendAttribute(QString &markup, const char *name, const QString &escapedValue);

// The attributes of a link's anchor: one for each field the page shows, in the table's order, none
// for an empty field. `escaped` makes a value attribute text. With `targetNeedsAddress`, a link
// without an address gets no target either. `address`, when given, rewrites the address before it
// is escaped.
QString linkAttributes(const LinkNode &link, QString (*escaped)(const QString &), bool targetNeedsAddress = false,
                       QString (*address)(const QString &) = nullptr);

// Every node's own markup. A group's heading links to its id among `groupIds`. A name that holds
// active content is written as text, and its node's index added to `textNodes`.
std::vector<QString> BuildNodeMarkup(const LinkTree &tree, const ExportSettings &settings,
                                     const std::vector<QString> &groupIds, std::vector<int> *textNodes = nullptr);

// The tree-line characters in front of each node, taken in absolute order. Only the cells a row
// actually uses are kept (one per level above the node), so the work is linear in the page.
class TreeLines
{
public:
    // The prefix of `node`, which must follow the previous node in absolute order.
    QString prefixOf(const LinkNode &node);

private:
    // Column c holds "│" while the node's ancestor below level c still has siblings to come and
    // its parent is a group.
    QString m_continuation;
};

// How many group blocks end at each row: a group's block ends at the row of its last descendant,
// or at its own row when it has no children.
std::vector<int> groupEnds(const LinkTree &tree);

// The node lines of the page; each line is handed to `sink` without its line end. A group's line
// is followed by its block's start tag (and, for a group without children, the block's end).
void writeNodeLines(const LinkTree &tree, const TSystemStruct &system, const Page &page,
                    const std::function<void(const QString &line)> &sink);

// The page in settings.format: the classic page is CP932 with CR LF after every line, the HTML5
// page UTF-8 without a byte-order mark.
Page buildPage(const LinkTree &tree, const ExportSettings &settings);
Page buildPage(const LinkTree &tree, const ExportSettings &settings, TSystemStruct &system);

// Writes the page's bytes to `fileName` at once; a failure throws VormikError and leaves any file
// already there as it was.
void writePage(const QString &fileName, const QByteArray &bytes);

// Writes the page's style and script files, when it has them, then the page to `fileName`.
void writePageFiles(const QString &fileName, const Page &page);

// Builds the page and writes it to settings.outputFileName.
Page exportPage(const LinkTree &tree, const ExportSettings &settings);

} // namespace PageGenerator
