// The desktop tells a Vormik project from any other XML by what it holds, through the type
// Vormik registers with shared-mime-info; GIO, which goes by the name alone, still offers Vormik.
#include "RequiredTool.h"
#include "html/PageGenerator.h"
#include "project/ProjectFile.h"
#include "tree/LinkTree.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestMimeType : public QObject
{
    Q_OBJECT

    QTemporaryDir dataHome;

    // What a GIO command prints with the test's desktop, in the language the test reads.
    QString gio(const QStringList &arguments)
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH", dataHome.filePath("bin") + ':' + environment.value("PATH"));
        environment.insert("XDG_CONFIG_HOME", dataHome.filePath("config"));
        environment.insert("XDG_CONFIG_DIRS", dataHome.filePath("config"));
        environment.insert("LC_ALL", "C.UTF-8");
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral("gio"), arguments);
        if (!program.waitForFinished(10000) || program.exitCode() != 0)
            qWarning("gio %s failed", qPrintable(arguments.join(' ')));
        return QString::fromUtf8(program.readAllStandardOutput());
    }

    QString file(const QString &name, const QByteArray &bytes)
    {
        QFile out(dataHome.filePath(name));
        if (!out.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(out.fileName()));
        out.write(bytes);
        return out.fileName();
    }

private slots:
    void initTestCase()
    {
        // The desktop's database as the package leaves it: the system's types and ours, compiled
        // together by shared-mime-info, in a folder of this test's own before the database loads.
        const QDir packages(dataHome.filePath(QStringLiteral("share/mime/packages")));
        QVERIFY(packages.mkpath(QStringLiteral(".")));
        // Where Vormik is installed, its own package is among the system's; this one is tested.
        const QString ours = packages.filePath(QStringLiteral("vormik.xml"));
        for (const QFileInfo &system : QDir(QStringLiteral("/usr/share/mime/packages")).entryInfoList({"*.xml"})) {
            if (packages.filePath(system.fileName()) != ours)
                QVERIFY(QFile::copy(system.filePath(), packages.filePath(system.fileName())));
        }
        QVERIFY(QFile::copy(QStringLiteral(VORMIK_SOURCE_DIR "/resources/vormik-mime.xml"), ours));
        QCOMPARE(QProcess::execute(QStringLiteral("update-mime-database"),
                                   {dataHome.filePath(QStringLiteral("share/mime"))}),
                 0);
        qputenv("XDG_DATA_DIRS", QFile::encodeName(dataHome.filePath(QStringLiteral("share"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.filePath(QStringLiteral("home"))));
    }

    void projectFilesAndOnlyThem_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("project");
        LinkTree tree;
        tree.appendLink(nullptr, QStringLiteral("リンク"));
        QTest::newRow("saved by Vormik") << ProjectFile::write(tree) << true;
        QFile windows(QStringLiteral(VORMIK_TEST_DATA "/project/windows-layout.xml"));
        QVERIFY(windows.open(QIODevice::ReadOnly));
        QTest::newRow("written on Windows") << windows.readAll() << true;
        QTest::newRow("other XML holding the name")
            << QByteArray("<?xml version='1.0'?>\n<catalog><NodeData><Application/></NodeData></catalog>") << false;
        QTest::newRow("XHTML page") << PageGenerator::buildPage(tree, ExportSettings()).bytes << false;
    }

    void projectFilesAndOnlyThem()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, project);
        const QString path = file(QStringLiteral("%1.xml").arg(QTest::currentDataTag()), bytes);
        // By what the file holds, as a file manager tells one .xml file from another.
        const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchContent);
        QCOMPARE(type.name() == QLatin1String("application/x-vormik-project"), project);
        QVERIFY(type.inherits(QStringLiteral("application/xml")));
    }

    void gioOffersVormikForProjects()
    {
        if (!have(QStandardPaths::findExecutable("gio"), "gio (libglib2.0-bin)")
            || !have(QStandardPaths::findExecutable("update-desktop-database"), "update-desktop-database"))
            return;
        // The desktop entry where the package puts it, indexed as the package's installation does,
        // and its program on the path: GIO lists no entry whose program it cannot find.
        const QDir applications(dataHome.filePath("share/applications"));
        QVERIFY(applications.mkpath("."));
        QVERIFY(QFile::copy(VORMIK_SOURCE_DIR "/resources/vormik.desktop", applications.filePath("vormik.desktop")));
        QCOMPARE(QProcess::execute("update-desktop-database", {applications.path()}), 0);
        QVERIFY(QDir(dataHome.path()).mkpath("bin"));
        QVERIFY(QFile::link(VORMIK_PROGRAM, dataHome.filePath("bin/vormik")));

        LinkTree tree;
        tree.appendLink(nullptr, QStringLiteral("リンク"));
        const QString project = file("gio.xml", ProjectFile::write(tree));
        static const QRegularExpression typeLine("standard::content-type: (\\S+)");
        const QString type = typeLine.match(gio({"info", "-a", "standard::content-type", project})).captured(1);
        QVERIFY(!type.isEmpty());
        // The programs GIO lists for the type it sees: one a line, indented.
        QVERIFY2(gio({"mime", type}).split('\n').contains("\tvormik.desktop"), qPrintable(type));
    }
};

QTEST_GUILESS_MAIN(TestMimeType)
#include "tst_mimetype.moc"
