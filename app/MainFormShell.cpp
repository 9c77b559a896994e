// The File and Help menus' shell commands: Exit, Help, ReadMe and About.
#include "app/MainForm.h"

#include "app/AboutBoxForm.h"
#include "app/HelpViewer.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
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
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("ReadMe.txt"));
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void TMain::mnAbout1Click()
{
    TAboutBox box(this);
    box.exec();
}
