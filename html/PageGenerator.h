#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class LinkNode;
class LinkTree;

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

// Sets GroupClassName and RootClassName: the trimmed class-name entry when the user gave one,
// otherwise the first candidate no node uses as its class. The root class is the first of its
// candidates that neither a node nor the group class uses.
void ChooseClassNames(const LinkTree &tree, const ExportSettings &settings, TSystemStruct &system);

// Fills the whole record: class names, stylesheet, processed head and footer.
void BuildPageHead(const LinkTree &tree, const ExportSettings &settings, TSystemStruct &system);

// The footer line's text after "<br />".
QString footerText();

// Gives every group the id "group-LEVEL-N", numbered per level across the tree; returns the number
// of groups.
int NumberGroups(LinkTree &tree, int deepestLevel);

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

// The page's bytes: CP932, CR LF after every line. Writes every group's ObjID and every node's
// HtmlText into the tree.
QByteArray buildPage(LinkTree &tree, const ExportSettings &settings);
QByteArray buildPage(LinkTree &tree, const ExportSettings &settings, TSystemStruct &system);

// Builds the page and writes it to settings.OutputFileName at once; a failure throws VormikError
// and leaves any file already there as it was.
void exportPage(LinkTree &tree, const ExportSettings &settings);
void exportPage(LinkTree &tree, const ExportSettings &settings, TSystemStruct &system);

} // namespace PageGenerator
