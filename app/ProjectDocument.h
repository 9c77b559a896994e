#pragma once

#include "app/DocumentFile.h"
#include "html/ExportChoice.h"

#include <QObject>
#include <QString>

#include <memory>

class LinkTree;
class QUndoStack;
class QWidget;
class RecentFiles;
class WindowContext;

// The document the window shows: New, Open, Save and the export, the project file the tree
// belongs to with the last export's choice, and whether the tree differs from that file.
class ProjectDocument : public QObject
{
    Q_OBJECT

public:
    ProjectDocument(WindowContext &context, QUndoStack &history, RecentFiles &recent, QWidget *window);

    // The project file the shown tree belongs to; empty before the first Save or Open.
    QString fileName() const;
    // True when the tree differs from the file last opened or saved (a new tree counts as saved).
    bool isModified() const;

    // Where a link check looks for relative addresses: the folder of the page last exported,
    // else the project file's folder.
    QString linkBaseFolder() const;

    // Asks whether to save work that would be lost; false keeps the window open (Cancel, or a
    // save that was cancelled or failed).
    bool confirmClose();
    // Opens `path` as one step of the history; a failure changes nothing and is shown. Asks
    // nothing: for the file named when the program starts.
    bool openFile(const QString &path);
    // Opens `path` in place of the shown tree once the user has answered for its unsaved work
    // (a dropped file, the Open dialog's choice).
    bool openReplacing(const QString &path);
    // Opens a file of the recent list; one that has gone is said so and leaves the list.
    void openRecent(const QString &path);

    void mnNew1Click();
    void mnOpen1Click();
    // 名前を付けて保存: always asks for the name.
    void mnSave1Click();
    // 上書き保存: writes to the current file without a dialog, or asks for a name when there is none.
    void mnSaveOverwrite1Click();
    void mnOutPutHTML1Click();
    // 前回の設定で出力: writes the last export again, with no dialog where that replaces nothing
    // the user did not see named; otherwise the export dialogs open with its choices.
    void mnExportAgain1Click();
    // True when there is a last export to write again.
    bool canExportAgain() const;
    // What the last export wrote; none before one.
    const ExportChoice *lastExport() const;

signals:
    // New emptied the tree; what showed its nodes empties too.
    void cleared();
    // A save is about to read the tree: editors apply what leaving them would.
    void aboutToSave();
    // The file, or whether the tree differs from it, may have changed.
    void stateChanged();

private:
    bool save(bool askName);
    bool open(const QString &path, bool askFirst);
    // The serial of the last step done, 0 before any.
    quint64 currentStep() const;
    QString dialogFolder() const;
    void setFile(const DocumentFile &file);
    // Shows `tree`, which belongs to `file`, as one step of the history.
    void replaceTree(const QString &caption, std::unique_ptr<LinkTree> tree, const DocumentFile &file);
    // Writes the tree as `choice` says and tells the user it went well; a file that cannot be
    // written throws VormikError. The one export of both export commands.
    void exportTree(const ExportChoice &choice);
    // Whether the last export may be written again without the dialogs: its names are the user's
    // choice, or the project file named them inside its folder and every file they would replace
    // is one this program wrote.
    bool mayExportAgainUnseen() const;

    WindowContext &m_context;
    QUndoStack &m_history;
    RecentFiles &m_recent;
    QWidget *m_window;
    // Exchanged with the file a New or Open step keeps, as the tree is.
    DocumentFile m_file;
};
