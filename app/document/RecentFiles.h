#pragma once

#include <QObject>
#include <QStringList>

class QMenu;

// The project files opened or saved last, newest first, kept in the desktop's settings, and the
// folder the file dialogs start in when the tree belongs to no file yet.
class RecentFiles : public QObject
{
    Q_OBJECT

public:
    static constexpr int Limit = 10;

    explicit RecentFiles(QObject *parent = nullptr);

    QStringList files() const;
    // Puts the file first; its folder becomes the one dialogs start in.
    void add(const QString &path);
    void remove(const QString &path);
    void clear();
    // The folder last used, else the home folder; never the process's working folder.
    QString lastFolder() const;

    // Lists the files in `menu` each time it opens, with an item that clears the list.
    void attach(QMenu *menu);

signals:
    void openRequested(const QString &path);

private:
    void fill(QMenu *menu);
};
