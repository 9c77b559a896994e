// The File and Help menus' shell commands: Exit, Help, ReadMe and About.
#include "app/MainForm.h"

#include "app/AboutBoxForm.h"
#include "app/HelpViewer.h"
#include "text/ProgramFiles.h"

#include <QDesktopServices>
#include <QUrl>

void TMain::mnExit1Click()
{
    close();
}

void TMain::mnVormikHelp1Click()
{
    HelpViewer::showTopic(this, 2);
}

void TMain::mnReadMe1Click()
{
    // The desktop's default program shows the file; a missing file is simply not shown.
    QDesktopServices::openUrl(QUrl::fromLocalFile(ProgramFiles::find(QStringLiteral("ReadMe.txt"))));
}

void TMain::mnAbout1Click()
{
    TAboutBox box(this);
    box.exec();
}
