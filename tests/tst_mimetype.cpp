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
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestMimeType : public QObject
{
    Q_OBJECT

    QTemporaryDir dataHome;

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
        // Where Vormik is installed, the source tree's type stands in for the installed one.
        for (const QFileInfo &system : QDir(QStringLiteral("/usr/share/mime/packages")).entryInfoList({"*.xml"}))
            QVERIFY(system.fileName() == "vormik.xml" || QFile::copy(system.filePath(), packages.filePath(system.fileName())));
        QVERIFY(QFile::copy(QStringLiteral(VORMIK_SOURCE_DIR "/resources/vormik-mime.xml"),
                            packages.filePath(QStringLiteral("vormik.xml"))));
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
        if (!have(QStandardPaths::findExecutable("gio"), "gio") || !have(QStandardPaths::findExecutable("update-desktop-database"), "update-desktop-database"))
            return;
        // Installed as the package installs it; GIO lists no program it cannot find on the path.
        const QDir home(dataHome.path());
        QVERIFY(home.mkpath("share/applications") && home.mkpath("bin") && QFile::link(VORMIK_PROGRAM, home.filePath("bin/vormik")));
        QVERIFY(QFile::copy(VORMIK_SOURCE_DIR "/resources/vormik.desktop", home.filePath("share/applications/vormik.desktop")));
        QCOMPARE(QProcess::execute("update-desktop-database", {home.filePath("share/applications")}), 0);
        qputenv("PATH", QFile::encodeName(home.filePath("bin")) + ':' + qgetenv("PATH"));
        QProcess gio;
        gio.start("gio", {"info", "-a", "standard::content-type", file("gio.xml", ProjectFile::write(LinkTree()))});
        const QString type = QString::fromUtf8(gio.waitForFinished() ? gio.readAll() : "").section(": ", -1).trimmed();
        // The programs GIO lists for the type it sees, one a line, indented.
        gio.start("gio", {"mime", type});
        QVERIFY2(gio.waitForFinished() && QString::fromUtf8(gio.readAll()).split('\n').contains("\tvormik.desktop"), qPrintable(type));
    }
};

QTEST_GUILESS_MAIN(TestMimeType)
#include "tst_mimetype.moc"
