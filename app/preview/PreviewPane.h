#pragma once

#include "app/preview/PreviewBuild.h"

#include <QFutureWatcher>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class LinkNode;
class LinkTree;
class PreviewFiles;
class PreviewWebPage;
class QAbstractItemModel;
class QWebEngineProfile;
class QWebEngineView;

// The page of an output as a browser shows it, kept up to date while the user edits. The page is
// built away from the window's thread from a copy of the tree, a moment after the last change, and
// served to the engine from memory. It keeps the groups the user opened and the place scrolled to,
// marks the node selected in the tree, and a click on an anchor picks its node, never following it.
class PreviewPane : public QWidget
{
    Q_OBJECT

public:
    using TreeSource = std::function<const LinkTree &()>;
    using OutputSource = std::function<PreviewBuild::Output()>;

    // The pane follows `model`'s changes and builds from `tree`.
    PreviewPane(QAbstractItemModel &model, TreeSource tree, QWidget *parent = nullptr);
    ~PreviewPane() override;

    // What the pane shows; asked each time it builds. Unset, it shows the HTML5 page.
    void setOutputSource(OutputSource source);

    // How long after the last change the page is built again.
    static constexpr int SettleMilliseconds = 300;

public slots:
    // Something the page is made of changed: build it again once the changes settle.
    void scheduleUpdate();
    void markNode(const LinkNode *node);

signals:
    // The user clicked an anchor of this node, which may have left the tree since.
    void nodePicked(const LinkNode *node);
    // A page has been loaded and the groups, place and mark put back.
    void pageShown();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void build();
    void built();
    // Loads `page` anew, keeping the groups open and the place of the page shown.
    void reload(const std::shared_ptr<const PreviewBuild::Page> &page);
    void load(std::shared_ptr<const PreviewBuild::Page> page, const QVariant &keep);
    void loaded(bool ok);
    void finish();
    QString markScript() const;

    TreeSource m_tree;
    OutputSource m_output;
    QTimer m_settle;
    QFutureWatcher<std::shared_ptr<PreviewBuild::Page>> m_building;
    // The last copy of the tree and the nodes it was made from.
    std::shared_ptr<LinkTree> m_copy;
    std::vector<const LinkNode *> m_buildingNodes;
    // Set from a change until its page is built; the pane builds one page at a time.
    bool m_stale = true;
    bool m_busy = false;
    int m_serial = 0;
    QWebEngineProfile *m_profile = nullptr;
    PreviewFiles *m_files = nullptr;
    PreviewWebPage *m_page = nullptr;
    QWebEngineView *m_view = nullptr;
    std::shared_ptr<const PreviewBuild::Page> m_shown;
    std::shared_ptr<const PreviewBuild::Page> m_loading;
    QVariant m_keep;
    const LinkNode *m_marked = nullptr;
};
