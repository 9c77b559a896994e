#pragma once

#include <QMainWindow>

#include <memory>
#include <vector>

class EditCommands;
class LinkCheckDialog;
class LinkNode;
class LinkTreeModel;
class NodeCommands;
class PreviewPane;
class ProjectDocument;
class Prompts;
class QSessionManager;
class RecentFiles;
class WindowContext;

namespace Ui {
class MainWindow;
}

// The main window: a frame around the link tree on the left and the links of one group with
// their editors on the right, which keeps the two showing the same node. The work is done by
// its parts: the tree pane, the link list panel, the node and Edit commands, and the document.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Tests answer the window's questions through a scripted implementation.
    void setPrompts(std::unique_ptr<Prompts> prompts);
    Prompts &prompts();
    LinkTreeModel &treeModel() { return *m_model; }
    ProjectDocument &document() { return *m_document; }

    // Opens a file named when the program started; a failure is shown and leaves the tree empty.
    void openAtStart(const QString &path);

    LinkNode *selectedNode() const;
    void selectNode(const LinkNode *node);
    LinkNode *selectedRowNode() const;

protected:
    // Closing by any way asks before unsaved work is lost.
    void closeEvent(QCloseEvent *event) override;
    // A project file dropped on the window opens.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void currentNodeChanged(LinkNode *node);
    // The tree follows the rows the user picked in the list.
    void rowsPicked(const std::vector<LinkNode *> &nodes, LinkNode *current);
    void exitProgram();
    void showHelp();
    void showReadMe();
    void showAbout();
    void checkLinks();

private:
    void connectMenus();
    // The preview pane, when the program is built with it; the View menu goes without it.
    void setUpPreview();
    void showFileInTitle();
    void commitData(QSessionManager &manager);
    void followTree();
    // Shows the node a step touched, once it has been undone or redone.
    void reveal(LinkNode *node);

    std::unique_ptr<Ui::MainWindow> ui;
    LinkTreeModel *m_model;
    std::unique_ptr<WindowContext> m_context;
    NodeCommands *m_nodeCommands = nullptr;
    EditCommands *m_editCommands = nullptr;
    ProjectDocument *m_document = nullptr;
    RecentFiles *m_recentFiles = nullptr;
    LinkCheckDialog *m_linkCheck = nullptr;
    PreviewPane *m_preview = nullptr;
    // Set once the user has answered for the unsaved work, so closing asks no second time.
    bool m_closeConfirmed = false;
};
