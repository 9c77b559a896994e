#pragma once

#include "tree/LinkTree.h"

#include <memory>

// The tree shapes every benchmark runs over.
enum class TreeShape : int {
    Balanced = 0, // groups of ten children, as deep as the size needs
    Flat = 1,     // top-level links only
    Chain = 2,    // a chain of 2,000 nested groups, the other nodes as links along it
};

const char *shapeName(TreeShape shape);

// A tree of `nodes` nodes in the given shape, every link with all its fields filled.
std::unique_ptr<LinkTree> makeTree(TreeShape shape, int nodes);
