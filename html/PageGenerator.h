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

    QString OutputFileName;          // full path of the page
    bool FoldingScript = true;       // JSONRadioBtn
    bool DefaultStyleSheet = true;   // DefCSSONRadioBtn
    bool SoftwareInfo = true;        // SoftInfoONRadioBtn
    bool AuthorLink = true;          // AuthorLinkONRadioBtn
    QString GroupMark;               // GroupMarkCmbBox's text
    QString FontName;                // empty: no font chosen
    QString ClassNameEntry = ClassNamePlaceholder;
    PageFormat Format = PageFormat::Classic; // the classic page unless the user picks HTML5
    // The HTML5 page only:
    QString pageTitle;                               // empty: the template's title
    QString pageLanguage = QStringLiteral("ja");     // a language tag; empty: ja
    bool separateFiles = false;                      // style and script in files beside the page
};

// What an export has to tell its user besides success.
struct PageReport
{
    std::vector<int> unnamedNodes; // absolute indexes of the nodes shown under a stand-in name
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
    PageReport report;      // filled by the HTML5 page
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
// The maker's notice in the footer, and the web page it links to.
inline const QString MakerNotice = QStringLiteral("このメニューはツリーメニュー作成ソフト Vormik で作りました。");
inline const QString MakerSite = QStringLiteral("https://vormik.example.org/");
inline const QString MakerSiteLinkText = QStringLiteral("Vormik のウェブサイトへ");

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

// Gives every group the id "group-LEVEL-N" (PREFIX-LEVEL-N with another prefix), numbered per level
// across the tree; returns the number of groups.
int NumberGroups(LinkTree &tree, int deepestLevel, const QString &prefix = QStringLiteral("group-"));

// Writes every node's own markup into its HtmlText. Needs the ids of NumberGroups.
void BuildNodeMarkup(LinkTree &tree, const ExportSettings &settings);

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
void writeNodeLines(const LinkTree &tree, const TSystemStruct &system,
                    const std::function<void(const QString &line)> &sink);

// The page's bytes in settings.Format: the classic page is CP932 with CR LF after every line, the
// HTML5 page UTF-8 without a byte-order mark. Writes every group's ObjID and every node's
// HtmlText into the tree.
QByteArray buildPage(LinkTree &tree, const ExportSettings &settings);
QByteArray buildPage(LinkTree &tree, const ExportSettings &settings, TSystemStruct &system);

// Builds the page and writes it to settings.OutputFileName at once; a failure throws VormikError
// and leaves any file already there as it was.
void exportPage(LinkTree &tree, const ExportSettings &settings);
void exportPage(LinkTree &tree, const ExportSettings &settings, TSystemStruct &system);

} // namespace PageGenerator
