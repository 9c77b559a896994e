#include "tree/UsedValues.h"

#include "text/TextRules.h"
#include "tree/LinkTree.h"

#include <algorithm>
#include <array>
#include <vector>

namespace UsedValues {

namespace {

// Values that TextRules::same calls equal fold alike: it compares code point by code point after
// simple case folding, and so does this.
size_t foldedHash(const QString &value)
{
    size_t hash = 1469598103934665603ull;
    const qsizetype size = value.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t point = value.at(i).unicode();
        if (QChar::isHighSurrogate(point) && i + 1 < size && value.at(i + 1).isLowSurrogate())
            point = QChar::surrogateToUcs4(char16_t(point), value.at(++i).unicode());
        hash = (hash ^ QChar::toCaseFolded(point)) * 1099511628211ull;
    }
    return hash;
}

// The different values met so far, as an open-addressing table of (folded hash, node index)
// slots. At eight bytes a slot the table for 100,000 different classes stays within the
// processor's cache, and the slot a value will need can be asked for from memory before the walk
// gets there. A string is read again only when the hashes agree.
class ValueTable
{
public:
    explicit ValueTable(size_t values)
        : m_slots(std::max<size_t>(16, values + values / 3))
    {
    }

    void prefetch(size_t hash) const { __builtin_prefetch(&m_slots[home(hash)]); }

    // Adds the value at `index` unless one that TextRules::same calls equal is there already;
    // true when it was added. `valueAt` gives the value at an index.
    template<typename ValueAt>
    bool insert(size_t hash, quint32 index, const ValueAt &valueAt)
    {
        const auto tag = quint32(hash);
        for (size_t at = home(hash);; at = at + 1 == m_slots.size() ? 0 : at + 1) {
            Slot &slot = m_slots[at];
            if (slot.indexPlusOne == 0) {
                slot = {tag, index + 1};
                return true;
            }
            if (slot.tag == tag && TextRules::same(valueAt(slot.indexPlusOne - 1), valueAt(index)))
                return false;
        }
    }

private:
    struct Slot
    {
        quint32 tag;
        quint32 indexPlusOne; // 0: empty
    };

    // The high bits of a Fibonacci-mixed hash, scaled to the table without a division.
    size_t home(size_t hash) const
    {
        const quint64 mixed = (quint64(hash) * 0x9E3779B97F4A7C15ull) >> 32;
        return size_t((mixed * m_slots.size()) >> 32);
    }

    std::vector<Slot> m_slots;
};

} // namespace

bool idInUse(const LinkTree &tree, const QString &id, const LinkNode *except)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    for (size_t i = 0; i < nodes.size(); ++i) {
        // As in classes(): the nodes and their IDs are asked for ahead of the walk.
        if (i + 16 < nodes.size())
            __builtin_prefetch(&nodes[i + 16]->record().ObjID);
        if (i + 8 < nodes.size())
            __builtin_prefetch(nodes[i + 8]->record().ObjID.constData());
        if (nodes[i] != except && TextRules::same(nodes[i]->record().ObjID, id))
            return true;
    }
    return false;
}

QStringList classes(const LinkTree &tree)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    const auto classAt = [&nodes](size_t i) -> const QString & { return nodes[i]->record().Class; };
    ValueTable known(nodes.size());

    // Each value is hashed a few nodes before it is looked up, so that its slot is on its way
    // from memory; the nodes and their texts are asked for further ahead still. In a large tree
    // each of these would otherwise be a wait.
    constexpr size_t Ahead = 8;
    std::array<size_t, Ahead> hashes{};
    const auto hashAhead = [&](size_t i) {
        if (i >= nodes.size())
            return;
        if (i + Ahead + 8 < nodes.size())
            __builtin_prefetch(&classAt(i + Ahead + 8));
        if (i + Ahead < nodes.size())
            __builtin_prefetch(classAt(i + Ahead).constData());
        hashes[i % Ahead] = foldedHash(classAt(i));
        known.prefetch(hashes[i % Ahead]);
    };
    for (size_t i = 0; i < Ahead; ++i)
        hashAhead(i);

    QStringList found;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const size_t hash = hashes[i % Ahead];
        hashAhead(i + Ahead);
        const QString &value = classAt(i);
        if (!value.isEmpty() && known.insert(hash, quint32(i), classAt))
            found.append(value);
    }
    return found;
}

} // namespace UsedValues
