#include "html/ExportHTMLForm.h"

TExportHTML::TExportHTML(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("ExportHTML"));
    setWindowTitle(QStringLiteral("出力設定"));
}
