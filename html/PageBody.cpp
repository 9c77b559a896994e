// The page's body: group ids, each node's markup, the tree lines and the node lines.
#include "html/ClassicPage.h"
#include "html/SharedMarkup.h"

#include "html/ActiveContent.h"
#include "text/TextRules.h"
#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace PageGenerator {

void appendAttribute(QString &markup, const char *name, const QString &escapedValue)
{
    markup += QLatin1Char(' ');
    markup += QLatin1String(name);
    markup += QLatin1String("=\"");
    markup += escapedValue;
    markup += QLatin1Char('"');
}

QString linkAttributes(const LinkNode &link, QString (*escaped)(const QString &), bool targetNeedsAddress,
                       QString (*address)(const QString &))
{
    const bool noTarget = targetNeedsAddress && link.record().Href.isEmpty();
    QString attributes;
    for (const NodeFieldInfo &field : NodeFields) {
        if (noTarget && field.field == NodeField::Target)
            continue;
        const QString &value = field.linkAttribute ? fieldValue(link, field.field) : QString();
        if (value.isEmpty())
            continue;
        if (address && field.field == NodeField::Href)
            appendAttribute(attributes, field.linkAttribute, escaped(address(value)));
        else
            appendAttribute(attributes, field.linkAttribute, escaped(value));
    }
    return attributes;
}

std::vector<QString> numberGroups(const LinkTree &tree, const QString &prefix)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    std::vector<QString> ids(nodes.size());
    std::vector<int> counters(static_cast<size_t>(tree.deepestLevel()) + 1, 0);
    for (size_t row = 0; row < nodes.size(); ++row) {
        if (nodes[row]->isGroup()) {
            const auto level = static_cast<size_t>(nodes[row]->level());
            ids[row] = prefix + QString::number(level) + QLatin1Char('-') + QString::number(counters[level]++);
        }
    }
    return ids;
}

void checkIds(const LinkTree &tree, const std::vector<QString> &groupIds, PageReport &report)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    QSet<QString> generated;
    for (const QString &id : groupIds) {
        if (!id.isEmpty())
            generated.insert(id);
    }
    QSet<QString> seen;
    for (size_t row = 0; row < nodes.size(); ++row) {
        const QString &id = nodes[row]->record().ObjID;
        // Only a link's anchor carries its id.
        if (nodes[row]->isGroup() || id.isEmpty())
            continue;
        const int index = static_cast<int>(row);
        if (std::any_of(id.begin(), id.end(), [](QChar c) {
                return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
            }))
            report.spacedIds.push_back(index);
        if (generated.contains(id))
            report.groupIdClashes.push_back(index);
        else if (seen.contains(id))
            report.sharedIds.push_back(index);
        seen.insert(id);
    }
}

} // namespace PageGenerator

namespace ClassicPage {

namespace {
using TextRules::LineEnd;
using TextRules::FullWidthSpace;
const QChar LastBranch(0x2514);   // └
const QChar Branch(0x251C);       // ├
const QChar Vertical(0x2502);     // │
const QString DivEnd = QStringLiteral("</div>");

bool isLastChild(const LinkNode &node)
{
    const LinkNode *parent = node.parent();
    return parent && node.row() == parent->childCount() - 1;
}

// The classic page writes an attribute's value with its '&' as typed, since stored pages rely on
// that (an address's "&amp;" typed by hand); a quote would end the value, a '<' start markup.
QString attributeText(const QString &value)
{
    if (!value.contains(u'"') && !value.contains(u'<'))
        return value;
    QString text = value;
    return text.replace(u'"', QStringLiteral("&quot;")).replace(u'<', QStringLiteral("&lt;"));
}
} // namespace

QString TreeLines::prefixOf(const LinkNode &node)
{
    const int level = node.level();
    if (level == 0) {
        m_continuation.clear();
        return {};
    }
    // Only a group joins its children with lines; children a project file put under a link
    // stand in blank space.
    const bool joined = node.parent()->isGroup();
    const bool last = isLastChild(node);
    m_continuation.truncate(level - 1);
    QString prefix = m_continuation;
    prefix += !joined ? FullWidthSpace : last ? LastBranch : Branch;
    m_continuation += joined && !last ? Vertical : FullWidthSpace;
    return prefix;
}

std::vector<int> groupEnds(const LinkTree &tree)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    std::vector<int> ends(nodes.size(), 0);
    std::vector<int> openLevels; // levels of the groups whose blocks are still open
    for (size_t row = 0; row < nodes.size(); ++row) {
        if (nodes[row]->isGroup())
            openLevels.push_back(nodes[row]->level());
        // A block stays open only while the next line lies deeper than its group.
        const int nextLevel = row + 1 < nodes.size() ? nodes[row + 1]->level() : -1;
        while (!openLevels.empty() && openLevels.back() >= nextLevel) {
            openLevels.pop_back();
            ++ends[row];
        }
    }
    return ends;
}

std::vector<QString> buildNodeMarkup(const LinkTree &tree, const ExportSettings &settings,
                                     const std::vector<QString> &groupIds, std::vector<int> *textNodes)
{
    const QString file = attributeText(QFileInfo(settings.outputFileName).fileName());
    const std::vector<LinkNode *> &nodes = tree.nodes();
    std::vector<QString> markup(nodes.size());
    for (size_t row = 0; row < nodes.size(); ++row) {
        const LinkNode *node = nodes[row];
        const LinkAttr &record = node->record();
        // A name is markup, as the user wrote it, unless it would run or load something.
        const bool active = ActiveContent::of(node->text()) == ActiveContent::Kind::Active;
        const QString name = active ? node->text().toHtmlEscaped() : node->text();
        if (active && textNodes)
            textNodes->push_back(static_cast<int>(row));
        if (!record.Group) {
            markup[row] = QStringLiteral("<a") + PageGenerator::linkAttributes(*node, attributeText) + QLatin1Char('>') + name
                + QStringLiteral("</a>");
        } else if (settings.foldingScript) {
            markup[row] = QStringLiteral("<a href=\"%1\" onclick=\"return func('%2');\">%3%4</a>")
                              .arg(file, groupIds[row], settings.groupMark, name);
        } else {
            markup[row] = settings.groupMark + name;
        }
    }
    return markup;
}

void writeNodeLines(const LinkTree &tree, const PageParts &system, const PageGenerator::Page &page,
                    const std::function<void(const QString &line)> &sink)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    if (nodes.empty()) {
        sink(QStringLiteral("<div>") + DivEnd);
        return;
    }
    const std::vector<int> ends = groupEnds(tree);
    const QString blockStart = QStringLiteral("<div class=\"%1\" id=\"").arg(system.groupClassName);
    TreeLines treeLines;
    QString line;
    for (size_t row = 0; row < nodes.size(); ++row) {
        const LinkNode &node = *nodes[row];
        line = QStringLiteral("<div>");
        line += treeLines.prefixOf(node);
        line += page.markup[row];
        line += DivEnd;
        if (node.isGroup())
            line += LineEnd + blockStart + page.groupIds[row] + QStringLiteral("\">");
        for (int i = 0; i < ends[row]; ++i)
            line += DivEnd;
        sink(line);
    }
}

} // namespace ClassicPage
