#include "app/document/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace {

const QString FilesKey = QStringLiteral("recentFiles");
const QString FolderKey = QStringLiteral("lastFolder");

QString absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

RecentFiles::RecentFiles(QObject *parent) : QObject(parent) {}

QStringList RecentFiles::files() const
{
    return QSettings().value(FilesKey).toStringList();
}

void RecentFiles::add(const QString &path)
{
    const QString file = absolute(path);
    QStringList list = files();
    list.removeAll(file);
    list.prepend(file);
    QSettings settings;
    settings.setValue(FilesKey, list.mid(0, Limit));
    settings.setValue(FolderKey, QFileInfo(file).absolutePath());
}

void RecentFiles::remove(const QString &path)
{
    QStringList list = files();
    list.removeAll(absolute(path));
    QSettings().setValue(FilesKey, list);
}

void RecentFiles::clear()
{
    QSettings().remove(FilesKey);
}

QString RecentFiles::lastFolder() const
{
    const QString folder = QSettings().value(FolderKey).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void RecentFiles::attach(QMenu *menu)
{
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { fill(menu); });
    fill(menu);
}

void RecentFiles::fill(QMenu *menu)
{
    menu->clear();
    const QStringList list = files();
    for (int i = 0; i < list.size(); ++i) {
        // Numbered for the keyboard; an ampersand in a name stays a character.
        QString caption = QDir::toNativeSeparators(list.at(i));
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *item = menu->addAction(QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(caption));
        connect(item, &QAction::triggered, this, [this, path = list.at(i)] { emit openRequested(path); });
    }
    if (!list.isEmpty())
        menu->addSeparator();
    QAction *clearItem = menu->addAction(QStringLiteral("履歴を消去"));
    clearItem->setObjectName(QStringLiteral("mnClearRecent1"));
    clearItem->setEnabled(!list.isEmpty());
    connect(clearItem, &QAction::triggered, this, &RecentFiles::clear);
}
