#pragma once

#include <QString>

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
