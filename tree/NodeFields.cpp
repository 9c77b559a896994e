#include "tree/NodeFields.h"

#include <algorithm>

namespace {
static_assert(std::ranges::all_of(NodeFields, [](const NodeFieldInfo &info) { return &fieldInfo(info.field) == &info; }),
              "a NodeField is its row of the table");

const QString NoText;
} // namespace

const QString &fieldValue(const LinkNode &node, NodeField field)
{
    if (field == NodeField::Text)
        return node.text();
    const NodeFieldInfo &info = fieldInfo(field);
    return info.member ? node.record().*info.member : NoText;
}

void setFieldValue(LinkTree &tree, LinkNode &node, NodeField field, const QString &value)
{
    if (field == NodeField::Text)
        tree.setText(&node, value);
    else if (const NodeFieldInfo &info = fieldInfo(field); info.member)
        node.record().*info.member = value;
}
