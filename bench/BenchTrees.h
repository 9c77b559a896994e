#pragma once

#include "tree/LinkTree.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

// The tree shapes every benchmark runs over.
enum class TreeShape : int {
    Balanced = 0, // groups of ten children (three of them groups), as deep as the size needs
    Flat = 1,     // top-level links only
    Chain = 2,    // a chain of 2,000 nested groups, the other nodes as links along it
};

const char *shapeName(TreeShape shape);

// The shape of a tree of `nodes` nodes, worked out once, from which trees are made.
class TreePlan
{
public:
    TreePlan(TreeShape shape, int nodes);
    // A tree of this shape, every link with all its fields filled.
    std::unique_ptr<LinkTree> make() const;

private:
    std::vector<int> m_parent; // -1 at the top level
    std::vector<bool> m_group;
    std::vector<int> m_absoluteOrder;
};

// A tree of `nodes` nodes in the given shape, every link with all its fields filled.
std::unique_ptr<LinkTree> makeTree(TreeShape shape, int nodes);

// Every node a class of its own, so the class list is as long as the tree.
void giveDistinctClasses(LinkTree &tree);
// `nodes` nodes of which `topLinks` are top-level links; the rest are links of one group.
std::unique_ptr<LinkTree> treeWithTopLevelLinks(int nodes, int topLinks);
// An empty group, then a group holding `nodes` nodes below it in groups of ten, then a link.
std::unique_ptr<LinkTree> groupOfNodes(int nodes);
// A link deep in the tree: the last node in absolute order that is a link.
LinkNode *lastLink(const LinkTree &tree);

// Pushes the tree out of the processor's caches, untimed. Whole-tree benchmarks call it before
// every run, so that 10,000 and 100,000 nodes both start from memory and the ratio of their
// times shows how the work grows, not whether the smaller tree happened to fit in a cache.
void evictCaches(benchmark::State &state);

// A folder for the files benchmarks write, removed at exit. It is in memory (/dev/shm) where the
// system has one: Save and Export end with a flush to disk, and the disk's speed varies from run
// to run far more than Vormik's own work does.
QString benchFolder();
