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

std::unique_ptr<LinkTree> makeTree(TreeShape shape, int nodes)
{
    auto tree = std::make_unique<LinkTree>();
    switch (shape) {
    case TreeShape::Flat:
        for (int i = 0; i < nodes; ++i)
            addLink(*tree, nullptr, i);
        break;
    case TreeShape::Chain: {
        const int depth = std::min(2000, nodes);
        std::vector<LinkNode *> chain;
        LinkNode *parent = nullptr;
        for (int i = 0; i < depth; ++i) {
            parent = tree->appendGroup(parent, QStringLiteral("グループ %1").arg(i));
            chain.push_back(parent);
        }
        for (int i = depth; i < nodes; ++i)
            addLink(*tree, chain[static_cast<size_t>(i) % chain.size()], i);
        break;
    }
    case TreeShape::Balanced: {
        // Breadth-first: every group takes ten children until the count is reached.
        std::vector<LinkNode *> groups;
        int made = 0;
        for (; made < std::min(10, nodes); ++made)
            groups.push_back(tree->appendGroup(nullptr, QStringLiteral("グループ %1").arg(made)));
        for (size_t next = 0; made < nodes && next < groups.size(); ++next) {
            for (int k = 0; k < 10 && made < nodes; ++k, ++made) {
                if (k < 3 && made + 30 < nodes)
                    groups.push_back(tree->appendGroup(groups[next], QStringLiteral("グループ %1").arg(made)));
                else
                    addLink(*tree, groups[next], made);
            }
        }
        break;
    }
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
