#include "BenchTrees.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <vector>

const char *shapeName(TreeShape shape)
{
    switch (shape) {
    case TreeShape::Balanced:
        return "balanced";
    case TreeShape::Flat:
        return "flat";
    case TreeShape::Chain:
        return "chain";
    }
    return "?";
}

namespace {
LinkNode *addLink(LinkTree &tree, LinkNode *parent, int i)
{
    LinkNode *link = tree.appendLink(parent, QStringLiteral("リンク %1").arg(i));
    LinkAttr &record = link->record();
    record.Href = QStringLiteral("page%1.html").arg(i);
    record.Target = QStringLiteral("_blank");
    record.ObjID = QStringLiteral("id%1").arg(i);
    record.Class = QStringLiteral("c%1").arg(i % 7);
    return link;
}
} // namespace

TreePlan::TreePlan(TreeShape shape, int nodes)
{
    auto add = [this](int parentIndex, bool isGroup) {
        m_parent.push_back(parentIndex);
        m_group.push_back(isGroup);
        return static_cast<int>(m_parent.size()) - 1;
    };
    switch (shape) {
    case TreeShape::Flat:
        for (int i = 0; i < nodes; ++i)
            add(-1, false);
        break;
    case TreeShape::Chain: {
        const int depth = std::min(2000, nodes);
        for (int i = 0; i < depth; ++i)
            add(i - 1, true);
        for (int i = depth; i < nodes; ++i)
            add(i % depth, false);
        break;
    }
    case TreeShape::Balanced: {
        // Every group takes ten children, three of them groups while there is room.
        std::vector<int> groups;
        for (int i = 0; i < std::min(10, nodes); ++i)
            groups.push_back(add(-1, true));
        for (size_t next = 0; m_parent.size() < size_t(nodes) && next < groups.size(); ++next) {
            for (int k = 0; k < 10 && m_parent.size() < size_t(nodes); ++k) {
                const bool isGroup = k < 3 && m_parent.size() + 30 < size_t(nodes);
                const int index = add(groups[next], isGroup);
                if (isGroup)
                    groups.push_back(index);
            }
        }
        break;
    }
    }
    std::vector<std::vector<int>> children(m_parent.size());
    std::vector<int> topLevel;
    for (size_t i = 0; i < m_parent.size(); ++i)
        (m_parent[i] < 0 ? topLevel : children[size_t(m_parent[i])]).push_back(int(i));
    // Absolute order, worked out here so that making a tree is only the making.
    std::vector<int> pending(topLevel.rbegin(), topLevel.rend());
    while (!pending.empty()) {
        const int index = pending.back();
        pending.pop_back();
        m_absoluteOrder.push_back(index);
        const std::vector<int> &kids = children[size_t(index)];
        pending.insert(pending.end(), kids.rbegin(), kids.rend());
    }
}

std::unique_ptr<LinkTree> TreePlan::make() const
{
    // The nodes are made in absolute order, as Open makes them from a file, so they lie in
    // memory in the order every whole-tree walk visits them.
    auto tree = std::make_unique<LinkTree>();
    std::vector<LinkNode *> made(m_parent.size());
    for (const int index : m_absoluteOrder) {
        LinkNode *parent = m_parent[size_t(index)] < 0 ? nullptr : made[size_t(m_parent[size_t(index)])];
        made[size_t(index)] = m_group[size_t(index)] ? tree->appendGroup(parent, QStringLiteral("グループ %1").arg(index))
                                                     : addLink(*tree, parent, index);
    }
    return tree;
}

std::unique_ptr<LinkTree> makeTree(TreeShape shape, int nodes)
{
    return TreePlan(shape, nodes).make();
}

void giveDistinctClasses(LinkTree &tree)
{
    int i = 0;
    for (LinkNode *node : tree.nodes())
        node->record().Class = QStringLiteral("Class%1").arg(i++);
}

// `nodes` nodes of which `topLinks` are top-level links; the rest are links of one group.
std::unique_ptr<LinkTree> treeWithTopLevelLinks(int nodes, int topLinks)
{
    auto tree = std::make_unique<LinkTree>();
    LinkNode *group = tree->appendGroup(nullptr, QStringLiteral("グループ"));
    for (int i = 1; i < nodes - topLinks; ++i)
        tree->appendLink(group, QStringLiteral("内 %1").arg(i));
    for (int i = 0; i < topLinks; ++i)
        tree->appendLink(nullptr, QStringLiteral("リンク %1").arg(i));
    return tree;
}

// An empty group, then a group holding `nodes` nodes below it in groups of ten, then a link.
std::unique_ptr<LinkTree> groupOfNodes(int nodes)
{
    auto tree = makeTree(TreeShape::Balanced, nodes - 1);
    const int made = tree->topLevelCount();
    LinkNode *above = tree->appendGroup(nullptr, QStringLiteral("上"));
    LinkNode *group = tree->appendGroup(nullptr, QStringLiteral("グループ"));
    tree->appendLink(nullptr, QStringLiteral("リンク"));
    for (int i = 0; i < made; ++i)
        tree->move(tree->topLevel(0), group, group->childCount());
    Q_ASSERT(tree->topLevel(0) == above && LinkTree::subtreeSize(group) == nodes);
    return tree;
}

void evictCaches(benchmark::State &state)
{
    // Several times the largest per-core cache of the machines we run on.
    static std::vector<char> junk(16 << 20);
    state.PauseTiming();
    for (size_t i = 0; i < junk.size(); i += 64)
        ++junk[i];
    benchmark::ClobberMemory();
    state.ResumeTiming();
}

QString benchFolder()
{
    static const QTemporaryDir dir = [] {
        const QString memory = QStringLiteral("/dev/shm");
        return QDir(memory).exists() ? QTemporaryDir(memory + QStringLiteral("/vormik-bench-XXXXXX"))
                                     : QTemporaryDir();
    }();
    return dir.path();
}

LinkNode *lastLink(const LinkTree &tree)
{
    const auto &nodes = tree.nodes();
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
        if (!(*it)->isGroup())
            return *it;
    }
    return nullptr;
}
