// The importers: browsers' bookmark files, OPML, and every file Vormik writes read back into the
// tree it was written from; hostile files end in a clear message.
#include "PageTrees.h"
#include "TreeSnapshot.h"

#include "html/DataExport.h"
#include "html/PageGenerator.h"
#include "import/ImportResult.h"
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
    link(tree, holder, QStringLiteral("&amp; under a link"), QStringLiteral("b.html"));
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
    // A page names its groups by ids of its own; they come back as the page wrote them.
    for (const LinkNode *node : result.tree->nodes()) {
        if (node->isGroup() && (format == u"classic" || format == u"html5")) {
            QVERIFY(file.contains("id=\"" + node->record().ObjID.toUtf8() + '"'));
            result.tree->nodeAt(result.tree->absoluteIndex(node))->record().ObjID.clear();
            tree.nodeAt(result.tree->absoluteIndex(node))->record().ObjID.clear();
        }
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
    QTest::newRow("a page Vormik did not write") << QByteArray("<html><body><p>hello</p></body></html>")
                                                 << "Vormik が書き出したページ" << 0;
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
    result.screening.keepScriptAddresses();
    QVERIFY(script.Href.startsWith(QStringLiteral("JavaScript:")) && data.Href.startsWith(QStringLiteral("data:")));
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
