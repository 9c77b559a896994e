// The link check against servers of the test's own on loopback ports, and files on disk.
#include "LocalHttpServer.h"

#include "import/LinkChecker.h"
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
    QTest::newRow("200") << "web:/ok" << 200 << false << "" << "HEAD /ok";
    QTest::newRow("301 to 200") << "web:/moved" << 200 << false << "/ok" << "HEAD /ok";
    QTest::newRow("404") << "web:/missing" << 404 << true << "" << "HEAD /missing";
    QTest::newRow("500") << "web:/error" << 500 << true << "" << "HEAD /error";
    QTest::newRow("HEAD refused, GET answers") << "web:/nohead" << 200 << false << "" << "GET /nohead";
    QTest::newRow("no answer within the time") << "web:/silent" << 0 << true << "" << "HEAD /silent";
    QTest::newRow("refused port") << "port:" << 0 << true << "" << "";
    QTest::newRow("relative file present") << "pages/here.html?x=1#top" << 0 << false << "" << "";
    QTest::newRow("relative file absent") << "pages/gone.html" << 0 << true << "" << "";
    QTest::newRow("file: present") << "file:pages/here.html" << 0 << false << "" << "";
    QTest::newRow("relative file: present") << "file:pages/../pages/here.html" << 0 << false << "" << "";
    QTest::newRow("relative file: absent") << "file:here.html" << 0 << true << "" << "";
}

void TestLinkCheck::answers()
{
    QFETCH(QString, address);
    QFETCH(int, status);
    QFETCH(bool, broken);
    QFETCH(QString, finalPath);
    QFETCH(QString, asked);
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
    check(checker, tree, base.path());
    QCOMPARE(checker.results().size(), size_t(1));
    const LinkCheckResult &result = checker.results().front();
    QCOMPARE(result.node, node);
    QCOMPARE(result.address, address);
    QCOMPARE(result.status, status);
    QCOMPARE(result.broken, broken);
    QCOMPARE(result.finalAddress, finalPath.isEmpty() ? QString() : server.url(finalPath));
    QVERIFY(!result.answer.isEmpty());
    if (!asked.isEmpty())
        QCOMPARE(server.asked.value(asked), 1);
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
