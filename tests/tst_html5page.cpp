// The HTML5 page as a document: read back with libxml2's HTML parser, its menu must be the tree,
// every value must come back as given, and each option must show where it belongs.
#include "Html5Pages.h"

#include <QStringDecoder>
#include <QTest>

#include <libxml/HTMLparser.h>
#include <libxml/xpath.h>

#include <memory>

Q_DECLARE_METATYPE(Html5Case)

namespace {

struct DocFree
{
    void operator()(xmlDoc *doc) const { xmlFreeDoc(doc); }
};
using Document = std::unique_ptr<xmlDoc, DocFree>;

Document parse(const QByteArray &page)
{
    return Document(htmlReadMemory(page.constData(), static_cast<int>(page.size()), "page.html", "UTF-8",
                                   HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING));
}

// The elements `path` selects, from `context` (the whole document when null), in document order.
QList<xmlNode *> select(xmlDoc *doc, const char *path, xmlNode *context = nullptr)
{
    QList<xmlNode *> found;
    xmlXPathContext *xpath = xmlXPathNewContext(doc);
    xpath->node = context ? context : xmlDocGetRootElement(doc);
    if (xmlXPathObject *result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar *>(path), xpath)) {
        if (result->nodesetval) {
            for (int i = 0; i < result->nodesetval->nodeNr; ++i)
                found << result->nodesetval->nodeTab[i];
        }
        xmlXPathFreeObject(result);
    }
    xmlXPathFreeContext(xpath);
    return found;
}

QString text(xmlNode *node)
{
    xmlChar *content = xmlNodeGetContent(node);
    const QString result = QString::fromUtf8(reinterpret_cast<const char *>(content));
    xmlFree(content);
    return result;
}

// The attribute's value; null when the element has no such attribute.
QString attribute(xmlNode *node, const char *name)
{
    xmlChar *value = xmlGetProp(node, reinterpret_cast<const xmlChar *>(name));
    if (!value)
        return {};
    const QString result = QString::fromUtf8(reinterpret_cast<const char *>(value));
    xmlFree(value);
    return result.isNull() ? QStringLiteral("") : result;
}

// The text an element shows before its nested list.
QString headingText(xmlNode *element)
{
    QString result;
    for (xmlNode *child = element->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && xmlStrEqual(child->name, BAD_CAST "ul"))
            break;
        result += text(child);
    }
    return result;
}

void addCaseRows()
{
    QTest::addColumn<Html5Case>("page");
    for (const Html5Case &page : html5Cases())
        QTest::newRow(qPrintable(page.name)) << page;
}

} // namespace

class TestHtml5Page : public QObject
{
    Q_OBJECT

private slots:
    // One item per node in absolute order, each inside its parent's item; groups carry the group
    // class and their id, fold as closed details when the script is on, and show mark and name;
    // links carry each set field, exactly as given.
    void menuIsTheTree_data() { addCaseRows(); }
    void menuIsTheTree()
    {
        QFETCH(Html5Case, page);
        LinkTree tree;
        page.build(tree);
        page.settings.outputFileName = page.name + QStringLiteral(".html");
        TSystemStruct system;
        const PageGenerator::Page built = PageGenerator::buildPage(tree, page.settings, system);
        const Document doc = parse(built.bytes);
        QVERIFY(doc);
        const bool folding = page.settings.foldingScript;

        const QList<xmlNode *> navs = select(doc.get(), "//body/nav");
        QCOMPARE(navs.size(), 1);
        QCOMPARE(attribute(navs.first(), "class"), system.RootClassName);
        QVERIFY(!attribute(navs.first(), "aria-label").isEmpty());

        const std::vector<LinkNode *> &nodes = tree.nodes();
        const QList<xmlNode *> items = select(doc.get(), "//nav//li");
        QCOMPARE(items.size(), qsizetype(nodes.size()));
        for (size_t i = 0; i < nodes.size(); ++i) {
            const LinkNode &node = *nodes[i];
            xmlNode *item = items.at(qsizetype(i));
            const QList<xmlNode *> above = select(doc.get(), "ancestor::li[1]", item);
            xmlNode *expectedAbove = node.parent() ? items.at(tree.absoluteIndex(node.parent())) : nullptr;
            QCOMPARE(above.value(0), expectedAbove);

            xmlNode *holder = item; // the element that holds the node's heading and its children
            if (node.isGroup()) {
                QCOMPARE(attribute(item, "class"), system.GroupClassName);
                QCOMPARE(attribute(item, "id"), built.groupIds.at(i));
                const QList<xmlNode *> details = select(doc.get(), "details", item);
                QCOMPARE(details.size(), folding ? 1 : 0);
                xmlNode *heading = item;
                if (folding) {
                    holder = details.first();
                    QVERIFY(attribute(holder, "open").isNull());
                    const QList<xmlNode *> summary = select(doc.get(), "*[1][self::summary]", holder);
                    QCOMPARE(summary.size(), 1);
                    heading = summary.first();
                }
                QCOMPARE(headingText(heading), page.settings.groupMark + node.text());
                // The mark is kept from a screen reader, which reads the name alone.
                const QList<xmlNode *> marks = select(doc.get(), "*[@aria-hidden='true']", heading);
                QCOMPARE(marks.size(), page.settings.groupMark.isEmpty() ? 0 : 1);
                if (!marks.isEmpty())
                    QCOMPARE(text(marks.first()), page.settings.groupMark);
            } else {
                const QList<xmlNode *> anchors = select(doc.get(), "a", item);
                QCOMPARE(anchors.size(), 1);
                xmlNode *anchor = anchors.first();
                QCOMPARE(text(anchor), node.text());
                const LinkAttr &record = node.record();
                for (const auto &[name, value] : {std::pair{"href", record.Href}, std::pair{"target", record.Target},
                                                   std::pair{"id", record.ObjID}, std::pair{"class", record.Class}}) {
                    if (value.isEmpty())
                        QVERIFY2(!xmlHasProp(anchor, BAD_CAST name), name);
                    else
                        QCOMPARE(attribute(anchor, name), value);
                }
            }
            QCOMPARE(select(doc.get(), "ul", holder).size(), node.childCount() > 0 ? 1 : 0);
        }
    }

    // Each of the four options shows in its own place and nowhere else.
    void optionsShowWhereTheyBelong_data() { addCaseRows(); }
    void optionsShowWhereTheyBelong()
    {
        QFETCH(Html5Case, page);
        LinkTree tree;
        page.build(tree);
        const ExportSettings &settings = page.settings;
        const Document doc = parse(PageGenerator::buildPage(tree, settings).bytes);
        QVERIFY(doc);
        QCOMPARE(attribute(xmlDocGetRootElement(doc.get()), "lang"), QStringLiteral("ja"));
        QCOMPARE(select(doc.get(), "/html/head/title").size(), 1);
        QCOMPARE(select(doc.get(), "/html/head/meta[@name='viewport']").size(), 1);

        QCOMPARE(select(doc.get(), "//script").size(), settings.foldingScript ? 1 : 0);
        if (!settings.foldingScript)
            QCOMPARE(select(doc.get(), "//details | //summary").size(), 0);
        QCOMPARE(select(doc.get(), "/html/head/meta[@name='generator']").size(), settings.softwareInfo ? 1 : 0);
        const QList<xmlNode *> footers = select(doc.get(), "/html/body/footer");
        QCOMPARE(footers.size(), settings.authorLink ? 1 : 0);
        if (settings.authorLink && !QStringLiteral(VORMIK_HOMEPAGE).isEmpty())
            QCOMPARE(select(doc.get(), ".//a[starts-with(@href, 'https://')]", footers.first()).size(), 1);
        const QList<xmlNode *> styles = select(doc.get(), "//style");
        QCOMPARE(styles.size(), settings.defaultStyleSheet ? 1 : 0);
        if (settings.defaultStyleSheet)
            QCOMPARE(text(styles.first()).contains(QStringLiteral("font-family")), !settings.fontName.isEmpty());
    }

    // UTF-8 without a byte-order mark, declared so, every character as itself.
    void utf8WithEveryCharacterAsItself()
    {
        Html5Case page;
        for (const Html5Case &each : html5Cases()) {
            if (each.name == QStringLiteral("special"))
                page = each;
        }
        LinkTree tree;
        page.build(tree);
        const QByteArray bytes = PageGenerator::buildPage(tree, page.settings).bytes;
        QVERIFY(bytes.startsWith("<!DOCTYPE html>")); // no byte-order mark
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString decoded = decoder.decode(bytes);
        QVERIFY(!decoder.hasError());
        QVERIFY(!bytes.contains("&#"));
        for (const QString &character : {QStringLiteral("😀"), QStringLiteral("𠮷"), QStringLiteral("¥"), QStringLiteral("‾")})
            QVERIFY2(decoded.contains(character), qPrintable(character));
        const Document doc = parse(bytes);
        QCOMPARE(attribute(select(doc.get(), "/html/head/meta[@charset]").value(0), "charset").toLower(),
                 QStringLiteral("utf-8"));
    }
};

QTEST_GUILESS_MAIN(TestHtml5Page)
#include "tst_html5page.moc"
