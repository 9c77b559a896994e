#pragma once

#include "app/document/DocumentFile.h"
#include "html/ExportChoice.h"

#include <QObject>
#include <QString>

#include <memory>

class LinkTree;
class QUndoStack;
class QWidget;
class RecentFiles;
class WindowContext;

// The document the window shows: New, Open, Save and the exports, the project file the tree
// belongs to with its outputs, and whether the tree differs from that file.
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

    void newProject();
    void openProject();
    // 名前を付けて保存: always asks for the name.
    void saveAs();
    // 上書き保存: writes to the current file without a dialog, or asks for a name when there is none.
    void saveProject();
    void exportHtml();
    // 前回の設定で出力: writes the last export again, with no dialog where that replaces nothing
    // the user did not see named; otherwise the export dialogs open with its choices.
    void exportAgain();
    // True when there is a last export to write again.
    bool canExportAgain() const;
    // すべて出力: writes every output, with one report.
    void exportAll();
    // Writes the current output and opens it in the desktop's browser.
    void showInBrowser();

    // Every file the tree is written to, the current output first.
    const OutputList &outputs() const;
    // The output last written or chosen, which 前回の設定で出力 writes; none before any.
    const ExportChoice *currentOutput() const;
    // Makes the output at `index` of outputs() the current one.
    void selectOutput(int index);
    // Forgets the output at `index`; its files stay as they are. Both mark the document modified.
    void removeOutput(int index);

signals:
    // A save is about to read the tree: editors apply what leaving them would.
    void aboutToSave();
    // The file, or whether the tree differs from it, may have changed.
    void stateChanged();
    // The outputs, or which of them is current, may have changed.
    void outputsChanged();

private:
    bool save(bool askName);
    bool open(const QString &path, bool askFirst);
    // The serial of the last step done, 0 before any.
    quint64 currentStep() const;
    QString dialogFolder() const;
    void setFile(const DocumentFile &file);
    // Shows `tree`, which belongs to `file`, as one step of the history.
    void replaceTree(const QString &caption, std::unique_ptr<LinkTree> tree, const DocumentFile &file);
    // Writes the tree as `choice` says and returns what to tell the user; a file that cannot be
    // written throws VormikError. The one export of every export command.
    QString writeOutput(const ExportChoice &choice);
    // The export dialogs, starting from the output of the file chosen; true when one was written.
    bool exportWithDialog();
    // Writes the current output with no dialog where that replaces nothing the user did not see
    // named, otherwise through the dialogs; true when written, with the report in `report`.
    bool writeCurrent(QString &report);
    void setOutputs(OutputList outputs, bool edited);

    WindowContext &m_context;
    QUndoStack &m_history;
    RecentFiles &m_recent;
    QWidget *m_window;
    // Exchanged with the file a New or Open step keeps, as the tree is.
    DocumentFile m_file;
};
