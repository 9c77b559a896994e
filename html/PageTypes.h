#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// The types every page export shares: what is asked of the page, the working record of one
// export, what it tells its user and the page it makes.

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

// The working record of one export; empty until the export fills it.
struct PageParts
{
    QString groupClassName; // class of every group block; the folding script hides these
    QString rootClassName;  // class of the block around all node lines; the stylesheet's selector
    QString styleSheet;     // the style element, empty without the default stylesheet
    QString headText;       // the processed template, then the root block's start tag
    QString footerText;     // empty without the author link
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

namespace PageGenerator {

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

} // namespace PageGenerator
