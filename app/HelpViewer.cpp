#include "app/HelpViewer.h"

#include "text/VormikError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace HelpViewer {

QString helpFilePath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("VORMIK.hlp"));
}

void showTopic(QWidget *owner, int context)
{
    const QString path = helpFilePath();
    if (!QFileInfo(path).isFile())
        throw VormikError(QStringLiteral("ヘルプファイル %1 が見つかりません").arg(QDir::toNativeSeparators(path)));

    // One viewer for the whole run, like the platform's help window.
    static QPointer<QTextBrowser> viewer;
    if (!viewer) {
        viewer = new QTextBrowser(owner);
        viewer->setObjectName(QStringLiteral("HelpViewer"));
        viewer->setWindowFlag(Qt::Window);
        viewer->setWindowTitle(QStringLiteral("Vormik ヘルプ"));
        viewer->setOpenExternalLinks(true);
        viewer->resize(560, 480);
    }
    QUrl url = QUrl::fromLocalFile(path);
    url.setFragment(QStringLiteral("topic-%1").arg(context));
    // The file is HTML whatever its extension says.
    viewer->document()->setMetaInformation(QTextDocument::DocumentUrl, url.toString());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw VormikError(QStringLiteral("ヘルプファイル %1 を開けません").arg(QDir::toNativeSeparators(path)));
    viewer->setHtml(QString::fromUtf8(file.readAll()));
    viewer->scrollToAnchor(url.fragment());
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

} // namespace HelpViewer
