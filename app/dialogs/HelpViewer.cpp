#include "app/dialogs/HelpViewer.h"

#include "files/ProgramFiles.h"
#include "text/VormikError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace HelpViewer {

namespace {

QPointer<QTextBrowser> theViewer;

// One viewer for the whole run, like the platform's help window. It belongs to no window, so it
// outlives the dialog that opened it and no modal dialog of ours blocks it.
QTextBrowser &viewer(QWidget *owner)
{
    if (!theViewer) {
        theViewer = new QTextBrowser;
        theViewer->setObjectName(QStringLiteral("HelpViewer"));
        theViewer->setWindowTitle(QStringLiteral("Vormik ヘルプ"));
        theViewer->setOpenExternalLinks(true);
        // Closing the main window still ends the program while help is open.
        theViewer->setAttribute(Qt::WA_QuitOnClose, false);
        if (owner)
            theViewer->setScreen(owner->screen());
        theViewer->resize(560, 480);
        qAddPostRoutine([] { delete theViewer.data(); });
    }
    return *theViewer;
}

} // namespace

QString helpFilePath()
{
    return ProgramFiles::find(QStringLiteral("VORMIK.hlp"));
}

void showTopic(QWidget *owner, int context)
{
    const QString path = helpFilePath();
    if (!QFileInfo(path).isFile())
        throw VormikError(QStringLiteral("ヘルプファイル %1 が見つかりません").arg(QDir::toNativeSeparators(path)));

    QUrl url = QUrl::fromLocalFile(path);
    url.setFragment(QStringLiteral("topic-%1").arg(context));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw VormikError(QStringLiteral("ヘルプファイル %1 を開けません").arg(QDir::toNativeSeparators(path)));
    QTextBrowser &browser = viewer(owner);
    // The file is HTML whatever its extension says.
    browser.document()->setMetaInformation(QTextDocument::DocumentUrl, url.toString());
    browser.setHtml(QString::fromUtf8(file.readAll()));
    browser.scrollToAnchor(url.fragment());
    browser.show();
    browser.raise();
    browser.activateWindow();
}

} // namespace HelpViewer
