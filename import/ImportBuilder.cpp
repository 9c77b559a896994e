#include "import/ImportBuilder.h"

#include "import/HtmlDocument.h"
#include "text/TextRules.h"
#include "tree/LinkTree.h"

namespace {
QString value(const QString &text)
{
    return TextRules::trimmed(TextRules::withoutLineBreaks(text));
}
} // namespace

ImportBuilder::ImportBuilder(QString fileName) : m_fileName(std::move(fileName))
{
    m_result.tree = std::make_unique<LinkTree>();
}

void ImportBuilder::checkDepth(const LinkNode *parent) const
{
    if (parent && parent->level() + 1 >= Import::MaxDepth)
        HtmlDocument::tooDeep(m_fileName);
}

LinkNode *ImportBuilder::addGroup(LinkNode *parent, const QString &name)
{
    checkDepth(parent);
    ++m_result.groups;
    LinkNode *node = m_result.tree->appendGroup(parent, value(name));
    m_result.screening.look(node);
    return node;
}

LinkNode *ImportBuilder::addLink(LinkNode *parent, const QString &name, const QString &href)
{
    checkDepth(parent);
    ++m_result.links;
    LinkNode *node = m_result.tree->appendLink(parent, value(name));
    node->record().Href = value(href);
    m_result.screening.look(node);
    return node;
}

void ImportBuilder::setTarget(LinkNode *node, const QString &text)
{
    node->record().Target = value(text);
}

void ImportBuilder::setClass(LinkNode *node, const QString &text)
{
    node->record().Class = value(text);
}

void ImportBuilder::setId(LinkNode *node, const QString &text)
{
    node->record().ObjID = value(text);
}

void ImportBuilder::skip(const QString &what, int times)
{
    m_result.skipped[what] += times;
}

ImportResult ImportBuilder::take()
{
    LinkTree &tree = *m_result.tree;
    for (LinkNode *node : tree.nodes()) {
        if (!node->isGroup() && node->childCount() > 0 && node->record().Href.isEmpty()) {
            node->record().Group = true;
            tree.setImage(node, GroupImage);
            --m_result.links;
            ++m_result.groups;
        }
    }
    m_result.screening.leaveOutScriptAddresses();
    return std::move(m_result);
}
