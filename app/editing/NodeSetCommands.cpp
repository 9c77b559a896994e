#include "app/editing/NodeSetCommands.h"

#include "app/editing/LinkTreeModel.h"
#include "app/editing/NodeTransfer.h"
#include "app/editing/TreeSteps.h"

namespace NodeSetCommands {

namespace {

void performEdits(LinkTreeModel &model, NodeField field, const std::vector<EditFieldsStep::Edit> &edits,
                  const QString &caption, int burst = EditFieldsStep::NoBurst)
{
    if (!edits.empty())
        model.perform(new EditFieldsStep(model, caption, field, edits, burst));
}

} // namespace

bool remove(LinkTreeModel &model, const NodeList &nodes, const QString &caption)
{
    if (nodes.empty())
        return false;
    model.perform(new RemoveNodesStep(model, caption, topmostNodes(model.tree(), nodes)));
    return true;
}

bool canMove(const LinkTree &tree, const NodeList &nodes, NodeMove move)
{
    return movePlaces(tree, topmostNodes(tree, nodes), move).has_value();
}

bool move(LinkTreeModel &model, const NodeList &nodes, NodeMove move, const QString &caption)
{
    const std::optional<std::vector<NodePlace>> places = movePlaces(model.tree(), topmostNodes(model.tree(), nodes), move);
    if (!places)
        return false;
    model.perform(new MoveNodesStep(model, caption, *places));
    return true;
}

QMimeData *copy(const LinkTree &tree, const NodeList &nodes)
{
    return nodes.empty() ? nullptr : NodeTransfer::fragment(tree, topmostNodes(tree, nodes));
}

LinkNode *insertAt(LinkTreeModel &model, LinkNode *selected, bool selectedIsOpen, std::unique_ptr<LinkNode> node,
                   const QString &caption)
{
    const NodePlace place = insertPlace(model.tree(), selected, selectedIsOpen);
    std::vector<std::unique_ptr<LinkNode>> nodes;
    nodes.push_back(std::move(node));
    auto *step = new InsertNodesStep(model, caption, place.parent, place.row, std::move(nodes));
    LinkNode *added = step->nodes().front();
    model.perform(step);
    return added;
}

void setField(LinkTreeModel &model, const NodeList &nodes, NodeField field, const QString &value,
              const QString &caption, bool typing)
{
    std::vector<EditFieldsStep::Edit> edits;
    for (LinkNode *node : nodes) {
        if (fieldValue(*node, field) != value)
            edits.push_back({node, value});
    }
    performEdits(model, field, edits, caption, typing ? model.burst() : EditFieldsStep::NoBurst);
}

void addClasses(LinkTreeModel &model, const NodeList &nodes, const QString &classes, const QString &caption)
{
    std::vector<EditFieldsStep::Edit> edits;
    for (LinkNode *node : nodes) {
        const QString &had = fieldValue(*node, NodeField::Class);
        if (QString now = withClasses(had, classes); now != had)
            edits.push_back({node, std::move(now)});
    }
    performEdits(model, NodeField::Class, edits, caption);
}

} // namespace NodeSetCommands
