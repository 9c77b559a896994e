// The link check against servers of the test's own on loopback ports, and files on disk.
#include "LocalHttpServer.h"

#include "linkcheck/LinkChecker.h"
#include "tree/LinkTree.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A port nothing listens on: one the system just handed out and took back.
int refusedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

LinkNode *addLink(LinkTree &tree, const QString &href)
{
    LinkNode *node = tree.appendLink(nullptr, href);
    node->record().Href = href;
    return node;
}

// Runs a check to its end.
void check(LinkChecker &checker, const LinkTree &tree, const QString &base)
{
    QSignalSpy finished(&checker, &LinkChecker::finished);
    checker.start(tree, base);
    QVERIFY(finished.wait(20000));
}

} // namespace

class TestLinkCheck : public QObject
{
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void redirectsInward_data();
    void redirectsInward();
    void internalAddresses();
    void addressesAsBrowsersRead_data();
    void addressesAsBrowsersRead();
    void skipsAndAsksOnce();
    void limitsRequestsAtOnce();
    void cancelsMidway();
};

void TestLinkCheck::answers_data()
{
    QTest::addColumn<QString>("address"); // "web:PATH" on the server, "port:" a refused port, else a file
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("broken");
    QTest::addColumn<QString>("finalPath"); // where redirects led, or empty
    QTest::addColumn<QString>("asked");     // the last request the server saw
    QTest::addColumn<QString>("movedTo");   // the new address of a permanent move, or empty
    QTest::newRow("200") << "web:/ok" << 200 << false << "" << "HEAD /ok" << "";
    QTest::newRow("301 to 200") << "web:/moved" << 200 << false << "/ok" << "HEAD /ok" << "/ok";
    QTest::newRow("308 to 200") << "web:/redirect/308?/ok" << 200 << false << "/ok" << "HEAD /ok" << "/ok";
    QTest::newRow("302 to 200") << "web:/redirect/302?/ok" << 200 << false << "/ok" << "HEAD /ok" << "";
    QTest::newRow("301, 302") << "web:/redirect/301?/redirect/302%3F/ok" << 200 << false << "/ok" << "HEAD /ok" << "/redirect/302?/ok";
    QTest::newRow("301 to 404") << "web:/redirect/301?/missing" << 404 << true << "/missing" << "HEAD /missing" << "";
    QTest::newRow("redirect loop") << "web:/loop" << 302 << true << "" << "HEAD /loop" << "";
    QTest::newRow("10 redirects") << "web:/chain/10" << 200 << false << "/chain/0" << "HEAD /chain/0" << "";
    QTest::newRow("11 redirects") << "web:/chain/11" << 302 << true << "/chain/0" << "HEAD /chain/1" << "";
    QTest::newRow("to file:") << "web:/redirect/302?file:///x" << 302 << true << "file:///x" << "" << "";
    QTest::newRow("to ftp:") << "web:/redirect/301?ftp://127.0.0.1/x" << 301 << true << "ftp://127.0.0.1/x" << "" << "";
    QTest::newRow("HEAD refused with 501, GET answers") << "web:/nohead501" << 200 << false << "" << "GET /nohead501" << "";
    QTest::newRow("slow 405, slow GET: one deadline") << "web:/slownohead" << 0 << true << "" << "GET /slownohead" << "";
    QTest::newRow("404") << "web:/missing" << 404 << true << "" << "HEAD /missing" << "";
    QTest::newRow("500") << "web:/error" << 500 << true << "" << "HEAD /error" << "";
    QTest::newRow("HEAD refused, GET answers") << "web:/nohead" << 200 << false << "" << "GET /nohead" << "";
    QTest::newRow("no answer within the time") << "web:/silent" << 0 << true << "" << "HEAD /silent" << "";
    QTest::newRow("refused port") << "port:" << 0 << true << "" << "" << "";
    QTest::newRow("relative file present") << "pages/here.html?x=1#top" << 0 << false << "" << "" << "";
    QTest::newRow("relative file absent") << "pages/gone.html" << 0 << true << "" << "" << "";
    QTest::newRow("file: present") << "file:pages/here.html" << 0 << false << "" << "" << "";
    QTest::newRow("relative file: present") << "file:pages/../pages/here.html" << 0 << false << "" << "" << "";
    QTest::newRow("relative file: absent") << "file:here.html" << 0 << true << "" << "" << "";
}

void TestLinkCheck::answers()
{
    QFETCH(QString, address);
    QFETCH(int, status);
    QFETCH(bool, broken);
    QFETCH(QString, finalPath);
    QFETCH(QString, asked);
    QFETCH(QString, movedTo);
    LocalHttpServer server;
    QTemporaryDir base;
    QVERIFY(QDir(base.path()).mkdir(QStringLiteral("pages")));
    QFile file(base.filePath(QStringLiteral("pages/here.html")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    if (address.startsWith(u"web:"))
        address = server.url(address.mid(4));
    else if (address == u"port:")
        address = QStringLiteral("http://127.0.0.1:%1/").arg(refusedPort());
    else if (address.startsWith(u"file:pages/here"))
        address = QUrl::fromLocalFile(base.filePath(address.mid(5))).toString();
    LinkTree tree;
    const LinkNode *node = addLink(tree, address);
    LinkChecker checker;
    checker.setTimeout(300);
    const QDeadlineTimer twoSeconds(2000);
    check(checker, tree, base.path());
    QVERIFY(!twoSeconds.hasExpired());
    QCOMPARE(checker.results().size(), size_t(1));
    const LinkCheckResult &result = checker.results().front();
    QCOMPARE(result.node, node);
    QCOMPARE(result.address, address);
    QCOMPARE(result.status, status);
    QCOMPARE(result.broken, broken);
    const auto onServer = [&](const QString &path) { return path.startsWith(u'/') ? server.url(path) : path; };
    QCOMPARE(result.finalAddress, onServer(finalPath));
    QCOMPARE(result.movedTo, onServer(movedTo));
    QVERIFY(!result.answer.isEmpty());
    if (!asked.isEmpty())
        QCOMPARE(server.asked.value(asked), 1);
}

void TestLinkCheck::redirectsInward_data()
{
    QTest::addColumn<QString>("from"); // the host of the link; for this test 127.0.0.1 alone is public
    QTest::addColumn<bool>("followed");
    QTest::newRow("public to internal") << "127.0.0.1" << false;
    QTest::newRow("internal to internal") << "127.0.0.2" << true;
}

void TestLinkCheck::redirectsInward()
{
    QFETCH(QString, from);
    QFETCH(bool, followed);
    LocalHttpServer origin{QHostAddress(from)};
    LocalHttpServer inside{QHostAddress(QStringLiteral("127.0.0.3"))};
    LinkTree tree;
    addLink(tree, origin.url(QStringLiteral("/redirect/302?") + QUrl::toPercentEncoding(inside.url(QStringLiteral("/ok")))));
    LinkChecker checker;
    checker.setInternalTest([](const QHostAddress &address) { return address != QHostAddress::LocalHost; });
    check(checker, tree, QDir::tempPath());
    QCOMPARE(inside.asked.size(), followed ? 1 : 0);
    QCOMPARE(checker.results().front().broken, !followed);
}

void TestLinkCheck::internalAddresses()
{
    for (const char *address : {"127.0.0.1", "10.1.2.3", "172.31.0.1", "192.168.1.1", "169.254.0.5", "100.64.0.1",
                                "::1", "fe80::1", "fd12::1", "::ffff:192.168.0.1"})
        QVERIFY2(LinkChecker::isInternalAddress(QHostAddress(QString::fromLatin1(address))), address);
    for (const char *address : {"172.32.0.1", "192.0.2.1", "2001:db8::1", "::ffff:198.51.100.1"})
        QVERIFY2(!LinkChecker::isInternalAddress(QHostAddress(QString::fromLatin1(address))), address);
}

void TestLinkCheck::addressesAsBrowsersRead_data()
{
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("expected"); // "file:" and a path under base/ or root/, or the web address
    QTest::newRow("root-relative") << "/sub/page.html" << "file:root/sub/page.html";
    QTest::newRow("root-relative above the root") << "/../../page.html" << "file:root/page.html";
    QTest::newRow("backslash") << "sub\\page.html?a\\b" << "file:base/sub/page.html";
    QTest::newRow("protocol-relative") << "//example.jp/ok" << "https://example.jp/ok";
    QTest::newRow("protocol-relative, backslashes") << "\\\\example.jp\\ok" << "https://example.jp/ok";
}

void TestLinkCheck::addressesAsBrowsersRead()
{
    QFETCH(QString, href);
    QFETCH(QString, expected);
    const LinkAddress::Target target = LinkAddress::classify(href, QStringLiteral("/base"), QStringLiteral("/root"));
    if (expected.startsWith(u"file:")) {
        QCOMPARE(target.kind, LinkAddress::Kind::File);
        QCOMPARE(QDir::cleanPath(target.path), QLatin1Char('/') + expected.mid(5));
    } else {
        QCOMPARE(target.kind, LinkAddress::Kind::Web);
        QCOMPARE(target.url.toString(), expected);
    }
}

void TestLinkCheck::skipsAndAsksOnce()
{
    LocalHttpServer server;
    LinkTree tree;
    for (const QString &href : {QStringLiteral("mailto:a@example.jp"), QStringLiteral("javascript:void(0)"),
                                QStringLiteral("#top"), QString(), QStringLiteral("  ")})
        addLink(tree, href);
    for (int i = 0; i < 5; ++i)
        addLink(tree, server.url(QStringLiteral("/ok#part%1").arg(i)));
    tree.appendGroup(nullptr, QStringLiteral("group"))->record().Href = server.url(QStringLiteral("/missing"));
    LinkChecker checker;
    QSignalSpy progress(&checker, &LinkChecker::progress);
    check(checker, tree, QDir::tempPath());
    using Reason = LinkAddress::SkipReason;
    const std::map<Reason, int> skipped{{Reason::Empty, 2}, {Reason::FragmentOnly, 1}, {Reason::Mail, 1}, {Reason::Script, 1}};
    QVERIFY(checker.skipped() == skipped);
    QCOMPARE(checker.results().size(), size_t(5));
    QCOMPARE(server.asked, (QHash<QString, int>{{"HEAD /ok", 1}}));
    QCOMPARE(progress.size(), 2); // nothing of 1, then 1 of 1
    QCOMPARE(progress.last(), (QList<QVariant>{1, 1}));
}

void TestLinkCheck::limitsRequestsAtOnce()
{
    // Loopback answers on every 127.x.y.z, so six servers are six hosts.
    std::vector<std::unique_ptr<LocalHttpServer>> servers;
    LinkTree tree;
    for (int host = 1; host <= 6; ++host) {
        servers.push_back(std::make_unique<LocalHttpServer>(QHostAddress(QStringLiteral("127.0.0.%1").arg(host)), 50));
        for (int i = 0; i < 4; ++i)
            addLink(tree, servers.back()->url(QStringLiteral("/ok?%1").arg(i)));
    }
    LinkChecker checker;
    check(checker, tree, QDir::tempPath());
    QCOMPARE(checker.brokenCount(), 0);
    QCOMPARE(checker.mostAtOnce(), LinkChecker::DefaultMaxRequests);
    int held = 0;
    for (const auto &server : servers) {
        QCOMPARE(server->mostHeld, LinkChecker::DefaultMaxPerHost);
        held += server->mostHeld;
    }
    QVERIFY(held >= LinkChecker::DefaultMaxRequests);
}

void TestLinkCheck::cancelsMidway()
{
    LocalHttpServer server;
    LinkTree tree;
    for (int i = 0; i < 10; ++i)
        addLink(tree, server.url(QStringLiteral("/silent?%1").arg(i)));
    LinkChecker checker;
    QSignalSpy finished(&checker, &LinkChecker::finished);
    QSignalSpy progress(&checker, &LinkChecker::progress);
    checker.start(tree, QDir::tempPath());
    QTRY_COMPARE_WITH_TIMEOUT(server.asked.size(), LinkChecker::DefaultMaxPerHost, 20000);
    checker.cancel();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), true);
    QVERIFY(!checker.isRunning());
    QTest::qWait(100);
    QCOMPARE(server.asked.size(), LinkChecker::DefaultMaxPerHost);
    QCOMPARE(progress.size(), 1);
}

QTEST_GUILESS_MAIN(TestLinkCheck)
#include "tst_linkcheck.moc"
