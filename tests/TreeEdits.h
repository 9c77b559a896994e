#pragma once

#include "app/editing/LinkTreeModel.h"
#include "app/editing/TreeSteps.h"

#include <memory>
#include <vector>

// A test's setting-up of a window's tree, made as the program makes every change: through a
// step. The step is done and dropped, not pushed, so the tree stands as if opened: the undo
// history a test then checks begins with what the test does.
namespace TreeEdits {

inline void apply(std::unique_ptr<TreeStep> step)
{
    step->redo();
}

inline LinkNode *insert(LinkTreeModel &model, LinkNode *parent, std::unique_ptr<LinkNode> node)
{
    std::vector<std::unique_ptr<LinkNode>> nodes;
    nodes.push_back(std::move(node));
    auto step = std::make_unique<InsertNodesStep>(model, QString(), parent, model.tree().childCount(parent),
                                                  std::move(nodes));
    LinkNode *added = step->nodes().front();
    apply(std::move(step));
    return added;
}

inline LinkNode *appendGroup(LinkTreeModel &model, LinkNode *parent, const QString &name)
{
    return insert(model, parent, LinkTree::detachedGroup(name));
}

inline LinkNode *appendLink(LinkTreeModel &model, LinkNode *parent, const QString &text, const LinkAttr &fields = {})
{
    std::unique_ptr<LinkNode> link = LinkTree::detachedLink(text);
    link->record() = fields;
    return insert(model, parent, std::move(link));
}

inline void remove(LinkTreeModel &model, LinkNode *node)
{
    apply(std::make_unique<RemoveNodesStep>(model, QString(), NodeList{node}));
}

inline void setField(LinkTreeModel &model, LinkNode *node, NodeField field, const QString &value)
{
    apply(std::make_unique<EditFieldsStep>(model, QString(), field, std::vector<EditFieldsStep::Edit>{{node, value}}));
}

inline void setNodeText(LinkTreeModel &model, LinkNode *node, const QString &text)
{
    setField(model, node, NodeField::Text, text);
}

inline void replaceTree(LinkTreeModel &model, std::unique_ptr<LinkTree> tree)
{
    apply(std::make_unique<ReplaceTreeStep>(model, QString(), std::move(tree)));
}

inline void clear(LinkTreeModel &model)
{
    replaceTree(model, std::make_unique<LinkTree>());
}

} // namespace TreeEdits
