// The importers: browsers' bookmark files, OPML, and every file Vormik writes read back into the
// tree it was written from; hostile files end in a clear message.
#include "PageTrees.h"
#include "TreeSnapshot.h"

#include "export/DataExport.h"
#include "html/PageGenerator.h"
#include "html/WebAddress.h"
#include "import/ImportFile.h"
#include "text/VormikError.h"

#include <QFile>
#include <QtTest>

using Skipped = std::map<QString, int>;
Q_DECLARE_METATYPE(Skipped)

namespace {

QByteArray readData(const QString &name)
{
    QFile file(QStringLiteral(VORMIK_TEST_DATA "/import/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test file %s", qPrintable(name));
    return file.readAll();
}

// Names and addresses a page, a bookmark file, OPML and JSON must all carry through.
void buildMixedTree(LinkTree &tree)
{
    buildWorkedExample(tree);
    LinkNode *tools = tree.appendGroup(nullptr, QStringLiteral("道具 😀"));
    link(tree, tools, QStringLiteral("ｶﾀｶﾅ R&D"), QStringLiteral("https://example.jp/?a=1&b=2#top"),
         QStringLiteral("main"), QStringLiteral("kana"), QStringLiteral("ext new"));
    tree.appendGroup(tools, QStringLiteral("空のグループ"));
    link(tree, tools, QStringLiteral("□ で始まるリンク"));
}

// Text that is markup anywhere it is not escaped; the classic page writes names as markup, so only
// the other formats carry it.
void buildMarkupTree(LinkTree &tree)
{
    LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("<b>\"太字\"</b>"));
    LinkNode *holder = link(tree, group, QStringLiteral("<script>alert('x')</script>"), QStringLiteral("a.html?x=\"1\"&y=<2>"));
    // A project file may put nodes under a link; only the classic page cannot show it.
    link(tree, holder, QStringLiteral("&amp; under a link"), QStringLiteral("b.html"), QStringLiteral("\"t\"<&>"),
         QStringLiteral("\"i\"<&>"), QStringLiteral("\"c\"<&>"));
}

// Links holding links and groups at several levels, a name that would run written as text, and
// a group under a link, which has tree lines but no block of its own in a classic page.
void buildHoldingTree(LinkTree &tree)
{
    LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("組"));
    LinkNode *holder = link(tree, group, QStringLiteral("<script>alert('x')</script>"), QStringLiteral("a.html"));
    link(tree, holder, QStringLiteral("子"), QStringLiteral("b.html"));
    link(tree, tree.appendGroup(holder, QStringLiteral("子の組")), QStringLiteral("孫"), QStringLiteral("c.html"));
    link(tree, group, QStringLiteral("弟"), QStringLiteral("d.html"));
    link(tree, link(tree, nullptr, QStringLiteral("上"), QStringLiteral("e.html")), QStringLiteral("下"), QStringLiteral("f.html"));
}

// A tree LEVELS deep: groups in groups, each holding a link.
void buildDeepTree(LinkTree &tree, int levels = Import::MaxDepth)
{
    LinkNode *parent = nullptr;
    for (int level = 1; level < levels; ++level)
        link(tree, parent = tree.appendGroup(parent, QStringLiteral("g%1").arg(level)), QStringLiteral("l"), QStringLiteral("l.html"));
}

QByteArray written(LinkTree &tree, const QString &format, bool folding, const QString &mark)
{
    if (format == u"bookmarks")
        return DataExport::write(tree, DataExport::Format::Bookmarks);
    if (format == u"opml")
        return DataExport::write(tree, DataExport::Format::Opml);
    if (format == u"json")
        return DataExport::write(tree, DataExport::Format::Json);
    ExportSettings settings;
    settings.outputFileName = QStringLiteral("/tmp/menu.html");
    settings.foldingScript = folding;
    settings.groupMark = mark;
    settings.format = format == u"html5" ? PageFormat::Html5 : PageFormat::Classic;
    return PageGenerator::buildPage(tree, settings).bytes;
}

QString repeated(const char *piece, int times)
{
    return QString::fromLatin1(piece).repeated(times);
}

} // namespace

class TestImport : public QObject
{
    Q_OBJECT
private slots:
    void browserFiles_data();
    void browserFiles();
    void roundTrip_data();
    void roundTrip();
    void hostile_data();
    void hostile();
    void dataFilesHoldNoControls();
    void realFiles_data();
    void realFiles();
    void plantedScriptIsNamed();
    void largeJsonReadsBack();
};

void TestImport::browserFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("nodes");
    QTest::addColumn<Skipped>("skipped");
    QTest::newRow("Firefox") << "firefox.html"
                             << QStringList{"0|Firefox を使う|link|https://www.mozilla.org/ja/firefox/|||",
                                            "0|Mozilla Firefox|group||||",
                                            "1|ヘルプ & サポート|link|https://support.mozilla.org/ja/products/firefox|||",
                                            "0|ブックマークツールバー|group||||",
                                            "1|Example|link|https://example.org/|||",
                                            "1|空のフォルダー|group||||",
                                            "1|<script>alert(1)</script>|link|https://example.net/|||"}
                             << Skipped{{"区切り線", 1}, {"検索ブックマーク", 1}, {"アイコン", 1}, {"説明", 2}};
    QTest::newRow("Chrome") << "chrome.html"
                            << QStringList{"0|ブックマーク バー|group||||",
                                           "1|Google|link|https://www.google.com/|||",
                                           "1|ﾆｭｰｽ|group||||",
                                           "2|ニュース 「速報」|link|https://news.example.jp/?a=1&b=2|||",
                                           "0|その他のブックマーク|group||||",
                                           "0|Top level|link|https://example.com/|||"}
                            << Skipped{{"アイコン", 1}};
    QTest::newRow("OPML") << "feeds.opml"
                          << QStringList{"0|技術|group||||",
                                         "1|Qt Blog|link|https://www.qt.io/blog|||",
                                         "1|libxml2|link|https://gitlab.gnome.org/GNOME/libxml2|||",
                                         "1|題名だけ|link|https://example.org/a?b=1&c=2|||",
                                         "0|空|group||||"}
                          << Skipped{};
}

void TestImport::browserFiles()
{
    QFETCH(QString, file);
    QFETCH(QStringList, nodes);
    QFETCH(Skipped, skipped);
    const ImportResult result = Import::read(readData(file), file);
    QCOMPARE(snapshotOf(*result.tree), nodes);
    QCOMPARE(result.groups + result.links, nodes.size());
    QCOMPARE(result.skipped, skipped);
}

void TestImport::roundTrip_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("folding");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<QString>("shape"); // mixed, markup or holding
    QTest::newRow("classic") << "classic" << true << "□" << "mixed";
    QTest::newRow("classic, no script, no mark") << "classic" << false << "" << "mixed";
    QTest::newRow("classic, links holding nodes") << "classic" << true << "□" << "holding";
    QTest::newRow("classic, links holding nodes, no script") << "classic" << false << "□" << "holding";
    QTest::newRow("classic, a space behind the mark") << "classic" << true << "□ " << "mixed";
    QTest::newRow("HTML5") << "html5" << true << "◆" << "mixed";
    QTest::newRow("HTML5, no script") << "html5" << false << "＋" << "mixed";
    QTest::newRow("HTML5, markup in names") << "html5" << true << "" << "markup";
    QTest::newRow("HTML5, links holding nodes") << "html5" << true << "" << "holding";
    QTest::newRow("HTML5, as deep as a tree may go") << "html5" << true << "" << "deep";
    QTest::newRow("classic, as deep as a tree may go") << "classic" << true << "" << "deep";
    for (const char *format : {"bookmarks", "opml", "json"}) {
        QTest::newRow(format) << format << true << "" << "mixed";
        QTest::newRow(QByteArray(format) + ", markup in names") << format << true << "" << "markup";
    }
}

void TestImport::roundTrip()
{
    QFETCH(QString, format);
    QFETCH(bool, folding);
    QFETCH(QString, mark);
    QFETCH(QString, shape);
    LinkTree tree;
    if (shape == u"deep")
        buildDeepTree(tree);
    else
        shape == u"markup" ? buildMarkupTree(tree) : shape == u"holding" ? buildHoldingTree(tree) : buildMixedTree(tree);
    const QByteArray file = written(tree, format, folding, mark);
    const ImportResult result = Import::read(file, QStringLiteral("menu"));
    QCOMPARE(result.tree->count(), tree.count());
    QCOMPARE(result.lossReport(), QString()); // a whole file of its own loses nothing
    // A page names its groups by ids of its own; they come back as the page wrote them.
    for (const LinkNode *node : result.tree->nodes()) {
        if (node->isGroup() && (format == u"classic" || format == u"html5")) {
            QVERIFY(file.contains("id=\"" + node->record().ObjID.toUtf8() + '"'));
            result.tree->nodeAt(result.tree->absoluteIndex(node))->record().ObjID.clear();
            tree.nodeAt(result.tree->absoluteIndex(node))->record().ObjID.clear();
        }
    }
    for (LinkNode *node : tree.nodes()) { // the HTML5 page writes addresses as a browser reads them
        if (format == u"html5" && !node->isGroup())
            node->record().Href = WebAddress::serialised(node->record().Href);
    }
    QCOMPARE(snapshotOf(*result.tree), snapshotOf(tree));
    QVERIFY(view(*result.tree) == view(tree));
}

void TestImport::hostile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");  // part of the message, or empty when the file is read
    QTest::addColumn<int>("nameLength"); // of the last node read

    const QByteArray bookmarkHead = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>";
    QTest::newRow("folders deeper than a tree may go")
        << bookmarkHead + repeated("<DT><H3>f</H3><DL><p>", 300).toUtf8() << "深すぎ" << 0;
    QTest::newRow("a million nested elements in a page")
        << ("<html><body><div class=\"tree\">" + repeated("<div>", 1000000) + "</div>").toUtf8() << "深すぎ" << 0;
    LinkTree deep;
    buildDeepTree(deep, Import::MaxDepth + 1);
    // The limit a message gives is the one that holds.
    QTest::newRow("a page one level deeper than a tree may go")
        << written(deep, QStringLiteral("html5"), true, {}) << QString::number(Import::MaxDepth) << 0;
    QTest::newRow("a name of 4 MB")
        << bookmarkHead + "<DT><A HREF=\"x\">" + QByteArray(4 << 20, 'n') + "</A></DL>" << "" << (4 << 20);
    QTest::newRow("an entity bomb in OPML")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE opml [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                      "<opml><body><outline text=\"&b;\"/></body></opml>")
        << "DOCTYPE" << 0;
    QTest::newRow("outlines deeper than XML may nest")
        << ("<opml><body>" + repeated("<outline text=\"o\">", 300) + "</body></opml>").toUtf8() << "読み込めません" << 0;
    QTest::newRow("broken OPML") << QByteArray("<opml><body><outline text=\"a\"></body>") << "読み込めません" << 0;
    QTest::newRow("JSON nested too deep") << QByteArray(5000, '[') << "読み込めません" << 0;
    QTest::newRow("JSON of no menu") << QByteArray("{\"name\": 1}") << "JSON のメニューデータ" << 0;
    // The message names every format tried, not only the last.
    QTest::newRow("a page Vormik did not write") << QByteArray("<html><body><p>hello</p></body></html>") << "OPML" << 0;
}

void TestImport::hostile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    QFETCH(int, nameLength);
    try {
        const ImportResult result = Import::read(bytes, QStringLiteral("hostile"));
        QVERIFY2(error.isEmpty(), "the file was read");
        if (nameLength > 0)
            QCOMPARE(result.tree->nodes().back()->text().size(), nameLength);
    } catch (const VormikError &failure) {
        QVERIFY2(!error.isEmpty() && failure.message().contains(error), qPrintable(failure.message()));
        QVERIFY(failure.message().contains(QStringLiteral("hostile")));
    }
}

// Bookmarks and OPML hold no control character raw (OPML would not be XML), and a lone surrogate
// reads back as U+FFFD, not as "?". OPML of an empty tree, which OPML cannot hold, is refused.
void TestImport::dataFilesHoldNoControls()
{
    LinkTree tree;
    const QString odd = QStringLiteral("a\x01" "b\x7f") + QChar(0xd800) + QStringLiteral("c");
    link(tree, nullptr, odd, QStringLiteral("x\x02.html"), odd, odd, odd);
    for (const char *format : {"bookmarks", "opml"}) {
        const QByteArray file = written(tree, QLatin1String(format), true, {});
        QVERIFY(std::all_of(file.begin(), file.end(), [](char b) { return (uchar(b) >= 0x20 && b != 0x7f) || b == '\n'; }));
        const ImportResult result = Import::read(file, QStringLiteral("menu"));
        const LinkNode &read = *result.tree->nodes().front();
        QCOMPARE(read.text(), QStringLiteral("a\ufffdb\ufffd\ufffdc"));
        QCOMPARE(read.record().ObjID, read.text());
        QCOMPARE(read.record().Href, QStringLiteral("x%02.html"));
    }
    LinkTree empty;
    QVERIFY_THROWS_EXCEPTION(VormikError, written(empty, QStringLiteral("opml"), true, {}));
}

namespace {

QByteArray bookmarkFile(const QByteArray &body)
{
    return "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
           "<DL><p>\n" + body + "</DL><p>\n";
}

// `folders` folders of `links` bookmarks each, every one as browsers write it, with its icon.
QByteArray browserExport(int folders, int links)
{
    QByteArray body;
    const QByteArray icon = " ICON=\"data:image/png;base64," + QByteArray(96, 'A') + "\"";
    for (int f = 0; f < folders; ++f) {
        body += "<DT><H3 ADD_DATE=\"1700000000\">F" + QByteArray::number(f) + "</H3>\n<DL><p>\n";
        for (int l = 0; l < links; ++l)
            body += "<DT><A HREF=\"https://example.com/" + QByteArray::number(l) + "\" ADD_DATE=\"1700000000\"" + icon + ">リンク</A>\n";
        body += "</DL><p>\n";
    }
    return bookmarkFile(body);
}

QByteArray utf16(const QByteArray &utf8, QStringConverter::Encoding encoding, bool mark)
{
    QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(QString::fromUtf8(utf8));
}

} // namespace

void TestImport::realFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");    // groups and links read
    QTest::addColumn<QString>("last"); // the last node
    QTest::addColumn<int>("replaced"); // invalid byte sequences, and the line of the first
    QTest::addColumn<int>("line");
    QTest::addColumn<QList<int>>("losses"); // the count of each kind of loss reported

    QTest::newRow("a folder of 300 bookmarks") << browserExport(1, 300) << 301
                                               << "1|リンク|link|https://example.com/299|||" << 0 << 0 << QList<int>{};
    // Read in pieces: characters and tags are cut at their ends.
    QTest::newRow("a browser export of 100,000 bookmarks, 20 MB")
        << browserExport(100, 1000) << 100100 << "1|リンク|link|https://example.com/999|||" << 0 << 0 << QList<int>{};
    QTest::newRow("in UTF-16, 5 MB") << utf16(browserExport(10, 1000), QStringConverter::Utf16LE, true) << 10010
                                     << "1|リンク|link|https://example.com/999|||" << 0 << 0 << QList<int>{};
    QTest::newRow("a title wrapped over lines") << bookmarkFile("<DT><A HREF=\"a\">one\n   two\r\n\tthree  four</A>\n")
                                                << 1 << "0|one two three  four|link|a|||" << 0 << 0 << QList<int>{};
    QTest::newRow("a truncated file") << bookmarkFile("<DT><H3>f</H3>\n<DL><p>\n<DT><A HREF=\"a\">x</A>\n").chopped(9)
                                      << 2 << "1|x|link|a|||" << 0 << 0 << QList<int>{2};
    QTest::newRow("UTF-8, one bad byte") << bookmarkFile("<DT><A HREF=\"a\">b\xFF</A>\n<DT><A HREF=\"c\">①㈱</A>\n") << 2
                                         << "0|①㈱|link|c|||" << 1 << 4 << QList<int>{};
    QTest::newRow("Shift_JIS, one bad byte")
        << QByteArray("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META CONTENT=\"text/html; charset=Shift_JIS\">\n<DL><p>\n\n"
                      "<DT><A HREF=\"a\">\xA0</A><DT><A HREF=\"c\">\x87\x40\x87\x8A</A></DL>")
        << 2 << "0|①㈱|link|c|||" << 1 << 5 << QList<int>{};
    QTest::newRow("UTF-16 bookmarks with a mark") << utf16(readData("chrome.html"), QStringConverter::Utf16LE, true) << 6
                                                  << "0|Top level|link|https://example.com/|||" << 0 << 0 << QList<int>{};
    QTest::newRow("UTF-16 OPML without one") << utf16(readData("feeds.opml"), QStringConverter::Utf16BE, false) << 5
                                             << "0|空|group||||" << 0 << 0 << QList<int>{};
    QTest::newRow("OPML behind a long comment, a feed alone")
        << "<?xml version=\"1.0\"?>\n<!--" + QByteArray(2000, '-').replace("--", "- ") + "-->\n"
           "<opml version=\"2.0\"><body><outline text=\"f\" xmlUrl=\"https://f/rss\"/></body></opml>"
        << 1 << "0|f|link|https://f/rss|||" << 0 << 0 << QList<int>{};
    LinkTree tree;
    buildWorkedExample(tree);
    for (const char *format : {"classic", "html5"}) {
        QTest::newRow(qPrintable(QStringLiteral("a %1 page cut short").arg(format)))
            << written(tree, format, true, "").chopped(20) << tree.count() << snapshotOf(tree).constLast() << 0 << 0
            << QList<int>{1};
    }
    QTest::newRow("UTF-8 whose address names a charset")
        << QByteArray(R"([{"name": "①", "href": "https://x/?charset=shift_jis"}])") << 1
        << "0|①|link|https://x/?charset=shift_jis|||" << 0 << 0 << QList<int>{};
    QTest::newRow("JSON with a byte-order mark") << QByteArray("\xEF\xBB\xBF[{\"name\": \"a\", \"href\": \"b\"}]") << 1
                                                 << "0|a|link|b|||" << 0 << 0 << QList<int>{};
    QTest::newRow("JSON: a control character, half a surrogate pair, a key twice")
        << QByteArray(R"([{"name": "a\u0001b", "href": "x", "href": "y"}, {"name": "\ud800"}])") << 2
        << "0|\uFFFD|link||||" << 0 << 0 << QList<int>{1, 1, 1};
}

void TestImport::realFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(QString, last);
    QFETCH(int, replaced);
    QFETCH(int, line);
    QFETCH(QList<int>, losses);
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write(bytes);
    file.close();
    ImportResult result;
    try {
        result = Import::readFile(file.fileName());
    } catch (const VormikError &error) {
        QFAIL(qPrintable(error.message()));
    }
    QCOMPARE(result.groups + result.links, count);
    QCOMPARE(snapshotOf(*result.tree).constLast(), last);
    QCOMPARE(result.replaced, replaced);
    QCOMPARE(result.firstReplacedLine, line);
    QList<int> lost;
    for (const auto &[what, times] : result.losses)
        lost << times;
    QCOMPARE(lost, losses);
    QCOMPARE(result.lossReport().isEmpty(), losses.isEmpty() && replaced == 0);
}

// Names holding markup are named; script addresses are named and left out until kept.
void TestImport::plantedScriptIsNamed()
{
    ImportResult result = Import::read(readData(QStringLiteral("hostile-bookmarks.html")), QStringLiteral("hostile"));
    const QStringList lines = result.screening.lines();
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].contains(QStringLiteral("「<img src=x onerror=alert(1)>」")) && lines[0].contains(QStringLiteral("「</div>")),
             qPrintable(lines[0]));
    QVERIFY2(lines[1].contains(QStringLiteral("「bookmarklet」")) && lines[1].contains(QStringLiteral("「data」"))
                 && !lines[1].contains(QStringLiteral("quote")),
             qPrintable(lines[1]));
    const LinkAttr &script = result.tree->nodes()[3]->record(), &data = result.tree->nodes()[4]->record();
    QVERIFY(script.Href.isEmpty() && data.Href.isEmpty());
    result.keepScriptAddresses();
    QVERIFY(script.Href.startsWith(QStringLiteral("JavaScript:")) && data.Href.startsWith(QStringLiteral("data:")));
    // A link whose only address ran script holds its nodes as a group, and is a link again once kept.
    ImportResult holder = Import::read("<!DOCTYPE NETSCAPE-Bookmark-file-1><DL><p><DT><A HREF=\"javascript:x()\">h</A>"
                                       "<DL><p><DT><A HREF=\"a\">c</A></DL></DL>", QStringLiteral("holder"));
    QVERIFY(holder.tree->nodes()[0]->isGroup() && holder.groups == 1);
    holder.keepScriptAddresses();
    QVERIFY(!holder.tree->nodes()[0]->isGroup() && holder.links == 2 && holder.groups == 0);
}

// Half a million nodes, a dozen levels deep, as the export writes them stay within what an
// import reads.
void TestImport::largeJsonReadsBack()
{
    LinkTree tree;
    LinkNode *chain = nullptr;
    for (int level = 0; level < 10; ++level)
        chain = tree.appendGroup(chain, QStringLiteral("段 %1").arg(level));
    for (int group = 0; group < 1000; ++group) {
        LinkNode *parent = tree.appendGroup(chain, QStringLiteral("グループ %1").arg(group));
        for (int item = 0; item < 499; ++item)
            link(tree, parent, QStringLiteral("リンク %1").arg(item), QStringLiteral("https://example.org/%1.html").arg(item));
    }
    const ImportResult result = Import::read(DataExport::json(tree), QStringLiteral("large"));
    QCOMPARE(result.tree->count(), tree.count());
}

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
