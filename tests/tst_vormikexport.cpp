#include "FileHelpers.h"
#include "PageTrees.h"
#include "cli/ExportOptions.h"
#include "html/OutputList.h"
#include "html/PageGenerator.h"
#include "project/ProjectFile.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

Q_DECLARE_METATYPE(ExportSettings)

namespace {

struct Run
{
    int exitCode = -1;
    QString errors;
};

Run runExport(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VORMIK_EXPORT_PROGRAM), arguments);
    if (!process.waitForFinished(60000))
        qFatal("vormik-export did not finish");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

// The tree saved as a project file in `dir`; its path.
QString savedProject(const QTemporaryDir &dir, const LinkTree &tree)
{
    const QString path = dir.filePath(QStringLiteral("menu.xml"));
    ProjectFile::save(tree, path);
    return path;
}

// A project in `dir` keeping two outputs: a classic page in site/ with a group mark, and JSON.
QString projectWithOutputs(const QTemporaryDir &dir, const LinkTree &tree)
{
    QDir(dir.path()).mkdir(QStringLiteral("site"));
    ExportChoice page;
    page.settings.outputFileName = dir.filePath(QStringLiteral("site/menu.html"));
    page.settings.groupMark = QStringLiteral("◆");
    ExportChoice data;
    data.dataFormat = DataExport::Format::Json;
    data.settings.outputFileName = dir.filePath(QStringLiteral("menu.json"));
    const QString path = dir.filePath(QStringLiteral("menu.xml"));
    ProjectFile::save(tree, path, OutputLists::toProject({{page}, {data}}, QDir(dir.path())));
    return path;
}

} // namespace

class TestVormikExport : public QObject
{
    Q_OBJECT

private slots:
    void optionsMapToSettings_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<ExportSettings>("expected");
        ExportSettings defaults;
        defaults.outputFileName = QStringLiteral("out/page.htm");
        defaults.pageTitle = QStringLiteral("menu");
        QTest::newRow("none: the dialog's defaults, no font") << QStringList() << defaults;

        ExportSettings every = defaults;
        every.groupMark = QStringLiteral("■");
        every.fontName = QStringLiteral("ＭＳ ゴシック");
        every.classNameEntry = QStringLiteral("menu");
        every.foldingScript = false;
        every.defaultStyleSheet = false;
        every.softwareInfo = false;
        every.authorLink = false;
        QTest::newRow("every option") << QStringList{QStringLiteral("--mark"), QStringLiteral("■"),
                                                     QStringLiteral("--font=ＭＳ ゴシック"), QStringLiteral("--class"),
                                                     QStringLiteral("menu"), QStringLiteral("--no-script"),
                                                     QStringLiteral("--no-style"), QStringLiteral("--no-generator"),
                                                     QStringLiteral("--no-footer")}
                                      << every;

        for (const auto &[option, field] : {std::pair{"--no-script", &ExportSettings::foldingScript},
                                            std::pair{"--no-style", &ExportSettings::defaultStyleSheet},
                                            std::pair{"--no-generator", &ExportSettings::softwareInfo},
                                            std::pair{"--no-footer", &ExportSettings::authorLink}}) {
            ExportSettings one = defaults;
            one.*field = false;
            QTest::newRow(option) << QStringList{QLatin1String(option)} << one;
        }
        ExportSettings html5 = defaults;
        html5.format = PageFormat::Html5;
        QTest::newRow("--html5") << QStringList{QStringLiteral("--html5")} << html5;

        ExportSettings titled = html5;
        titled.pageTitle = QStringLiteral("案内 <&>");
        titled.pageLanguage = QStringLiteral("en-US");
        titled.separateFiles = true;
        QTest::newRow("--title --lang --separate-files")
            << QStringList{QStringLiteral("--html5"), QStringLiteral("--title=案内 <&>"), QStringLiteral("--lang"),
                           QStringLiteral("en-US"), QStringLiteral("--separate-files")}
            << titled;

        ExportSettings emptyMark = defaults;
        QTest::newRow("empty mark") << QStringList{QStringLiteral("--mark="), QStringLiteral("--font"), QString()}
                                    << emptyMark;
    }
    void optionsMapToSettings()
    {
        QFETCH(QStringList, options);
        QFETCH(ExportSettings, expected);
        const ExportOptions::Command command = ExportOptions::parse(
            QStringList{QStringLiteral("vormik-export")} + options
            + QStringList{QStringLiteral("menu.xml"), QStringLiteral("out/page.htm")});
        QCOMPARE(command.projectPath, QStringLiteral("menu.xml"));
        QVERIFY(command.choice.settings == expected);
    }

    void badArgumentsAreRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("no page without stored outputs") << QStringList{QStringLiteral("--no-stored"), QStringLiteral("menu.xml")};
        QTest::newRow("three paths") << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--fancy"), QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("mark without value") << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("--mark")};
        QTest::newRow("separate files to standard output") << QStringList{"--html5", "--separate-files", "a", "-"};
        QTest::newRow("relative site address") << QStringList{"--format=bookmarks", "--base-url=menu/", "a", "b"};
    }
    void badArgumentsAreRefused()
    {
        QFETCH(QStringList, arguments);
        QVERIFY_THROWS_EXCEPTION(VormikError, ExportOptions::parse(QStringList{QStringLiteral("vormik-export")} + arguments));
        const Run run = runExport(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(!run.errors.isEmpty());
    }

    // A stored output gives its settings, an option given overrides them, --no-stored gives none.
    void storedOutputsGiveTheirSettings_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after PROJECT
        QTest::addColumn<QString>("mark");          // on site/menu.html
        QTest::addColumn<bool>("json");             // menu.json written too
        QTest::newRow("every output") << QStringList() << "◆" << true;
        QTest::newRow("every output, overridden") << QStringList{"--mark=▶"} << "▶" << true;
        QTest::newRow("its page") << QStringList{"site/menu.html"} << "◆" << false;
        QTest::newRow("its page, overridden") << QStringList{"--mark=▶", "site/menu.html"} << "▶" << false;
        QTest::newRow("no stored") << QStringList{"--no-stored", "site/menu.html"} << "" << false;
    }
    void storedOutputsGiveTheirSettings()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mark);
        QTemporaryDir dir;
        LinkTree tree;
        buildWorkedExample(tree);
        const QString project = projectWithOutputs(dir, tree);
        for (QString &argument : arguments)
            argument.replace(QStringLiteral("site/"), dir.filePath(QStringLiteral("site/")));
        const Run run = runExport(QStringList{project} + arguments);
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        ExportSettings expected;
        expected.groupMark = mark;
        expected.outputFileName = dir.filePath(QStringLiteral("site/menu.html"));
        const QByteArray page = readAll(expected.outputFileName);
        QCOMPARE(page, PageGenerator::buildPage(*ProjectFile::open(project), expected).bytes);
        QTEST(QFile::exists(dir.filePath(QStringLiteral("menu.json"))), "json");
    }

    // --if-changed leaves a file with the same bytes as it was, modification time too, and writes
    // one whose bytes change; without it every file is written.
    void ifChangedTouchesOnlyChangedFiles()
    {
        QTemporaryDir dir;
        LinkTree tree;
        buildWorkedExample(tree);
        const QString project = projectWithOutputs(dir, tree);
        QCOMPARE(runExport({project}).exitCode, 0);
        const QString files[] = {dir.filePath(QStringLiteral("site/menu.html")), dir.filePath(QStringLiteral("menu.json"))};
        const QDateTime old = QDateTime::currentDateTime().addDays(-1);
        const auto modified = [](const QString &file) { return QFileInfo(file).fileTime(QFileDevice::FileModificationTime); };
        const auto age = [&] {
            for (const QString &file : files) {
                QFile handle(file);
                QVERIFY(handle.open(QIODevice::ReadWrite) && handle.setFileTime(old, QFileDevice::FileModificationTime));
            }
        };
        age();
        QCOMPARE(runExport({QStringLiteral("--if-changed"), project}).exitCode, 0);
        for (const QString &file : files)
            QCOMPARE(modified(file), old);
        QCOMPARE(runExport({project}).exitCode, 0);
        for (const QString &file : files)
            QVERIFY(modified(file) > old);

        age();
        const QByteArray before = readAll(files[0]);
        tree.setText(tree.nodeAt(0), QStringLiteral("改名"));
        ProjectFile::save(tree, project, ProjectFile::openProject(project).outputs);
        QCOMPARE(runExport({QStringLiteral("--if-changed"), project}).exitCode, 0);
        QVERIFY(readAll(files[0]) != before);
        for (const QString &file : files)
            QVERIFY(modified(file) > old);
    }

    // A project without outputs and no PAGE is a bad command (2); an output that cannot be written
    // fails (1), named, while the others are written.
    void everyOutputIsNamedInItsFailure_data()
    {
        QTest::addColumn<QString>("pageFile"); // the first output's, relative to the project
        QTest::addColumn<int>("exitCode");
        QTest::newRow("none kept") << QString() << 2;
        QTest::newRow("a folder in the way") << "taken.html" << 1;
        QTest::newRow("outside the project's folder") << "../menu.html" << 1;
        QTest::newRow("inside") << "site/menu.html" << 0;
    }
    void everyOutputIsNamedInItsFailure()
    {
        QFETCH(QString, pageFile);
        QTemporaryDir dir;
        const QString project = dir.filePath(QStringLiteral("p/menu.xml"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("p/site")) && QDir(dir.path()).mkpath(QStringLiteral("p/taken.html")));
        ProjectFile::Outputs outputs;
        if (!pageFile.isEmpty())
            outputs = {{{"Format", QStringLiteral("classic")}, {"PageFile", pageFile}},
                       {{"Format", QStringLiteral("opml")}, {"PageFile", QStringLiteral("menu.opml")}}};
        LinkTree tree;
        buildWorkedExample(tree);
        ProjectFile::save(tree, project, outputs);
        const Run run = runExport({project});
        QTEST(run.exitCode, "exitCode");
        QCOMPARE(!pageFile.isEmpty() && run.errors.contains(QFileInfo(pageFile).fileName()), run.exitCode == 1);
        QCOMPARE(QFile::exists(dir.filePath(QStringLiteral("p/menu.opml"))), !pageFile.isEmpty());
    }

    void helpSucceeds()
    {
        QCOMPARE(runExport({QStringLiteral("--help")}).exitCode, 0);
    }

    // "-" is standard output, and an existing pipe is written into, not replaced.
    void pageGoesToStandardOutputAndPipes()
    {
        QTemporaryDir dir;
        const QString projectPath = dir.filePath(QStringLiteral("menu.xml"));
        LinkTree tree;
        tree.appendLink(nullptr, QStringLiteral("リンク"))->record().Href = QStringLiteral("a.htm");
        ProjectFile::save(tree, projectPath);
        const QByteArray expected = PageGenerator::buildPage(tree, ExportSettings{}).bytes;

        QProcess toStdout;
        toStdout.start(QStringLiteral(VORMIK_EXPORT_PROGRAM), {projectPath, QStringLiteral("-")});
        QVERIFY(toStdout.waitForFinished(60000));
        QCOMPARE(toStdout.exitCode(), 0);
        QCOMPARE(toStdout.readAllStandardOutput(), expected);

        const QString pipe = dir.filePath(QStringLiteral("pipe"));
        QCOMPARE(mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
        QProcess toPipe;
        toPipe.start(QStringLiteral(VORMIK_EXPORT_PROGRAM), {projectPath, pipe});
        QFile reader(pipe);
        QVERIFY(reader.open(QIODevice::ReadOnly)); // until the program opens it to write
        const QByteArray received = reader.readAll(); // until the program closes it
        toPipe.waitForFinished(60000);
        QCOMPARE(toPipe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(toPipe.exitCode(), 0);
        QCOMPARE(received, expected);
        QVERIFY(!QFileInfo(pipe).isFile());
    }

    // The program prints what the editor's error box would show, and writes no page.
    void projectFaultsFailWithTheEditorsMessage_data()
    {
        QTest::addColumn<QByteArray>("project"); // empty: no file at all
        QTest::addColumn<QString>("message");
        QTest::newRow("missing project") << QByteArray() << QStringLiteral("を開けません");
        QTest::newRow("level jump") << QByteArray("<NodeData><Nodes>a\n\t\tb</Nodes></NodeData>")
                                    << QStringLiteral("アイテム \"b\" の階層 (2) が不正です.");
        QTest::newRow("entity") << QByteArray("<!DOCTYPE a [<!ENTITY x SYSTEM '/etc/passwd'>]><a><Nodes>&x;</Nodes></a>")
                                << QStringLiteral("DOCTYPE");
    }
    void projectFaultsFailWithTheEditorsMessage()
    {
        QFETCH(QByteArray, project);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString projectPath = dir.filePath(QStringLiteral("menu.xml"));
        if (!project.isEmpty()) {
            QFile file(projectPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(project);
        }
        const QString page = dir.filePath(QStringLiteral("page.htm"));
        const Run run = runExport({projectPath, page});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.errors.contains(projectPath) && run.errors.contains(message), qPrintable(run.errors));
        QVERIFY(!QFile::exists(page));
    }

    // The page on disk is byte for byte the page the generator builds from the opened project.
    void writesTheGeneratorsPage_data() { optionsMapToSettings_data(); }
    void writesTheGeneratorsPage()
    {
        QFETCH(QStringList, options);
        QTemporaryDir dir;
        const QString projectPath = dir.filePath(QStringLiteral("menu.xml"));
        LinkTree tree;
        LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("グループ①"));
        LinkNode *link = tree.appendLink(group, QStringLiteral("リンク <&>"));
        link->record().Href = QStringLiteral("a.htm?x=1&y=2");
        link->record().Target = QStringLiteral("_blank");
        link->record().Class = QStringLiteral("hot");
        tree.appendLink(tree.appendGroup(group, QStringLiteral("下")), QStringLiteral("😀"));
        tree.appendLink(nullptr, QStringLiteral("top"))->record().ObjID = QStringLiteral("t1");
        ProjectFile::save(tree, projectPath);

        const QString page = dir.filePath(QStringLiteral("page.htm"));
        const Run run = runExport(options + QStringList{projectPath, page});
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));

        const ExportOptions::Command command =
            ExportOptions::parse(QStringList{QStringLiteral("vormik-export")} + options + QStringList{projectPath, page});
        const std::unique_ptr<LinkTree> opened = ProjectFile::open(projectPath);
        QFile written(page);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), PageGenerator::buildPage(*opened, command.choice.settings).bytes);
    }

    // Each node without a name is one warning line naming the stand-in; the page is written all the same.
    void unnamedNodesAreWarnedOnStandardError()
    {
        QTemporaryDir dir;
        const QString projectPath = dir.filePath(QStringLiteral("menu.xml"));
        LinkTree tree;
        LinkNode *group = tree.appendGroup(nullptr, QString());
        tree.appendLink(group, QStringLiteral("named"))->record().Href = QStringLiteral("n.html");
        tree.appendLink(group, QString())->record().Href = QStringLiteral("a.html");
        ProjectFile::save(tree, projectPath);
        const QString page = dir.filePath(QStringLiteral("page.html"));
        const Run run = runExport({QStringLiteral("--html5"), projectPath, page});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines.at(0).contains(QStringLiteral("（名前なし）")) && lines.at(1).contains(QStringLiteral("a.html")),
                 qPrintable(run.errors));
        QVERIFY(QFile::exists(page));
    }

    // Bookmarks and OPML resolve relative addresses against --base-url; without it, a warning
    // counts them.
    void siteAddressResolvesRelativeLinks_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<bool>("warned");
        const QString site = "--base-url=https://example.org/menu/top.html";
        QTest::newRow("bookmarks") << QStringList{"--format=bookmarks"} << QByteArray("\"../faq.html\"") << true;
        QTest::newRow("opml") << QStringList{"--format=opml"} << QByteArray("\"../faq.html\"") << true;
        for (const char *format : {"bookmarks", "opml"})
            QTest::newRow(format) << QStringList{QStringLiteral("--format=") + format, site}
                                  << QByteArray("\"https://example.org/faq.html\"") << false;
    }
    void siteAddressResolvesRelativeLinks()
    {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, written);
        QFETCH(bool, warned);
        QTemporaryDir dir;
        LinkTree tree;
        tree.appendLink(nullptr, QStringLiteral("FAQ"))->record().Href = QStringLiteral("../faq.html");
        const QString out = dir.filePath(QStringLiteral("menu.data"));
        const Run run = runExport(options + QStringList{savedProject(dir, tree), out});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.errors.contains(QStringLiteral(" 1 ")), warned);
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll().contains(written));
    }

    // --csp-hashes prints the sources the window's message gives (without it, only warnings).
    void cspHashesOnRequest()
    {
        QTemporaryDir dir;
        LinkTree tree;
        tree.appendLink(nullptr, QStringLiteral("a"))->record().Href = QStringLiteral("a.html");
        const QStringList arguments{"--csp-hashes", "--html5", savedProject(dir, tree), dir.filePath("page.html")};
        const Run run = runExport(arguments);
        const QStringList sources =
            PageGenerator::buildPage(tree, ExportOptions::parse(QStringList{"vormik-export"} + arguments).choice.settings)
                .report.policySources;
        QCOMPARE(run.errors.split('\n', Qt::SkipEmptyParts), sources);
    }

    // A link's id that holds a space or repeats an earlier one is named on either page; on the
    // classic page, so is one equal to a group's id, which stops that group folding.
    void idFaultsAreWarned_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QStringList>("named"); // the links named, one a line
        QTest::newRow("classic") << "classic" << QStringList{"spaced", "second", "clash"};
        QTest::newRow("html5") << "html5" << QStringList{"spaced", "second"};
    }
    void idFaultsAreWarned()
    {
        QFETCH(QString, format);
        QFETCH(QStringList, named);
        QTemporaryDir dir;
        LinkTree tree;
        LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("G"));
        const std::pair<const char *, const char *> links[] = {
            {"fine", "fine"}, {"spaced", "a\tb"}, {"first", "same"}, {"second", "same"}, {"clash", "group-0-0"}};
        for (const auto &[name, id] : links)
            link(tree, group, QLatin1String(name), QStringLiteral("a.html"), {}, QLatin1String(id));
        const Run run = runExport({"--format", format, savedProject(dir, tree), dir.filePath("p.html")});
        const QStringList lines = run.errors.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), named.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QVERIFY2(lines.at(i).contains(QStringLiteral("「%1」").arg(named.at(i))), qPrintable(lines.at(i)));
    }

    void projectIsOnlyRead()
    {
        QTemporaryDir dir;
        const QString projectPath = dir.filePath(QStringLiteral("menu.xml"));
        LinkTree tree;
        tree.appendLink(tree.appendGroup(nullptr, QStringLiteral("G")), QStringLiteral("l"));
        ProjectFile::save(tree, projectPath);
        const QByteArray before = ProjectFile::write(tree);
        runExport({projectPath, dir.filePath(QStringLiteral("page.htm"))});
        QFile file(projectPath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }
};

QTEST_GUILESS_MAIN(TestVormikExport)
#include "tst_vormikexport.moc"
