// The page's body: group ids, each node's markup, the tree lines and the node lines.
#include "html/PageGenerator.h"

#include "text/TextRules.h"
#include "tree/LinkTree.h"

#include <QFileInfo>

namespace PageGenerator {

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

QString attribute(const char *name, const QString &value)
{
    if (value.isEmpty())
        return {};
    return QStringLiteral(" %1=\"%2\"").arg(QLatin1String(name), value);
}
} // namespace

int NumberGroups(LinkTree &tree, int deepestLevel, const QString &prefix)
{
    std::vector<int> counters(static_cast<size_t>(std::max(deepestLevel, 0)) + 1, 0);
    int groups = 0;
    for (LinkNode *node : tree.nodes()) {
        if (!node->isGroup())
            continue;
        const auto level = static_cast<size_t>(node->level());
        if (level >= counters.size())
            counters.resize(level + 1, 0);
        node->record().ObjID = prefix + QStringLiteral("%1-%2").arg(level).arg(counters[level]++);
        ++groups;
    }
    return groups;
}

void BuildNodeMarkup(LinkTree &tree, const ExportSettings &settings)
{
    const QString file = QFileInfo(settings.OutputFileName).fileName();
    for (LinkNode *node : tree.nodes()) {
        LinkAttr &record = node->record();
        if (!record.Group) {
            record.HtmlText = QStringLiteral("<a") + attribute("href", record.Href) + attribute("target", record.Target)
                + attribute("id", record.ObjID) + attribute("class", record.Class) + QLatin1Char('>') + node->text()
                + QStringLiteral("</a>");
        } else if (settings.FoldingScript) {
            record.HtmlText = QStringLiteral("<a href=\"%1\" onclick=\"return func('%2');\">%3%4</a>")
                                  .arg(file, record.ObjID, settings.GroupMark, node->text());
        } else {
            record.HtmlText = settings.GroupMark + node->text();
        }
    }
}

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

void writeNodeLines(const LinkTree &tree, const TSystemStruct &system,
                    const std::function<void(const QString &line)> &sink)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    if (nodes.empty()) {
        sink(QStringLiteral("<div>") + DivEnd);
        return;
    }
    const std::vector<int> ends = groupEnds(tree);
    const QString blockStart = QStringLiteral("<div class=\"%1\" id=\"").arg(system.GroupClassName);
    TreeLines treeLines;
    QString line;
    for (size_t row = 0; row < nodes.size(); ++row) {
        const LinkNode &node = *nodes[row];
        line = QStringLiteral("<div>");
        line += treeLines.prefixOf(node);
        line += node.record().HtmlText;
        line += DivEnd;
        if (node.isGroup())
            line += LineEnd + blockStart + node.record().ObjID + QStringLiteral("\">");
        for (int i = 0; i < ends[row]; ++i)
            line += DivEnd;
        sink(line);
    }
}

} // namespace PageGenerator
