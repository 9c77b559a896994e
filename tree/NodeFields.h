#pragma once
// The one table of a node's fields: each with its name in every file the program reads or writes,
// and whether find looks in it. The project file, the pages, the data files, the importers and
// find all walk this table, so adding a field is one row here and the editor that shows it.

#include "tree/LinkTree.h"

#include <QString>

#include <cstddef>
#include <iterator>

// A node's fields, in the order the project file writes them.
enum class NodeField { Text, Group, Href, Target, ObjID, Class };

// The kind has no name in the data files and pages: each tells a group from a link its own way
// (a folder, an outline without an address, an object with children, a heading).
struct NodeFieldInfo
{
    NodeField field;
    const char *elementName;   // the element of a project file's Node that holds it
    QString LinkAttr::*member; // the record's member; null for the text and the kind
    const char *linkAttribute; // the attribute of a link's anchor on a page and in a bookmark file, or null
    const char *opmlAttribute; // the attribute of an OPML outline, or null
    const char *jsonKey;       // the member of a node's JSON object, or null
    bool searched;             // whether find looks in it
};

inline constexpr NodeFieldInfo NodeFields[] = {
    {NodeField::Text, "Text", nullptr, nullptr, "text", "name", true},
    {NodeField::Group, "Group", nullptr, nullptr, nullptr, nullptr, false},
    {NodeField::Href, "Href", &LinkAttr::Href, "href", "url", "href", true},
    {NodeField::Target, "Target", &LinkAttr::Target, "target", "target", "target", false},
    {NodeField::ObjID, "ObjID", &LinkAttr::ObjID, "id", "id", "id", true},
    {NodeField::Class, "Class", &LinkAttr::Class, "class", "class", "class", true},
};
inline constexpr std::size_t NodeFieldCount = std::size(NodeFields);

constexpr const NodeFieldInfo &fieldInfo(NodeField field)
{
    return NodeFields[static_cast<std::size_t>(field)];
}

// A field every format carries as it is, beside the name, kind and address that make the node.
constexpr bool isDetail(const NodeFieldInfo &info)
{
    return info.member && info.field != NodeField::Href;
}

// The value of a field written as text: the node's text or a string of its record. Group is the
// node's kind, not text; it reads as empty here.
const QString &fieldValue(const LinkNode &node, NodeField field);
// Sets a field written as text; Group is set as the node's kind, elsewhere.
void setFieldValue(LinkTree &tree, LinkNode &node, NodeField field, const QString &value);
