// The HTML5 page as a document: read back with libxml2's HTML parser, its menu must be the tree,
// every value must come back as given, and each option must show where it belongs.
#include "Html5Pages.h"
#include "html/WrittenFiles.h"
#include "html/Html5Page.h"
#include "html/WebAddress.h"
#include "text/VormikError.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
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
        PageParts system;
        const PageGenerator::Page built = PageGenerator::buildPage(tree, page.settings, system);
        const Document doc = parse(built.bytes);
        QVERIFY(doc);
        const bool folding = page.settings.foldingScript;

        const QList<xmlNode *> navs = select(doc.get(), "//body/nav");
        QCOMPARE(navs.size(), 1);
        QCOMPARE(attribute(navs.first(), "class"), system.rootClassName);
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
                QCOMPARE(attribute(item, "class"), system.groupClassName);
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
                QCOMPARE(headingText(heading), page.settings.groupMark + Html5Page::shownName(node));
                QCOMPARE(text(select(doc.get(), "span[@dir='auto']", heading).value(0)), Html5Page::shownName(node));
                // The mark is kept from a screen reader, which reads the name alone.
                const QList<xmlNode *> marks = select(doc.get(), "*[@aria-hidden='true']", heading);
                QCOMPARE(marks.size(), page.settings.groupMark.isEmpty() ? 0 : 1);
                if (!marks.isEmpty())
                    QCOMPARE(text(marks.first()), page.settings.groupMark);
            } else {
                const QList<xmlNode *> anchors = select(doc.get(), "a", item);
                QCOMPARE(anchors.size(), 1);
                xmlNode *anchor = anchors.first();
                QCOMPARE(text(anchor), Html5Page::shownName(node));
                QCOMPARE(attribute(anchor, "dir"), QStringLiteral("auto"));
                const LinkAttr &record = node.record();
                // A target needs an address.
                const QString target = record.Href.isEmpty() ? QString() : record.Target;
                for (const auto &[name, value] : {std::pair{"href", WebAddress::serialised(record.Href)},
                                                   std::pair{"target", target},
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

    // A node without a name shows a stand-in, and the export names it in its report.
    void nodesWithoutNameGetAStandIn_data()
    {
        QTest::addColumn<bool>("group");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("href");
        QTest::addColumn<QString>("shown");
        const QString none = QStringLiteral("（名前なし）");
        QTest::newRow("named link") << false << QStringLiteral(" a ") << QStringLiteral("a.html") << QStringLiteral(" a ");
        QTest::newRow("link: its address") << false << QString() << QStringLiteral("a.html") << QStringLiteral("a.html");
        QTest::newRow("link of spaces") << false << QStringLiteral(" \t　") << QStringLiteral("a.html") << QStringLiteral("a.html");
        QTest::newRow("link without address") << false << QString() << QString() << none;
        QTest::newRow("named group") << true << QStringLiteral("g") << QString() << QStringLiteral("g");
        QTest::newRow("group") << true << QString() << QString() << none;
        QTest::newRow("group of spaces") << true << QStringLiteral("　") << QString() << none;
    }
    void nodesWithoutNameGetAStandIn()
    {
        QFETCH(bool, group);
        QFETCH(QString, name);
        QFETCH(QString, href);
        QFETCH(QString, shown);
        LinkTree tree;
        link(tree, nullptr, QStringLiteral("前"), QStringLiteral("x.html"));
        LinkNode *node = group ? tree.appendGroup(nullptr, name) : link(tree, nullptr, name, href);
        const PageGenerator::Page page = PageGenerator::buildPage(tree, html5Settings());
        const Document doc = parse(page.bytes);
        const QList<xmlNode *> items = select(doc.get(), "//nav//li");
        QCOMPARE(items.size(), 2);
        QCOMPARE(headingText(items.at(1)), (group ? QStringLiteral("□") : QString()) + shown);
        const bool standIn = shown != node->text();
        QCOMPARE(page.report.unnamedNodes, standIn ? std::vector<int>{1} : std::vector<int>{});
    }

    // A link is indexed under the page its address leads to as a browser reads it; links only the
    // browser can place share one key, and a link to a fragment of the page has none.
    void pageIndexReadsAddressesAsABrowser()
    {
        const QList<std::pair<QString, QString>> rows = {
            {QStringLiteral("faq.html"), QStringLiteral("faq.html")},
            {QStringLiteral("https://example.org/docs/faq.html?x#y"), QStringLiteral("faq.html#2")},
            {QStringLiteral(" faq.html\t"), QStringLiteral("faq.html#3")},
            {QStringLiteral("docs\\faq.html"), QStringLiteral("faq.html#4")},
            {QStringLiteral("http:faq.html"), QStringLiteral("faq.html#5")},
            {QStringLiteral("d\tocs/"), QStringLiteral("docs/")},
            {QStringLiteral("docs/index.html"), QStringLiteral("docs/#2")},
            {QStringLiteral("https://example.org"), QStringLiteral("/")},
            {QStringLiteral("index.html"), QStringLiteral("?")},
            {QStringLiteral("./"), QStringLiteral("?#2")},
            {QStringLiteral("?q"), QStringLiteral("?#3")},
            {QStringLiteral("%2e%2E/"), QStringLiteral("?#4")},
            {QStringLiteral("a%zz.html"), QStringLiteral("?#5")},
            {QStringLiteral("a%20b%3F.html"), QStringLiteral("a%20b%3F.html")},
            {QStringLiteral("a b%3F.html"), QStringLiteral("a%20b%3F.html#2")},
            {QStringLiteral("a%23b.html"), QStringLiteral("a%23b.html")},
            {QStringLiteral("%E9%A0%81.html"), QStringLiteral("頁.html")},
            {QStringLiteral(" #top"), QString()},
            {QString(), QString()},
        };
        LinkTree tree;
        tree.appendGroup(nullptr, QStringLiteral("faq.html"));
        for (const auto &row : rows)
            link(tree, nullptr, row.first, row.first);
        tree.nodes().at(1)->record().ObjID = QStringLiteral("to-x"); // so "to-" is taken
        const QString prefix = Html5Page::pageIndexPrefix(tree);
        QCOMPARE(prefix, QStringLiteral("to1-"));
        const std::vector<QString> ids = Html5Page::pageIndexIds(tree, prefix);
        QCOMPARE(ids.front(), QString());
        for (qsizetype i = 0; i < rows.size(); ++i)
            QCOMPARE(ids[size_t(i) + 1], rows[i].second.isEmpty() ? QString() : prefix + rows[i].second);
    }

    // An address is written as a browser serialises it after reading it, so it validates and still
    // leads where the browser would have gone.
    void addressesAreWrittenAsBrowsersRead_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("written");
        QTest::newRow("spaces, quote, tab, line break") << " a b\"\tc\n.html " << "a%20b%22c.html";
        QTest::newRow("backslash in the path") << "docs\\faq.html?a\\b" << "docs/faq.html?a%5Cb";
        QTest::newRow("backslash of another scheme") << "mailto:a\\b" << "mailto:a%5Cb";
        QTest::newRow("percent kept as written") << "a%zz%41.html" << "a%zz%41.html";
        QTest::newRow("second fragment mark") << "a.html#b#c<d>" << "a.html#b%23c%3Cd%3E";
        QTest::newRow("controls and a lone surrogate") << QStringLiteral("a\x01\x7f\u0085") + QChar(0xd800)
                                                       << "a%01%7F%C2%85%EF%BF%BD";
        QTest::newRow("brackets of a host only") << "http://[::1]/a[b]" << "http://[::1]/a%5Bb%5D";
    }
    void addressesAreWrittenAsBrowsersRead()
    {
        QFETCH(QString, address);
        QFETCH(QString, written);
        QCOMPARE(WebAddress::serialised(address), written);
    }

    // The page's title and language are the settings'; a language that is no tag is refused.
    void titleAndLanguage_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("shownTitle"); // empty: refused
        QTest::addColumn<QString>("shownLanguage");
        const QString fixed = QStringLiteral("Vormik - Kestrune");
        QTest::newRow("unset") << QString() << QString() << fixed << QStringLiteral("ja");
        QTest::newRow("spaces") << QStringLiteral("  ") << QStringLiteral(" ") << fixed << QStringLiteral("ja");
        QTest::newRow("both") << QStringLiteral(" 案内 <&> ") << QStringLiteral("en-GB") << QStringLiteral("案内 <&>")
                              << QStringLiteral("en-GB");
        QTest::newRow("script subtag") << QStringLiteral("t") << QStringLiteral("zh-Hant-TW") << QStringLiteral("t")
                                       << QStringLiteral("zh-Hant-TW");
        for (const char *bad : {"en US", "\"><script>", "ja-", "-ja", "toolonglanguage"})
            QTest::newRow(bad) << QStringLiteral("t") << QString::fromLatin1(bad) << QString() << QString();
    }
    void titleAndLanguage()
    {
        QFETCH(QString, title);
        QFETCH(QString, language);
        QFETCH(QString, shownTitle);
        QFETCH(QString, shownLanguage);
        ExportSettings settings = html5Settings();
        settings.pageTitle = title;
        settings.pageLanguage = language;
        LinkTree tree;
        buildWorkedExample(tree);
        if (shownTitle.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(VormikError, PageGenerator::buildPage(tree, settings));
            return;
        }
        const Document doc = parse(PageGenerator::buildPage(tree, settings).bytes);
        QCOMPARE(text(select(doc.get(), "/html/head/title").value(0)), shownTitle);
        QCOMPARE(attribute(xmlDocGetRootElement(doc.get()), "lang"), shownLanguage);
    }

    // With separate files the style and the script are files beside the page, replacing older
    // copies, holding what the inline page holds; inline, the report gives their hashes.
    void styleAndScriptBesideThePage()
    {
        QTemporaryDir dir;
        ExportSettings settings = html5Settings();
        settings.outputFileName = dir.filePath(QStringLiteral("my menu.html"));
        LinkTree tree;
        buildWorkedExample(tree);
        const PageGenerator::Page inlineResult = PageGenerator::buildPage(tree, settings);
        const Document inlinePage = parse(inlineResult.bytes);
        const QString style = text(select(inlinePage.get(), "//style").value(0));
        const QString script = text(select(inlinePage.get(), "//script").value(0));
        const auto hash = [](const QString &code) {
            return QString::fromLatin1(QCryptographicHash::hash(code.toUtf8(), QCryptographicHash::Sha256).toBase64());
        };
        QCOMPARE(inlineResult.report.policySources,
                 QStringList({QStringLiteral("style-src 'sha256-%1'").arg(hash(style)),
                              QStringLiteral("script-src 'sha256-%1'").arg(hash(script))}));

        QFile stale(dir.filePath(QStringLiteral("my menu.css")));
        QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write("old") == 3);
        stale.close();
        settings.separateFiles = true;
        QVERIFY(PageGenerator::exportPage(tree, settings).report.policySources.isEmpty());
        QFile page(settings.outputFileName);
        QVERIFY(page.open(QIODevice::ReadOnly));
        const Document doc = parse(page.readAll());
        QCOMPARE(select(doc.get(), "//style").size() + select(doc.get(), "//script[not(@src)]").size(), 0);
        QCOMPARE(attribute(select(doc.get(), "/html/head/link[@rel='stylesheet']").value(0), "href"),
                 QStringLiteral("my%20menu.css"));
        QCOMPARE(attribute(select(doc.get(), "//script").value(0), "src"), QStringLiteral("my%20menu.js"));
        for (const auto &[name, code] : {std::pair{"my menu.css", style}, std::pair{"my menu.js", script}}) {
            QFile file(dir.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(file.readAll()), QString::fromLatin1(WrittenFiles::companionMark()) + code);
        }
        // A page named like its own style file would be overwritten by it.
        settings.outputFileName = dir.filePath(QStringLiteral("menu.css"));
        QVERIFY_THROWS_EXCEPTION(VormikError, PageGenerator::exportPage(tree, settings));
        QVERIFY(!QFile::exists(settings.outputFileName));
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
        QCOMPARE(attribute(xmlDocGetRootElement(doc.get()), "lang"), settings.pageLanguage);
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
        // With separate files the style is a link to its file (its rules are checked where it is written).
        const QList<xmlNode *> styles =
            select(doc.get(), settings.separateFiles ? "/html/head/link[@rel='stylesheet']" : "//style");
        QCOMPARE(styles.size(), settings.defaultStyleSheet ? 1 : 0);
        if (settings.defaultStyleSheet && !settings.separateFiles)
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
