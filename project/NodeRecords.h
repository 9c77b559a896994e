#pragma once
// The `Node` elements of a project file, gathered while the parser meets them.

#include "project/usexml.h"
#include "tree/NodeFields.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <bitset>
#include <vector>

namespace ProjectFile {

// One `Node` element as read: the line it starts on, and the text of the first element of each
// field's name below it, at any depth; both indexed by NodeField.
struct NodeRecord
{
    long line = 0;
    std::array<QString, NodeFieldCount> fields;
    std::bitset<NodeFieldCount> found;

    const QString &operator[](NodeField field) const { return fields[static_cast<size_t>(field)]; }
    bool has(NodeField field) const { return found[static_cast<size_t>(field)]; }
};

// Gathers every `Node` element below the root, in document order; the document itself is never
// kept. A field element belongs to each `Node` around it that has no element of that name yet;
// its text is all the text below it, kept once the element ends.
class NodeCollector final : public usexml::XmlEvents
{
public:
    std::vector<NodeRecord> records;

    void elementStarted(const char *localName, long line) override;
    void elementEnded() override;
    void textFound(const char *utf8, int length) override;

private:
    QString textOf(size_t field, QByteArrayView utf8);

    struct OpenElement
    {
        bool isNode = false;
        int field = -1;          // the field it holds for some Node, or -1
        size_t claimsFrom = 0;   // the Nodes it holds the field for are m_claims from here on
        qsizetype textFrom = 0;  // its text is m_text from here on
    };
    std::vector<OpenElement> m_open;  // the elements open now, the root first
    std::vector<size_t> m_openNodes;  // the records of the Node elements open now
    std::vector<size_t> m_claims;     // the records each open field element fills
    QByteArray m_text;                // the text met since the outermost open field element began
    int m_openFields = 0;

    // Each field's last value, for the next Node to share.
    struct Previous
    {
        QByteArray utf8;
        QString text;
    };
    std::array<Previous, NodeFieldCount> m_previous;
    usexml::XmlTextDecoder m_decoder;
};

} // namespace ProjectFile
