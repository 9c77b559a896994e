#pragma once
// The one table of a node's fields: each with the element the project file keeps it in and,
// where the page shows it, the attribute of a link's anchor. Adding a field is one row here and
// the places that show it.

#include "tree/LinkAttr.h"

#include <QString>

#include <cstddef>
#include <iterator>

class LinkNode;
class LinkTree;

// A node's fields, in the order the project file writes them.
enum class NodeField { Text, Group, Href, Target, ObjID, Class };

struct NodeFieldInfo
{
    NodeField field;
    const char *elementName;   // the element of a project file's Node that holds it
    QString LinkAttr::*member; // the record's member; null for the text and the kind
    const char *linkAttribute; // the attribute of a link's anchor on the page, or null
};

inline constexpr NodeFieldInfo NodeFields[] = {
    {NodeField::Text, "Text", nullptr, nullptr},
    {NodeField::Group, "Group", nullptr, nullptr},
    {NodeField::Href, "Href", &LinkAttr::Href, "href"},
    {NodeField::Target, "Target", &LinkAttr::Target, "target"},
    {NodeField::ObjID, "ObjID", &LinkAttr::ObjID, "id"},
    {NodeField::Class, "Class", &LinkAttr::Class, "class"},
};
inline constexpr std::size_t NodeFieldCount = std::size(NodeFields);

constexpr const NodeFieldInfo &fieldInfo(NodeField field)
{
    return NodeFields[static_cast<std::size_t>(field)];
}

// The value of a field written as text: the node's text or a string of its record. Group is the
// node's kind, not text; it reads as empty here.
const QString &fieldValue(const LinkNode &node, NodeField field);
// Sets a field written as text; Group is set as the node's kind, elsewhere.
void setFieldValue(LinkTree &tree, LinkNode &node, NodeField field, const QString &value);
