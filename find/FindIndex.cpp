#include "find/FindIndex.h"

#include "find/FindText.h"
#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

#include <QStringMatcher>

#include <algorithm>

namespace {
// Separates fields and nodes in the index; a find text never holds it, so no match spans two.
constexpr QChar Separator(0x0001);
} // namespace

int FindMatches::indexOfRow(int row) const
{
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), row);
    return it != m_rows.end() && *it == row ? static_cast<int>(it - m_rows.begin()) : -1;
}

int FindMatches::nextAfterRow(int row) const
{
    if (m_rows.empty())
        return -1;
    const auto it = std::upper_bound(m_rows.begin(), m_rows.end(), row);
    return it == m_rows.end() ? 0 : static_cast<int>(it - m_rows.begin());
}

int FindMatches::previousBeforeRow(int row) const
{
    if (m_rows.empty())
        return -1;
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), row);
    return it == m_rows.begin() ? count() - 1 : static_cast<int>(it - m_rows.begin()) - 1;
}

QString FindIndex::foldedFields(const LinkNode &node)
{
    QString text;
    for (const NodeFieldInfo &field : NodeFields) {
        if (field.searched) {
            text += FindText::folded(fieldValue(node, field.field));
            text += Separator;
        }
    }
    return text;
}

void FindIndex::rebuild() const
{
    m_folded.clear();
    m_ends.clear();
    m_ends.reserve(static_cast<size_t>(m_tree.count()));
    for (const LinkNode *node : m_tree.nodes()) {
        m_folded += foldedFields(*node);
        m_ends.push_back(m_folded.size());
    }
    m_valid = true;
}

void FindIndex::update(int row)
{
    if (!m_valid)
        return; // the next find builds it whole
    const auto at = static_cast<size_t>(row);
    if (row < 0 || at >= m_ends.size() || m_ends.size() != m_tree.nodes().size()) {
        m_valid = false;
        return;
    }
    const QString text = foldedFields(*m_tree.nodes()[at]);
    const qsizetype start = at == 0 ? 0 : m_ends[at - 1];
    const qsizetype shift = text.size() - (m_ends[at] - start);
    m_folded.replace(start, m_ends[at] - start, text);
    if (shift != 0) {
        for (size_t i = at; i < m_ends.size(); ++i)
            m_ends[i] += shift;
    }
}

FindMatches FindIndex::matches(const QString &text) const
{
    QString wanted = FindText::folded(text);
    wanted.remove(Separator);
    if (wanted.isEmpty())
        return {};
    if (!m_valid)
        rebuild();
    const QStringMatcher matcher(wanted);
    std::vector<const LinkNode *> nodes;
    std::vector<int> rows;
    const std::vector<LinkNode *> &order = m_tree.nodes();
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = matcher.indexIn(m_folded, from);
        if (at < 0)
            break;
        const auto end = std::upper_bound(m_ends.begin(), m_ends.end(), at);
        const auto row = static_cast<int>(end - m_ends.begin());
        nodes.push_back(order[static_cast<size_t>(row)]);
        rows.push_back(row);
        from = *end; // one match per node
    }
    return FindMatches(std::move(nodes), std::move(rows));
}
