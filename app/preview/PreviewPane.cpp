#include "app/preview/PreviewPane.h"
#include "app/preview/PreviewChanges.h"
#include "app/preview/PreviewScheme.h"

#include "tree/LinkTree.h"

#include <QAbstractItemModel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <utility>

namespace {

// The groups open and the place scrolled to, read before a page replaces the last one.
const QString KeptState = QStringLiteral(R"((function () {
  var open = [];
  document.querySelectorAll('details[open]').forEach(function (group) {
    if (group.parentElement && group.parentElement.id) open.push(group.parentElement.id);
  });
  document.querySelectorAll('div[id]').forEach(function (block) {
    if (block.style.display === 'block') open.push(block.id);
  });
  return {open: open, x: window.scrollX, y: window.scrollY};
})())");

// Opens the groups of these ids, scrolls back and ties clicks on the menu's anchors to their nodes.
const QString Restore = QStringLiteral(R"((function (ids, x, y, root, pick) {
  ids.forEach(function (id) {
    var item = document.getElementById(id);
    var group = item && item.querySelector(':scope > details');
    if (group) group.open = true;
    else if (item) item.style.display = 'block';
  });
  window.scrollTo(x, y);
  var menu = (root && document.getElementsByClassName(root)[0]) || document.body;
  window.vormikPreviewAnchors = Array.prototype.slice.call(menu.getElementsByTagName('a'));
  document.addEventListener('click', function (event) {
    var anchor = event.target.closest ? event.target.closest('a') : null;
    if (!anchor) return;
    event.preventDefault();
    var index = window.vormikPreviewAnchors.indexOf(anchor);
    if (index >= 0) console.log(pick + index);
  }, true);
})(%1, %2, %3, %4, %5))");

// Puts each node's new markup in place of its element: an anchor by its number, a group's heading
// by the group's id. Every element is found and its markup parsed before any is replaced, so a
// page is changed whole or not at all; false tells that it has to be loaded anew.
const QString Replace = QStringLiteral(R"((function (changes) {
  var anchors = window.vormikPreviewAnchors || [];
  var found = [];
  for (var i = 0; i < changes.length; ++i) {
    var change = changes[i];
    var group = change.group !== undefined && document.getElementById(change.group);
    var old = change.anchor !== undefined ? anchors[change.anchor]
                                          : group && group.querySelector(':scope > details > summary');
    var parsed = document.createElement('template');
    parsed.innerHTML = change.markup;
    var fresh = parsed.content.firstChild;
    if (!old || parsed.content.childNodes.length !== 1 || fresh.tagName !== old.tagName) return false;
    found.push([old, fresh, change.anchor]);
  }
  found.forEach(function (pair) {
    var old = pair[0], fresh = pair[1];
    // What the page's script and the preview's mark set on the element stays with the node.
    if (old.hasAttribute('aria-current')) fresh.setAttribute('aria-current', old.getAttribute('aria-current'));
    if (window.vormikPreviewMarked === old) {
      fresh.style.outline = old.style.outline;
      window.vormikPreviewMarked = fresh;
    }
    old.replaceWith(fresh);
    if (pair[2] !== undefined) anchors[pair[2]] = fresh;
  });
  return true;
})(%1))");

// Outlines the anchor numbered `anchor`, or the heading of the group `id`, and brings it into view.
const QString Mark = QStringLiteral(R"((function (anchor, id) {
  var old = window.vormikPreviewMarked;
  if (old) old.style.outline = '';
  var item = anchor >= 0 ? (window.vormikPreviewAnchors || [])[anchor] : (id && document.getElementById(id));
  if (item && anchor < 0) item = item.querySelector('summary') || item;
  window.vormikPreviewMarked = item || null;
  if (!item) return;
  item.style.outline = '2px solid Highlight';
  for (var up = item.parentElement; up; up = up.parentElement) {
    if (up.tagName === 'DETAILS' && !up.firstElementChild.contains(item)) up.open = true;
    else if (up.tagName === 'DIV' && up.id && up.style.display === 'none') up.style.display = 'block';
  }
  item.scrollIntoView({block: 'nearest'});
})(%1, %2))");

QString jsString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

int indexIn(const PreviewBuild::Page &page, const LinkNode *node)
{
    const auto found = std::find(page.nodes.begin(), page.nodes.end(), node);
    return found == page.nodes.end() ? -1 : static_cast<int>(found - page.nodes.begin());
}

} // namespace

PreviewPane::PreviewPane(QAbstractItemModel &model, TreeSource tree, QWidget *parent)
    : QWidget(parent), m_tree(std::move(tree))
{
    setObjectName(QStringLiteral("PreviewPane"));
    setMinimumWidth(200);
    new QVBoxLayout(this);
    layout()->setContentsMargins(0, 0, 0, 0);
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &PreviewPane::build);
    connect(&m_building, &QFutureWatcher<std::shared_ptr<PreviewBuild::Page>>::finished, this, &PreviewPane::built);
    connect(&model, &QAbstractItemModel::dataChanged, this, &PreviewPane::scheduleUpdate);
    connect(&model, &QAbstractItemModel::layoutChanged, this, &PreviewPane::scheduleUpdate);
    connect(&model, &QAbstractItemModel::rowsInserted, this, &PreviewPane::scheduleUpdate);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &PreviewPane::scheduleUpdate);
    connect(&model, &QAbstractItemModel::rowsMoved, this, &PreviewPane::scheduleUpdate);
    connect(&model, &QAbstractItemModel::modelReset, this, &PreviewPane::scheduleUpdate);
}

PreviewPane::~PreviewPane()
{
    // The page goes before its profile, and no answer of the engine reaches a pane half gone.
    m_building.disconnect(this);
    m_building.waitForFinished();
    PreviewWebPage *page = std::exchange(m_page, nullptr);
    delete m_view;
    delete page;
    delete m_profile;
}

void PreviewPane::setOutputSource(OutputSource source)
{
    m_output = std::move(source);
    scheduleUpdate();
}

void PreviewPane::scheduleUpdate()
{
    m_stale = true;
    if (isVisible())
        m_settle.start();
}

void PreviewPane::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_view) {
        // The engine starts only when the pane is first shown: a window without it costs nothing.
        m_profile = new QWebEngineProfile(this);
        m_files = new PreviewFiles(m_profile);
        m_profile->installUrlSchemeHandler(PreviewScheme::Name, m_files);
        m_profile->setUrlRequestInterceptor(new PreviewRequestGuard(m_profile));
        m_page = new PreviewWebPage(m_profile, this);
        connect(m_page, &QWebEnginePage::loadFinished, this, &PreviewPane::loaded);
        connect(m_page, &QWebEnginePage::renderProcessTerminated, this, [this] { finish(); });
        connect(m_page, &PreviewWebPage::anchorClicked, this, [this](int anchor) {
            if (m_shown && anchor < static_cast<int>(m_shown->anchorNodes.size()))
                emit nodePicked(m_shown->nodes[static_cast<size_t>(m_shown->anchorNodes[static_cast<size_t>(anchor)])]);
        });
        m_view = new QWebEngineView(this);
        m_view->setPage(m_page);
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        layout()->addWidget(m_view);
    }
    if (m_stale)
        QTimer::singleShot(0, this, &PreviewPane::build);
}

void PreviewPane::build()
{
    if (m_busy || !m_view)
        return;
    m_busy = true;
    m_stale = false;
    const LinkTree &tree = m_tree();
    // The copy is the one whole-tree step on this thread; the page is built from it elsewhere. No
    // build reads the last copy now, so when the tree's shape is the same only the nodes that
    // changed are copied again.
    if (!m_copy || !PreviewBuild::refresh(*m_copy, m_buildingNodes, tree))
        m_copy = PreviewBuild::copyOf(tree);
    m_buildingNodes.assign(tree.nodes().begin(), tree.nodes().end());
    const ExportSettings settings = PreviewBuild::settingsFor(m_output ? m_output() : PreviewBuild::Output());
    m_building.setFuture(QtConcurrent::run([copy = std::shared_ptr<const LinkTree>(m_copy), settings, shown = m_shown] {
        auto page = std::make_shared<PreviewBuild::Page>(PreviewBuild::build(*copy, settings));
        if (shown)
            page->changes = PreviewChanges::between(*shown, *page);
        return page;
    }));
}

void PreviewPane::built()
{
    const std::shared_ptr<PreviewBuild::Page> page = m_building.result();
    page->nodes = m_buildingNodes;
    if (!m_shown) {
        load(page, {});
        return;
    }
    if (page->changes) {
        // The same page but for some nodes' markup: changed in place, groups, place and mark stay.
        m_page->runJavaScript(Replace.arg(*page->changes), [this, page](const QVariant &done) {
            if (!m_page)
                return;
            if (!done.toBool()) {
                reload(page);
                return;
            }
            // Served too, should the engine ask for the page again.
            m_files->setFiles(m_serial, page->files);
            m_shown = page;
            emit pageShown();
            finish();
        });
        return;
    }
    reload(page);
}

void PreviewPane::reload(const std::shared_ptr<const PreviewBuild::Page> &page)
{
    m_page->runJavaScript(KeptState, [this, page](const QVariant &state) {
        if (m_page)
            load(page, state);
    });
}

void PreviewPane::load(std::shared_ptr<const PreviewBuild::Page> page, const QVariant &state)
{
    // The groups open are kept by node, since a change may number the groups anew.
    QVariantMap keep = state.toMap();
    QJsonArray openIds;
    if (m_shown) {
        QHash<QString, int> groupOf;
        for (size_t node = 0; node < m_shown->groupIds.size(); ++node) {
            if (!m_shown->groupIds[node].isEmpty())
                groupOf.insert(m_shown->groupIds[node], static_cast<int>(node));
        }
        QSet<const LinkNode *> open;
        for (const QVariant &id : keep.value(QStringLiteral("open")).toList()) {
            if (const auto found = groupOf.constFind(id.toString()); found != groupOf.constEnd())
                open.insert(m_shown->nodes[static_cast<size_t>(*found)]);
        }
        for (size_t node = 0; node < page->nodes.size() && !open.isEmpty(); ++node) {
            if (open.contains(page->nodes[node]) && !page->groupIds[node].isEmpty())
                openIds.append(page->groupIds[node]);
        }
    }
    keep.insert(QStringLiteral("open"), openIds);
    m_keep = keep;
    m_loading = std::move(page);
    ++m_serial;
    m_files->setFiles(m_serial, m_loading->files);
    const QUrl url = PreviewScheme::address(m_serial, m_loading->files.pageName);
    m_page->allow(url);
    m_page->load(url);
}

void PreviewPane::loaded(bool)
{
    if (!m_loading)
        return;
    m_shown = std::move(m_loading);
    const QVariantMap keep = m_keep.toMap();
    const QString ids = QString::fromUtf8(
        QJsonDocument(keep.value(QStringLiteral("open")).toJsonArray()).toJson(QJsonDocument::Compact));
    m_page->runJavaScript(Restore.arg(ids, QString::number(keep.value(QStringLiteral("x")).toDouble()),
                                      QString::number(keep.value(QStringLiteral("y")).toDouble()),
                                      jsString(m_shown->rootClass), jsString(PreviewWebPage::PickMark)));
    m_page->runJavaScript(markScript(), [this](const QVariant &) {
        if (!m_page)
            return;
        emit pageShown();
        finish();
    });
}

void PreviewPane::finish()
{
    m_busy = false;
    m_loading.reset();
    if (m_stale)
        m_settle.start();
}

void PreviewPane::markNode(const LinkNode *node)
{
    m_marked = node;
    if (m_shown && m_page)
        m_page->runJavaScript(markScript());
}

QString PreviewPane::markScript() const
{
    const int node = m_shown ? indexIn(*m_shown, m_marked) : -1;
    int anchor = -1;
    QString groupId;
    if (node >= 0) {
        const auto &anchors = m_shown->anchorNodes;
        const auto first = std::lower_bound(anchors.begin(), anchors.end(), node);
        if (first != anchors.end() && *first == node)
            anchor = static_cast<int>(first - anchors.begin());
        groupId = m_shown->groupIds[static_cast<size_t>(node)];
    }
    return Mark.arg(QString::number(anchor), jsString(groupId));
}
