#include "import/FormatReaders.h"

#include "import/HtmlDocument.h"
#include "import/ImportBuilder.h"
#include "tree/LinkTree.h"

#include <iterator>
#include <vector>

namespace OpmlReader {

bool recognises(const QByteArray &bytes)
{
    // The first element, past the XML declaration, comments, processing instructions and any
    // document type declaration (which the reader then refuses), however long they are.
    const QByteArrayView text(bytes);
    qsizetype at = 0;
    for (;;) {
        while (at < text.size() && QChar::isSpace(static_cast<unsigned char>(text[at])))
            ++at;
        const QByteArrayView rest = text.sliced(at);
        const char *end = rest.startsWith("<!--") ? "-->" : rest.startsWith("<?") ? "?>" : rest.startsWith("<!") ? ">" : nullptr;
        if (!end)
            break;
        // A document type declaration's internal subset holds ">" of its own.
        const qsizetype subset = rest.startsWith("<!D") ? rest.indexOf('[') : -1;
        const qsizetype from = subset >= 0 && subset < rest.indexOf('>') ? text.indexOf(']', at + subset) : at + 2;
        const qsizetype found = from < 0 ? -1 : text.indexOf(end, from);
        if (found < 0)
            return false;
        at = found + qstrlen(end);
    }
    const QByteArrayView rest = text.sliced(at);
    return rest.startsWith("<opml") && rest.size() > 5 && (QChar::isSpace(static_cast<unsigned char>(rest[5])) || rest[5] == '>' || rest[5] == '/');
}

namespace {

// The outlines in the body of the opml element, read as the parser meets them.
class Outlines : public HtmlDocument::XmlEvents
{
public:
    explicit Outlines(ImportBuilder &builder) : m_builder(builder) {}

    void start(const xmlChar *name, const xmlChar **attributes, int count) override
    {
        const Kind parent = m_open.empty() ? Kind::None : m_open.back().kind;
        Element element{Kind::Other, nullptr};
        if (parent == Kind::None && xmlStrcasecmp(name, BAD_CAST "opml") == 0) {
            element.kind = Kind::Opml;
        } else if (parent == Kind::Opml && xmlStrcasecmp(name, BAD_CAST "body") == 0) {
            element.kind = Kind::Body;
            m_body = true;
        } else if ((parent == Kind::Body || parent == Kind::Outline) && xmlStrcasecmp(name, BAD_CAST "outline") == 0) {
            element = {Kind::Outline, outline(parent == Kind::Outline ? m_open.back().node : nullptr, attributes, count)};
        }
        m_open.push_back(element);
    }
    void end() override { m_open.pop_back(); }
    bool sawBody() const { return m_body; }

private:
    enum class Kind { None, Opml, Body, Outline, Other };
    struct Element
    {
        Kind kind;
        LinkNode *node;
    };

    LinkNode *outline(LinkNode *parent, const xmlChar **attributes, int count)
    {
        // The attributes read, each looked for once: each field's own, then those other programs
        // write for the name and the address.
        enum : size_t { Title = NodeFieldCount, HtmlUrl, XmlUrl, NameCount };
        static constexpr const char *Others[] = {"title", "htmlUrl", "xmlUrl"};
        const auto nameOf = [](size_t n) { return n < NodeFieldCount ? NodeFields[n].opmlAttribute : Others[n - Title]; };
        const xmlChar **found[NameCount] = {};
        for (int i = 0; i < count; ++i) {
            const xmlChar **entry = attributes + 5 * i;
            for (size_t n = 0; n < NameCount; ++n) {
                if (!found[n] && nameOf(n) && xmlStrcasecmp(entry[0], BAD_CAST nameOf(n)) == 0)
                    found[n] = entry;
            }
        }
        const auto value = [&](size_t n) { return found[n] ? HtmlDocument::attributeValue(found[n]) : QString(); };
        const auto field = [](NodeField f) { return static_cast<size_t>(f); };
        QString name = value(field(NodeField::Text));
        if (name.isEmpty())
            name = value(Title);
        // A feed is a link to its site, or to the feed itself when that is all it names.
        const size_t url = field(NodeField::Href);
        const size_t address = found[url] ? url : found[HtmlUrl] ? HtmlUrl : found[XmlUrl] ? XmlUrl : NameCount;
        LinkNode *made = address == NameCount ? m_builder.addGroup(parent, name)
                                              : m_builder.addLink(parent, name, value(address));
        m_builder.setDetails(made, [&](const NodeFieldInfo &info) { return value(field(info.field)); });
        return made;
    }

    ImportBuilder &m_builder;
    std::vector<Element> m_open; // no deeper than the parser lets elements nest
    bool m_body = false;
};

} // namespace

ImportResult read(const QByteArray &start, const std::function<QByteArray()> &more, const QString &fileName)
{
    ImportBuilder builder(fileName);
    Outlines outlines(builder);
    HtmlDocument::readXml(start, more, fileName, outlines);
    if (!outlines.sawBody())
        HtmlDocument::notFormat(fileName, QStringLiteral("OPML"));
    return builder.take();
}

} // namespace OpmlReader
