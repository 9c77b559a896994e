#include "BenchTrees.h"

#include <QString>

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

namespace {

// The shape of a tree before it is made: each node's parent (-1 at the top level) and kind.
struct Plan
{
    std::vector<int> parent;
    std::vector<bool> group;

    int add(int parentIndex, bool isGroup)
    {
        parent.push_back(parentIndex);
        group.push_back(isGroup);
        return static_cast<int>(parent.size()) - 1;
    }
};

Plan planFor(TreeShape shape, int nodes)
{
    Plan plan;
    switch (shape) {
    case TreeShape::Flat:
        for (int i = 0; i < nodes; ++i)
            plan.add(-1, false);
        break;
    case TreeShape::Chain: {
        const int depth = std::min(2000, nodes);
        for (int i = 0; i < depth; ++i)
            plan.add(i - 1, true);
        for (int i = depth; i < nodes; ++i)
            plan.add(i % depth, false);
        break;
    }
    case TreeShape::Balanced: {
        // Every group takes ten children, three of them groups while there is room.
        std::vector<int> groups;
        for (int i = 0; i < std::min(10, nodes); ++i)
            groups.push_back(plan.add(-1, true));
        for (size_t next = 0; plan.parent.size() < size_t(nodes) && next < groups.size(); ++next) {
            for (int k = 0; k < 10 && plan.parent.size() < size_t(nodes); ++k) {
                const bool isGroup = k < 3 && plan.parent.size() + 30 < size_t(nodes);
                const int index = plan.add(groups[next], isGroup);
                if (isGroup)
                    groups.push_back(index);
            }
        }
        break;
    }
    }
    return plan;
}

} // namespace

std::unique_ptr<LinkTree> makeTree(TreeShape shape, int nodes)
{
    // The nodes are made in absolute order, as Open makes them from a file, so they lie in
    // memory in the order every whole-tree walk visits them.
    const Plan plan = planFor(shape, nodes);
    std::vector<std::vector<int>> children(plan.parent.size());
    std::vector<int> topLevel;
    for (size_t i = 0; i < plan.parent.size(); ++i)
        (plan.parent[i] < 0 ? topLevel : children[size_t(plan.parent[i])]).push_back(int(i));

    auto tree = std::make_unique<LinkTree>();
    std::vector<std::pair<int, LinkNode *>> pending; // planned node, its made parent
    for (auto it = topLevel.rbegin(); it != topLevel.rend(); ++it)
        pending.emplace_back(*it, nullptr);
    while (!pending.empty()) {
        const auto [index, parent] = pending.back();
        pending.pop_back();
        LinkNode *made = plan.group[size_t(index)]
                             ? tree->appendGroup(parent, QStringLiteral("グループ %1").arg(index))
                             : addLink(*tree, parent, index);
        const std::vector<int> &kids = children[size_t(index)];
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            pending.emplace_back(*it, made);
    }
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
