#include "import/FormatReaders.h"

#include "import/HtmlDocument.h"
#include "import/ImportBuilder.h"
#include "text/TextRules.h"
#include "tree/LinkTree.h"

#include <algorithm>
#include <vector>

namespace PageReader {

using HtmlDocument::attribute;
using HtmlDocument::isElement;

namespace {

// The marks the export dialog offers for groups.
const QString GroupMarks = QStringLiteral("□■◇◆＋－");
// What the classic page draws tree lines with.
const QString TreeLineCharacters = QStringLiteral("├└│　");
// What ends the tree lines in front of a group's child.
const QString Branches = QStringLiteral("├└");

xmlNode *find(xmlNode *root, const char *name)
{
    xmlNode *found = nullptr;
    HtmlDocument::walk(
        root,
        [&](xmlNode *node) {
            if (!found && isElement(node, name))
                found = node;
            return !found;
        },
        [](xmlNode *) {});
    return found;
}

constexpr const char *Href = fieldInfo(NodeField::Href).linkAttribute;

void setLinkFields(ImportBuilder &builder, LinkNode *node, const xmlNode *a)
{
    builder.setDetails(node, [a](const NodeFieldInfo &field) { return attribute(a, field.linkAttribute); });
}

// The classic page: a node line is a <div> without attributes; a group's line is followed by
// its block, a <div> with the group class and the group's id.
bool isBlock(const xmlNode *node)
{
    return isElement(node, "div") && !attribute(node, "id").isNull();
}

qsizetype treeLineCount(const QString &text, qsizetype most)
{
    qsizetype count = 0;
    while (count < most && count < text.size() && TreeLineCharacters.contains(text.at(count)))
        ++count;
    return count;
}

// The tree lines in front of a node are as many as its level: a group's child ends them with
// ├ or └, a child of a link (which has no block) with a blank. The text before the line's anchor
// is exactly those lines; a group's line without an anchor (no folding script) has only its text,
// where a name may begin with such a character too: a branch at the level of the blocks around
// it ends the lines there, otherwise they are counted up to one below the line before. The group
// blocks around a line are the least its level can be.
void readClassic(xmlNode *root, ImportBuilder &builder)
{
    std::vector<LinkNode *> path; // the last node read at each level, down to the last one read
    int blockLevel = 0; // how many group blocks are open around the line: no node lies higher
    LinkNode *lastGroup = nullptr;
    HtmlDocument::walk(
        root,
        [&](xmlNode *node) {
            if (!isElement(node, "div"))
                return false;
            if (isBlock(node)) {
                if (lastGroup)
                    builder.setField(lastGroup, NodeField::ObjID, attribute(node, "id"));
                ++blockLevel;
                lastGroup = nullptr;
                return true;
            }
            xmlNode *content = xmlFirstElementChild(node);
            const bool group = isBlock(xmlNextElementSibling(node));
            if (!group && !node->children)
                return false; // the line an empty tree writes
            const QString text = HtmlDocument::text(node);
            qsizetype lines = 0;
            if (isElement(content, "a")) {
                for (xmlNode *before = node->children; before != content; before = before->next)
                    lines += before->type == XML_TEXT_NODE ? HtmlDocument::text(before).size() : 0;
                lines = treeLineCount(text, lines);
            } else if (blockLevel > 0 && text.size() >= blockLevel && Branches.contains(text.at(blockLevel - 1))) {
                lines = blockLevel; // a group's child, by far the most common
            } else {
                lines = treeLineCount(text, static_cast<qsizetype>(path.size()));
            }
            const int level = static_cast<int>(
                std::min<qsizetype>(std::max<qsizetype>(lines, blockLevel), static_cast<qsizetype>(path.size())));
            path.resize(static_cast<size_t>(level));
            LinkNode *parent = level > 0 ? path.back() : nullptr;
            const QString name = text.sliced(lines);
            LinkNode *made;
            if (group) {
                made = lastGroup = builder.addGroup(parent, name);
            } else {
                made = builder.addLink(parent, name, attribute(content, Href));
                if (isElement(content, "a"))
                    setLinkFields(builder, made, content);
            }
            path.push_back(made);
            return false;
        },
        [&](xmlNode *node) {
            if (isBlock(node)) {
                --blockLevel;
                lastGroup = nullptr;
            }
        });
}

// A group's name in the HTML5 page: the text of its heading without the mark, which is hidden
// from screen readers and so marked aria-hidden.
QString headingText(xmlNode *li)
{
    xmlNode *holder = li;
    for (xmlNode *child = xmlFirstElementChild(li); child; child = xmlNextElementSibling(child)) {
        if (isElement(child, "details")) {
            xmlNode *summary = xmlFirstElementChild(child);
            holder = isElement(summary, "summary") ? summary : child;
        }
    }
    QString name;
    for (xmlNode *child = holder->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE) {
            name += HtmlDocument::text(child);
        } else if (child->type == XML_ELEMENT_NODE && !isElement(child, "ul") && !isElement(child, "details")
                   && attribute(child, "aria-hidden") != QLatin1String("true")) {
            name += HtmlDocument::text(child);
        }
    }
    return name;
}

void readHtml5(xmlNode *nav, ImportBuilder &builder)
{
    std::vector<LinkNode *> parents{nullptr};
    HtmlDocument::walk(
        nav,
        [&](xmlNode *node) {
            if (isElement(node, "ul") || isElement(node, "details"))
                return true;
            if (!isElement(node, "li"))
                return false;
            xmlNode *a = xmlFirstElementChild(node);
            LinkNode *made;
            if (isElement(a, "a")) {
                made = builder.addLink(parents.back(), HtmlDocument::text(a), attribute(a, Href));
                setLinkFields(builder, made, a);
            } else {
                made = builder.addGroup(parents.back(), headingText(node));
                builder.setField(made, NodeField::ObjID, attribute(node, "id"));
            }
            parents.push_back(made);
            return true;
        },
        [&](xmlNode *node) {
            if (isElement(node, "li"))
                parents.pop_back();
        });
}

// The classic page writes the mark in front of every group's name; when every group starts with
// the same one of the marks offered, it is taken to be the mark. What follows it is trimmed as
// every imported name is, since a mark may be written with a space behind it.
void dropGroupMark(LinkTree &tree)
{
    QChar mark;
    for (const LinkNode *node : tree.nodes()) {
        if (!node->isGroup())
            continue;
        const QString &name = node->text();
        if (name.size() < 2 || !GroupMarks.contains(name.front()) || (!mark.isNull() && name.front() != mark))
            return;
        mark = name.front();
    }
    for (LinkNode *node : tree.nodes()) {
        if (node->isGroup())
            tree.setText(node, TextRules::trimmed(node->text().sliced(1)));
    }
}

} // namespace

ImportResult read(const QByteArray &bytes, const QString &fileName)
{
    const HtmlDocument::DocumentHandle doc = HtmlDocument::parseHtml(bytes, fileName);
    xmlNode *html = xmlDocGetRootElement(doc.get());
    ImportBuilder builder(fileName);
    if (xmlNode *nav = find(html, "nav")) {
        readHtml5(nav, builder);
    } else {
        xmlNode *body = find(html, "body");
        xmlNode *root = xmlFirstElementChild(body);
        while (root && !(isElement(root, "div") && !attribute(root, "class").isNull()))
            root = xmlNextElementSibling(root);
        if (!root)
            HtmlDocument::notFormat(fileName, QStringLiteral("Vormik が書き出したページ"));
        readClassic(root, builder);
        dropGroupMark(*builder.result().tree);
    }
    return builder.take();
}

} // namespace PageReader
