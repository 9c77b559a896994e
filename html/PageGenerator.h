#pragma once

#include <QByteArray>
#include <QString>

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

namespace PageGenerator {

// The page's bytes: CP932, CR LF after every line. Writes every group's ObjID and every node's
// HtmlText into the tree.
QByteArray buildPage(LinkTree &tree, const ExportSettings &settings);

// Builds the page and writes it to settings.OutputFileName; a failure throws VormikError and
// leaves any file already there as it was.
void exportPage(LinkTree &tree, const ExportSettings &settings);

} // namespace PageGenerator
