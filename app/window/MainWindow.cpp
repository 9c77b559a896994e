#include "app/window/MainWindow.h"
#include "ui_MainWindow.h"

#include "app/dialogs/AboutDialog.h"
#include "app/editing/EditCommands.h"
#include "app/find/FindBar.h"
#include "app/dialogs/HelpViewer.h"
#include "app/window/ImageLists.h"
#include "app/linkcheck/LinkCheckDialog.h"
#include "app/panes/LinkListPanel.h"
#include "app/editing/LinkTreeModel.h"
#include "app/panes/LinkTreeView.h"
#include "app/editing/NodeCommands.h"
#include "app/editing/NodeTransfer.h"
#include "app/document/ProjectDocument.h"
#include "app/dialogs/QtPrompts.h"
#include "app/document/OutputsMenu.h"
#include "app/document/RecentFiles.h"
#include "app/panes/TreePane.h"
#include "app/editing/TreeToolCommands.h"
#include "app/window/WindowContext.h"
#include "app/window/WindowMemory.h"
#include "files/ProgramFiles.h"
#ifdef VORMIK_HAS_PREVIEW
#include "app/preview/PreviewPane.h"
#endif

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QSet>
#include <QHeaderView>
#include <QMimeData>
#include <QSessionManager>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QSettings>
#include <QTreeView>
#include <QUrl>

#include <algorithm>
#include <utility>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::MainWindow>()), m_model(new LinkTreeModel(this)),
      m_context(std::make_unique<WindowContext>(*m_model, std::make_unique<QtPrompts>()))
{
    QFont windowFont = font();
    windowFont.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP")});
    windowFont.setPixelSize(12);
    setFont(windowFont);

    const QList<QIcon> images = treeImageList();
    const QList<QIcon> menuImages = menuImageList();
    m_model->setImages(images);

    ui->setupUi(this);
    ui->mnOpen1->setIcon(menuImages.at(0));
    ui->mnSaveOverwrite1->setIcon(menuImages.at(1));
    ui->mnVormikHelp1->setIcon(menuImages.at(2));

    m_nodeCommands = new NodeCommands(*m_context, *ui->LeftPanel, this);
    ui->LeftPanel->setUp(*m_context, *m_nodeCommands, images);
    ui->RightPanel->setUp(*m_context, *m_nodeCommands, images, [this] { return selectedNode(); });
    m_editCommands = new EditCommands(*m_context, *ui->LeftPanel, this);
    m_editCommands->setUp(ui->mnEdit,
                          {ui->CutAction1, ui->CopyAction1, ui->PasteAction1, ui->MoveUpAction1, ui->MoveDownAction1,
                           ui->OutdentAction1, ui->IndentAction1},
                          {ui->LeftPanel->view(), ui->RightPanel->listView()});
    m_recentFiles = new RecentFiles(this);
    m_document = new ProjectDocument(*m_context, *m_editCommands->undoStack(), *m_recentFiles, this);
    m_recentFiles->attach(ui->mnRecent1);

    ui->Splitter1->setStretchFactor(0, 0);
    ui->Splitter1->setStretchFactor(1, 1);
    ui->Splitter1->setSizes({181, 595});
    setUpPreview();
    const int panelWidth = ui->LeftPanel->toolBarWidth() + 5;
    ui->LeftPanel->setMinimumWidth(panelWidth);
    ui->RightPanel->setMinimumWidth(panelWidth);
    WindowMemory::restore(*this, QStringLiteral("main"));
    WindowMemory::restore(*ui->Splitter1, QStringLiteral("mainDivider"));
    WindowMemory::restore(*ui->RightPanel->listView()->header(), QStringLiteral("linkListColumns"));

    connectMenus();
    followTree();
    setAcceptDrops(true);
    showFileInTitle();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MainWindow::commitData);
}

MainWindow::~MainWindow()
{
    // The base classes' destruction still closes the window and moves the focus, which makes
    // widgets signal; no handler may run on a window that is half gone.
    for (QObject *child : findChildren<QObject *>())
        child->disconnect();
    QGuiApplication::clipboard()->disconnect(m_editCommands);
    delete m_linkCheck;
    delete m_document;
    delete m_editCommands;
    delete m_nodeCommands;
}

void MainWindow::setPrompts(std::unique_ptr<Prompts> prompts)
{
    m_context->setPrompts(std::move(prompts));
}

Prompts &MainWindow::prompts()
{
    return m_context->prompts();
}

void MainWindow::connectMenus()
{
    const std::pair<QAction *, void (ProjectDocument::*)()> documentCommands[] = {
        {ui->mnNew1, &ProjectDocument::newProject},
        {ui->mnOpen1, &ProjectDocument::openProject},
        {ui->mnSaveOverwrite1, &ProjectDocument::saveProject},
        {ui->mnSave1, &ProjectDocument::saveAs},
        {ui->mnOutPutHTML1, &ProjectDocument::exportHtml},
        {ui->mnExportAgain1, &ProjectDocument::exportAgain},
        {ui->mnExportAll1, &ProjectDocument::exportAll},
        {ui->mnShowInBrowser1, &ProjectDocument::showInBrowser},
    };
    for (const auto &[action, handler] : documentCommands)
        connect(action, &QAction::triggered, this, m_context->command(this, m_document, handler));
    const std::pair<QAction *, void (MainWindow::*)()> shellCommands[] = {
        {ui->mnExit1, &MainWindow::exitProgram},
        {ui->mnVormikHelp1, &MainWindow::showHelp},
        {ui->mnReadMe1, &MainWindow::showReadMe},
        {ui->mnAbout1, &MainWindow::showAbout},
        {ui->mnCheckLinks1, &MainWindow::checkLinks},
    };
    for (const auto &[action, handler] : shellCommands)
        connect(action, &QAction::triggered, this, m_context->command(this, this, handler));
    connect(ui->mnImport1, &QAction::triggered, this,
            m_context->command(this, m_nodeCommands, &NodeCommands::importLinks));
    auto *tools = new TreeToolCommands(*m_context, *ui->LeftPanel, this,
                                       {ui->mnSortAscending1, ui->mnSortDescending1, ui->mnSortGroupsFirst1,
                                        ui->mnReplace1, ui->mnDuplicates1});
    connect(tools, &TreeToolCommands::nodePicked, this, [this](LinkNode *node) {
        ui->LeftPanel->scrollToNode(node);
        selectNode(node);
        activateWindow();
    });
    connect(tools, &TreeToolCommands::statusMessage, this,
            [this](const QString &text) { ui->StatusBar1->showMessage(text); });
    connect(ui->FindAction1, &QAction::triggered, ui->LeftPanel->findBar(), &FindBar::startFind);
    connect(m_document, &ProjectDocument::aboutToSave, ui->RightPanel, &LinkListPanel::finishEditing);
    connect(m_document, &ProjectDocument::stateChanged, this, &MainWindow::showFileInTitle);
    connect(m_document, &ProjectDocument::stateChanged, this,
            [this] { ui->mnExportAgain1->setEnabled(m_document->canExportAgain()); });
    connect(m_document, &ProjectDocument::outputsChanged, this, [this] {
        ui->mnExportAgain1->setEnabled(m_document->canExportAgain());
        ui->mnExportAll1->setEnabled(!m_document->outputs().empty());
    });
    new OutputsMenu(*m_document, ui->mnOutputs1);
    connect(m_recentFiles, &RecentFiles::openRequested, this,
            [this](const QString &path) { m_context->guarded(this, [&] { m_document->openRecent(path); }); });
    connect(ui->RightPanel, &LinkListPanel::statusMessage, this,
            [this](const QString &text) { ui->StatusBar1->showMessage(text); });
}

void MainWindow::setUpPreview()
{
#ifdef VORMIK_HAS_PREVIEW
    m_preview = new PreviewPane(*m_model, [this]() -> const LinkTree & { return m_model->tree(); }, this);
    // Until a project keeps outputs of its own, the page last exported, or the HTML5 page.
    m_preview->setOutputSource([this]() -> PreviewBuild::Output {
        const ExportChoice *shown = m_document->currentOutput();
        return shown && !shown->dataFormat ? PreviewBuild::Output(shown->settings) : std::nullopt;
    });
    connect(m_document, &ProjectDocument::outputsChanged, m_preview, &PreviewPane::scheduleUpdate);
    ui->Splitter1->addWidget(m_preview);
    ui->Splitter1->setStretchFactor(2, 1);
    const QString shownKey = QStringLiteral("view/preview");
    m_preview->setVisible(QSettings().value(shownKey, false).toBool());
    ui->mnPreview1->setChecked(!m_preview->isHidden());
    connect(ui->mnPreview1, &QAction::toggled, this, [this, shownKey](bool shown) {
        m_preview->setVisible(shown);
        QSettings().setValue(shownKey, shown);
        // Shown again, the pane takes half of the room beside the tree unless the user gave it more.
        QList<int> sizes = ui->Splitter1->sizes();
        if (shown && sizes.size() == 3 && sizes[2] < sizes[1]) {
            sizes[1] = (sizes[1] + sizes[2]) / 2;
            sizes[2] = sizes[1];
            ui->Splitter1->setSizes(sizes);
        }
    });
    connect(m_model, &LinkTreeModel::nodeChanged, m_preview, &PreviewPane::scheduleUpdate);
    connect(m_document, &ProjectDocument::stateChanged, m_preview, &PreviewPane::scheduleUpdate);
    connect(ui->LeftPanel->view()->selectionModel(), &QItemSelectionModel::selectionChanged, m_preview,
            [this] { m_preview->markNode(selectedNode()); });
    connect(m_preview, &PreviewPane::nodePicked, this, [this](const LinkNode *node) {
        if (!m_model->contains(node))
            return;
        ui->LeftPanel->scrollToNode(node);
        selectNode(node);
    });
#else
    ui->mnView->menuAction()->setVisible(false);
#endif
}

void MainWindow::followTree()
{
    // Driven by the selection, not the current index: Qt moves the current index without
    // selecting anything (keyboard focus, a closed dialog), and the user never sees it.
    // Each side asks the other only for what it does not show yet, so the two settle at once.
    connect(ui->LeftPanel->view()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { m_context->guarded(this, [&] { currentNodeChanged(selectedNode()); }); });
    connect(ui->RightPanel, &LinkListPanel::rowsPicked, this, &MainWindow::rowsPicked);
    connect(m_model, &QAbstractItemModel::rowsMoved, this, [this](const QModelIndex &, int, int, const QModelIndex &to) {
        // A moved node shows where it went, and a moved link keeps its row selected.
        if (to.isValid())
            ui->LeftPanel->view()->expand(to);
        reveal(nullptr);
    });
    connect(m_model, &LinkTreeModel::dropFailed, this,
            [this](const QString &message) { prompts().error(this, message); });
    connect(m_editCommands, &EditCommands::historyMoved, this, [this](LinkNode *shown) {
        m_model->beginBurst();
        m_context->guarded(this, [&] { reveal(shown); });
    });
}

void MainWindow::showFileInTitle()
{
    const QString path = m_document->fileName();
    setWindowFilePath(path);
    setWindowTitle((path.isEmpty() ? QStringLiteral("無題") : QFileInfo(path).fileName())
                   + QStringLiteral("[*] - ヴォルミク"));
    setWindowModified(m_document->isModified());
}

void MainWindow::openAtStart(const QString &path)
{
    m_document->openFile(path);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_closeConfirmed || m_document->confirmClose()) {
        m_closeConfirmed = true;
        event->accept();
        // The window that closes last leaves its look to the next.
        WindowMemory::save(*this, QStringLiteral("main"));
        WindowMemory::save(*ui->Splitter1, QStringLiteral("mainDivider"));
        WindowMemory::save(*ui->RightPanel->listView()->header(), QStringLiteral("linkListColumns"));
        if (m_linkCheck)
            m_linkCheck->hide();
    } else {
        event->ignore();
    }
}

void MainWindow::commitData(QSessionManager &manager)
{
    // The desktop is logging out: the same question as closing, where the desktop lets us ask.
    if (!m_document->isModified() || m_closeConfirmed)
        return;
    if (!manager.allowsInteraction()) {
        manager.cancel();
        return;
    }
    if (m_document->confirmClose())
        m_closeConfirmed = true;
    else
        manager.cancel();
    manager.release();
}

namespace {
// The one local file a drag brings, or nothing. A drag of nodes also names the file that hands
// them over, but it is never a file to open: only a tree takes it in.
QString droppedFile(const QMimeData *data)
{
    if (NodeTransfer::carriesNodes(data))
        return {};
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    return urls.size() == 1 && urls.constFirst().isLocalFile() ? urls.constFirst().toLocalFile() : QString();
}
} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drag has ended, so an error box does not hold the other program's drag.
    QMetaObject::invokeMethod(this, [this, path] { m_document->openReplacing(path); }, Qt::QueuedConnection);
}

void MainWindow::currentNodeChanged(LinkNode *node)
{
    ui->RightPanel->showSelection(node, ui->LeftPanel->selectedNodes());
}

void MainWindow::rowsPicked(const std::vector<LinkNode *> &nodes, LinkNode *current)
{
    // The tree already showing these rows selected, with nothing else of the list, is left as it is.
    QSet<const LinkNode *> listed;
    for (const LinkNode *node : ui->LeftPanel->selectedNodes()) {
        if (!node->isGroup() && node->parent() == nodes.front()->parent())
            listed.insert(node);
    }
    if (listed == QSet<const LinkNode *>(nodes.begin(), nodes.end()))
        return;
    const bool picked = std::find(nodes.begin(), nodes.end(), current) != nodes.end();
    ui->LeftPanel->selectNodes(nodes, picked ? current : nodes.front());
}

void MainWindow::reveal(LinkNode *node)
{
    if (node && m_model->contains(node) && node != selectedNode()) {
        // Selecting lists the node's group and loads the editors.
        ui->LeftPanel->scrollToNode(node);
        selectNode(node);
        return;
    }
    // The list follows the tree by itself; a selected link that changed groups takes its row.
    if (LinkNode *selected = selectedNode(); selected && !selected->isGroup())
        currentNodeChanged(selected);
}

LinkNode *MainWindow::selectedNode() const
{
    return ui->LeftPanel->selectedNode();
}

void MainWindow::selectNode(const LinkNode *node)
{
    ui->LeftPanel->selectNode(node);
}

LinkNode *MainWindow::selectedRowNode() const
{
    return ui->RightPanel->selectedRowNode();
}

void MainWindow::exitProgram()
{
    close();
}

void MainWindow::showHelp()
{
    HelpViewer::showTopic(this, 2);
}

void MainWindow::showReadMe()
{
    // The desktop's default program shows the file; a missing file is simply not shown.
    QDesktopServices::openUrl(QUrl::fromLocalFile(ProgramFiles::find(QStringLiteral("ReadMe.txt"))));
}

void MainWindow::checkLinks()
{
    if (!m_linkCheck) {
        m_linkCheck = new LinkCheckDialog(*m_model, *ui->LeftPanel->view(), prompts(), this);
        connect(m_linkCheck, &LinkCheckDialog::nodePicked, this, [this](LinkNode *node) {
            ui->LeftPanel->scrollToNode(node);
            selectNode(node);
            activateWindow();
        });
    }
    if (!m_linkCheck->isVisible())
        m_linkCheck->placeBeside(*this, *ui->LeftPanel);
    m_linkCheck->show();
    m_linkCheck->raise();
    m_linkCheck->start(m_document->linkBaseFolder());
}

void MainWindow::showAbout()
{
    AboutDialog box(this);
    box.exec();
}
