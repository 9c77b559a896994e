#include "project/NodeRecords.h"

#include <algorithm>
#include <cstring>

namespace ProjectFile {

namespace {

// The field an element of this name holds, or -1.
int fieldNamed(const char *localName)
{
    const auto *info = std::find_if(std::begin(NodeFields), std::end(NodeFields), [&](const NodeFieldInfo &field) {
        return std::strcmp(localName, field.elementName) == 0;
    });
    return info == std::end(NodeFields) ? -1 : static_cast<int>(info - std::begin(NodeFields));
}

} // namespace

void NodeCollector::elementStarted(const char *localName, long line)
{
    OpenElement element;
    const bool isRoot = m_open.empty(); // neither a Node nor a field of one
    if (!isRoot && std::strcmp(localName, "Node") == 0) {
        element.isNode = true;
        m_openNodes.push_back(records.size());
        records.push_back({line, {}, {}});
    } else if (const int field = isRoot ? -1 : fieldNamed(localName); field >= 0) {
        element.claimsFrom = m_claims.size();
        for (size_t owner : m_openNodes) {
            if (!records[owner].found[static_cast<size_t>(field)]) {
                records[owner].found[static_cast<size_t>(field)] = true;
                m_claims.push_back(owner);
            }
        }
        if (m_claims.size() > element.claimsFrom) {
            element.field = field;
            element.textFrom = m_text.size();
            ++m_openFields;
        }
    }
    m_open.push_back(element);
}

void NodeCollector::elementEnded()
{
    const OpenElement element = m_open.back();
    m_open.pop_back();
    if (element.isNode)
        m_openNodes.pop_back();
    if (element.field < 0)
        return;
    const auto field = static_cast<size_t>(element.field);
    const QString text = textOf(field, QByteArrayView(m_text).sliced(element.textFrom));
    for (size_t k = element.claimsFrom; k < m_claims.size(); ++k)
        records[m_claims[k]].fields[field] = text;
    m_claims.resize(element.claimsFrom);
    if (--m_openFields == 0)
        m_text.truncate(0);
}

void NodeCollector::textFound(const char *utf8, int length)
{
    if (m_openFields > 0)
        m_text.append(utf8, length);
}

// A value the same field of the Node before also had (a target, a class, often repeat from link
// to link) is that very string, shared rather than held once per node.
QString NodeCollector::textOf(size_t field, QByteArrayView utf8)
{
    Previous &previous = m_previous[field];
    if (utf8 != QByteArrayView(previous.utf8)) {
        previous.utf8.truncate(0);
        previous.utf8.append(utf8);
        previous.text = m_decoder(utf8);
    }
    return previous.text;
}

} // namespace ProjectFile
