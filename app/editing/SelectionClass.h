#pragma once

#include "tree/LinkTree.h"

// The four cases the tree's selected node falls into; the list, the editors and the editing
// commands each behave by these.
enum class SelectionClass { None, Group, TopLevelLink, NestedLink };

inline SelectionClass classifySelection(const LinkNode *node)
{
    if (!node)
        return SelectionClass::None;
    if (node->isGroup())
        return SelectionClass::Group;
    return node->level() == 0 ? SelectionClass::TopLevelLink : SelectionClass::NestedLink;
}

// The group a command adds under, or whose name the group-name editor holds: the group itself,
// or the parent of a nested link. Null for no selection and for a top-level link.
inline LinkNode *owningGroup(LinkNode *node)
{
    switch (classifySelection(node)) {
    case SelectionClass::Group:
        return node;
    case SelectionClass::NestedLink:
        return node->parent();
    default:
        return nullptr;
    }
}
