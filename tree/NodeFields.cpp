#include "tree/NodeFields.h"

#include "tree/LinkTree.h"

namespace {
constexpr bool inTableOrder()
{
    for (std::size_t i = 0; i < NodeFieldCount; ++i) {
        if (static_cast<std::size_t>(NodeFields[i].field) != i)
            return false;
    }
    return true;
}
static_assert(inTableOrder(), "a NodeField is its row of the table");

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
