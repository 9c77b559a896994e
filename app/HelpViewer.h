#pragma once

#include <QString>

class QWidget;

// Shows one topic of VORMIK.hlp, the HTML help file beside the program, in a small browser
// window that stays open beside the editor. A missing file ends the command with a clear message.
namespace HelpViewer {

QString helpFilePath();
void showTopic(QWidget *owner, int context);

} // namespace HelpViewer
