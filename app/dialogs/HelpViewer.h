#pragma once

#include <QString>

class QWidget;

// Shows one topic of VORMIK.hlp, the HTML help file beside the program, in a small browser
// window that stays open beside the editor and its dialogs. A missing file ends the command
// with a clear message.
namespace HelpViewer {

QString helpFilePath();
// `owner` is the window asking; the viewer first opens on its screen but belongs to no window.
void showTopic(QWidget *owner, int context);

} // namespace HelpViewer
