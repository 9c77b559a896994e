// The programs for scripts: vormik-import, vormik-check-links and vormik-export's data formats,
// run as a script runs them.
#include "FileHelpers.h"
#include "LocalHttpServer.h"
#include "PageTrees.h"
#include "TreeSnapshot.h"

#include "project/ProjectFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString output;
    QString errors;
};

// Runs the program while the event loop keeps serving the test's own HTTP server.
Run run(const char *program, const QStringList &arguments)
{
    QProcess process;
    process.start(QString::fromUtf8(program), arguments);
    for (QDeadlineTimer deadline(60000); !process.waitForFinished(10) && !deadline.hasExpired();)
        QCoreApplication::processEvents();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestLinkPrograms : public QObject
{
    Q_OBJECT
private slots:
    void exportAndImport_data();
    void exportAndImport();
    void importKeepsExistingFile();
    void importNamesLosses();
    void importExitStatus_data();
    void importExitStatus();
    void checkLinks_data();
    void checkLinks();
    void checkLinksCannotRun_data();
    void checkLinksCannotRun();
    void checkLinksFormats();

private:
    QTemporaryDir m_dir;
};

void TestLinkPrograms::exportAndImport_data()
{
    QTest::addColumn<QStringList>("format");
    for (const char *format : {"classic", "html5", "bookmarks", "opml", "json"})
        QTest::newRow(format) << QStringList{QStringLiteral("--format"), QLatin1String(format)};
    QTest::newRow("--html5") << QStringList{QStringLiteral("--html5")};
    QTest::newRow("json --pretty") << QStringList{QStringLiteral("--format"), QStringLiteral("json"), QStringLiteral("--pretty")};
}

void TestLinkPrograms::exportAndImport()
{
    QFETCH(QStringList, format);
    LinkTree tree;
    buildWorkedExample(tree);
    const QString project = m_dir.filePath(QStringLiteral("menu.vmk"));
    ProjectFile::save(tree, project);
    const QString written = m_dir.filePath(QStringLiteral("written"));
    const QString imported = m_dir.filePath(QStringLiteral("imported.vmk"));
    QCOMPARE(run(VORMIK_EXPORT_PROGRAM, format + QStringList{project, written}).exitCode, 0);
    // JSON is one line unless indented.
    if (format.contains(QStringLiteral("json")))
        QCOMPARE(readAll(written).trimmed().contains('\n'), format.contains(QStringLiteral("--pretty")));
    const Run import = run(VORMIK_IMPORT_PROGRAM, {QStringLiteral("--force"), written, imported});
    QCOMPARE(import.exitCode, 0);
    QVERIFY2(import.output.contains(QStringLiteral("グループ 2 個、リンク 4 個")), qPrintable(import.output));
    QVERIFY2(import.errors.isEmpty(), qPrintable(import.errors));
    const std::unique_ptr<LinkTree> back = ProjectFile::open(imported);
    // Groups come back from a page with the ids the page gave them.
    for (LinkNode *node : back->nodes()) {
        if (node->isGroup())
            node->record().ObjID.clear();
    }
    QCOMPARE(snapshotOf(*back), snapshotOf(tree));
}

void TestLinkPrograms::importKeepsExistingFile()
{
    const QString project = m_dir.filePath(QStringLiteral("kept.vmk"));
    QFile file(project);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("mine");
    file.close();
    const Run refused = run(VORMIK_IMPORT_PROGRAM, {QStringLiteral(VORMIK_TEST_DATA "/import/chrome.html"), project});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY(refused.errors.contains(QStringLiteral("--force")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("mine"));
}

// A file cut short still makes a project of what it holds; what was lost is told on standard error.
void TestLinkPrograms::importNamesLosses()
{
    const QString input = m_dir.filePath(QStringLiteral("cut.html"));
    QFile file(input);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><H3>f</H3>\n<DL><p>\n<DT><A HREF=\"a\">x</A>\n<DT><A HR");
    file.close();
    const QString project = m_dir.filePath(QStringLiteral("cut.vmk"));
    const Run import = run(VORMIK_IMPORT_PROGRAM, {input, project});
    QCOMPARE(import.exitCode, 0);
    QVERIFY2(import.errors.contains(QLatin1Char('2')), qPrintable(import.errors));
    QCOMPARE(ProjectFile::open(project)->count(), 2);
}

void TestLinkPrograms::importExitStatus_data()
{
    QTest::addColumn<QStringList>("arguments"); // DATA/ is the test data, DIR/ a fresh folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");       // part of standard error
    const QString hostile = QStringLiteral("DATA/import/hostile-bookmarks.html");
    QTest::newRow("imported, script addresses left out") << QStringList{hostile, "DIR/a.vmk"} << 0 << "--keep-script-links";
    QTest::newRow("imported, script addresses kept")
        << QStringList{"--keep-script-links", hostile, "DIR/a.vmk"} << 0 << "そのまま";
    QTest::newRow("nothing could be read") << QStringList{"DATA/project/windows-layout.xml", "DIR/a.vmk"} << 1 << "ではありません";
    QTest::newRow("disk full") << QStringList{"--force", hostile, "/dev/full"} << 1 << "ディスクに空きがありません";
    QTest::newRow("no such folder") << QStringList{hostile, "DIR/missing/a.vmk"} << 1 << "フォルダーがありません";
    QTest::newRow("one argument") << QStringList{hostile} << 2 << "Usage";
    QTest::newRow("unknown option") << QStringList{"--merge", hostile, "DIR/a.vmk"} << 2 << "Usage";
}

void TestLinkPrograms::importExitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir dir;
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^DATA/")), QStringLiteral(VORMIK_TEST_DATA "/"));
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^DIR/")), dir.path() + QLatin1Char('/'));
    const Run import = run(VORMIK_IMPORT_PROGRAM, arguments);
    QCOMPARE(import.exitCode, exitCode);
    QVERIFY2(import.errors.contains(message), qPrintable(import.errors));
    // A Japanese message ends as Japanese does, without a period.
    if (exitCode == 1)
        QVERIFY2(!import.errors.trimmed().endsWith(QLatin1Char('.')), qPrintable(import.errors));
}

void TestLinkPrograms::checkLinks_data()
{
    QTest::addColumn<QStringList>("paths"); // on the server, or files under the base folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("lines"); // answer and address of each broken link
    QTest::newRow("all found") << QStringList{"web:/ok", "web:/redirect/302?/ok", "here.html"} << 0 << QStringList{};
    QTest::newRow("some broken") << QStringList{"web:/ok", "web:/missing", "gone.html", "web:/error"} << 1
                                 << QStringList{"404 Not Found\tweb:/missing", "ファイルがありません\tgone.html",
                                                "500 Internal Server Error\tweb:/error"};
}

void TestLinkPrograms::checkLinks()
{
    QFETCH(QStringList, paths);
    QFETCH(int, exitCode);
    QFETCH(QStringList, lines);
    LocalHttpServer server;
    QTemporaryDir base;
    QFile here(base.filePath(QStringLiteral("here.html")));
    QVERIFY(here.open(QIODevice::WriteOnly));
    const auto address = [&](QString path) {
        return path.startsWith(u"web:") ? server.url(path.mid(4)) : path;
    };
    LinkTree tree;
    LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("G"));
    for (const QString &path : paths)
        link(tree, group, QStringLiteral("n"), address(path));
    const QString project = m_dir.filePath(QStringLiteral("check.vmk"));
    ProjectFile::save(tree, project);
    const Run check = run(VORMIK_CHECK_PROGRAM, {QStringLiteral("--base"), base.path(), project});
    QCOMPARE(check.exitCode, exitCode);
    QStringList expected;
    for (const QString &line : lines) {
        const QStringList fields = line.split(u'\t');
        expected << fields[0] + QStringLiteral("\tG / n\t") + address(fields[1]) + QLatin1Char('\t');
    }
    QCOMPARE(check.output.split(u'\n', Qt::SkipEmptyParts), expected);
}

void TestLinkPrograms::checkLinksCannotRun_data()
{
    QTest::addColumn<QStringList>("arguments"); // before the project file; "missing" is a folder that is not
    QTest::addColumn<int>("exitCode");
    for (const char *seconds : {"nan", "inf", "1e300", "0.09", "300.5", "-1", "ten"})
        QTest::newRow(seconds) << QStringList{"--timeout", seconds} << 2;
    QTest::newRow("0.1 s") << QStringList{"--timeout", "0.1"} << 0;
    QTest::newRow("300 s") << QStringList{"--timeout", "300"} << 0;
    QTest::newRow("no such --base") << QStringList{"--base", "missing"} << 2;
    QTest::newRow("no such --root") << QStringList{"--root", "missing"} << 2;
    QTest::newRow("--root given") << QStringList{"--root", "."} << 0;
    QTest::newRow("unknown option") << QStringList{"--colour"} << 2;
    QTest::newRow("unknown format") << QStringList{"--format", "xml"} << 2;
    QTest::newRow("unreadable project") << QStringList{"missing"} << 2;
}

void TestLinkPrograms::checkLinksCannotRun()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    LinkTree tree;
    link(tree, nullptr, QStringLiteral("n"), QStringLiteral("/menu.vmk"));
    const QString project = m_dir.filePath(QStringLiteral("menu.vmk"));
    ProjectFile::save(tree, project);
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^missing$")), m_dir.filePath(QStringLiteral("none")));
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^\\.$")), m_dir.path());
    const Run check = run(VORMIK_CHECK_PROGRAM, arguments << project);
    QCOMPARE(check.exitCode, exitCode);
    QCOMPARE(check.output, QString());
    QVERIFY(!check.errors.isEmpty());
}

void TestLinkPrograms::checkLinksFormats()
{
    LocalHttpServer server;
    const QString missing = server.url(QStringLiteral("/missing")), moved = server.url(QStringLiteral("/moved"));
    LinkTree tree;
    LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("G\tH"));
    link(tree, group, QStringLiteral("n\\m"), missing);
    link(tree, group, QStringLiteral("m"), moved);
    link(tree, group, QStringLiteral("ok"), server.url(QStringLiteral("/redirect/302?/ok")));
    const QString project = m_dir.filePath(QStringLiteral("formats.vmk"));
    ProjectFile::save(tree, project);
    // The broken link, then the moved one with its new address; TAB and \ in names escaped.
    const Run tsv = run(VORMIK_CHECK_PROGRAM, {project});
    QCOMPARE(tsv.exitCode, 1);
    QCOMPARE(tsv.errors.count(u'\n'), 1);
    const QStringList lines = tsv.output.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].section(u'\t', 1), QStringLiteral(R"(G\tH / n\\m)") + u'\t' + missing + u'\t');
    QCOMPARE(lines[1].section(u'\t', 1), QStringLiteral(R"(G\tH / m)") + u'\t' + moved + u'\t' + server.url(QStringLiteral("/ok")));
    const Run json = run(VORMIK_CHECK_PROGRAM, {QStringLiteral("--format"), QStringLiteral("json"), project});
    const QJsonArray links = QJsonDocument::fromJson(json.output.toUtf8()).array();
    QCOMPARE(links.size(), 2);
    QCOMPARE(links[0][u"node"].toArray(), QJsonArray({QStringLiteral("G\tH"), QStringLiteral("n\\m")}));
    QCOMPARE(links[1][u"newAddress"].toString(), server.url(QStringLiteral("/ok")));
    QVERIFY(links[0][u"broken"].toBool() && !links[1][u"broken"].toBool());
}

QTEST_GUILESS_MAIN(TestLinkPrograms)
#include "tst_linkprograms.moc"
