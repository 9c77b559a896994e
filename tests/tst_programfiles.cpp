#include "files/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A build folder or a portable copy keeps the help file and the ReadMe beside the program; an
// installed copy keeps the program in bin/ and them in the shared data folder.
class TestProgramFiles : public QObject
{
    Q_OBJECT

private slots:
    void besideTheProgramFirstThenSharedFolder_data()
    {
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("shared");
        QTest::addColumn<bool>("expectShared");
        QTest::newRow("beside only") << true << false << false;
        QTest::newRow("shared only") << false << true << true;
        QTest::newRow("both") << true << true << false;
        QTest::newRow("neither: where it was first looked for") << false << false << false;
    }

    void besideTheProgramFirstThenSharedFolder()
    {
        QFETCH(bool, beside);
        QFETCH(bool, shared);
        QFETCH(bool, expectShared);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString name = QStringLiteral("VORMIK.hlp");
        const QDir programDir(root.filePath(QStringLiteral("bin")));
        const QDir sharedDir(QDir::cleanPath(programDir.filePath(QStringLiteral(VORMIK_DATA_FROM_BIN))));
        for (const auto &[wanted, dir] : {std::pair(beside, programDir), std::pair(shared, sharedDir)}) {
            QVERIFY(dir.mkpath(QStringLiteral(".")));
            QFile file(dir.filePath(name));
            if (wanted)
                QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QDir expected = expectShared ? sharedDir : programDir;
        QCOMPARE(ProgramFiles::find(programDir.path(), name), expected.filePath(name));
    }
};

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "tst_programfiles.moc"
