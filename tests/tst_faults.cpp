// Saving and exporting when the disk says no: the target is always byte-identical to the old or
// to the new version, never partial, and a reported failure leaves no temporary file behind.
#include "html/PageGenerator.h"
#include "project/ProjectFile.h"
#include "files/SafeFileWrite.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"
#include "FileHelpers.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::unique_ptr<LinkTree> makeTree(int links, const QString &word)
{
    auto tree = std::make_unique<LinkTree>();
    LinkNode *group = tree->appendGroup(nullptr, word);
    for (int i = 0; i < links; ++i) {
        LinkNode *link = tree->appendLink(group, QStringLiteral("%1 %2").arg(word).arg(i));
        link->record().Href = QStringLiteral("https://example.org/%1/%2.html").arg(word).arg(i);
    }
    return tree;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Runs `work` in a child process, as the unprivileged user when the tests run as root (root may
// write anywhere), and returns its exit status: 0 when it reported the failure, 1 when it did not.
int inChild(const std::function<void()> &setUp, const std::function<void()> &work)
{
    const pid_t pid = fork();
    if (pid == 0) {
        setUp();
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        try {
            work();
        } catch (const VormikError &error) {
            _exit(error.message().isEmpty() ? 2 : 0);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

enum class Writer { Save, Export };

void write(Writer writer, LinkTree &tree, const QString &path)
{
    if (writer == Writer::Save) {
        ProjectFile::save(tree, path);
    } else {
        ExportSettings settings;
        settings.outputFileName = path;
        PageGenerator::exportPage(tree, settings);
    }
}

} // namespace

Q_DECLARE_METATYPE(Writer)

class TestFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir tmp;
    QString folder;

    QStringList filesIn(const QString &path) { return QDir(path).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void init()
    {
        QVERIFY(tmp.isValid());
        folder = tmp.filePath(QStringLiteral("work-%1").arg(QRandomGenerator::global()->generate()));
        QVERIFY(QDir().mkpath(folder));
        // The unprivileged child must reach the folder.
        QFile::setPermissions(tmp.path(), QFileDevice::Permissions(0x7777));
        QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
        if (getuid() == 0) {
            QCOMPARE(chown(folder.toLocal8Bit().constData(), 65534, 65534), 0);
        }
    }

    // A device or a pipe is written into, never replaced by a file of the same name. The devices
    // are the test's own (root only), so a fault here never replaces the system's.
    void specialFilesAreWrittenIntoInPlace()
    {
        const QByteArray bytes = "a page\r\n";
        const QString fifo = QDir(folder).filePath(QStringLiteral("pipe"));
        QCOMPARE(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        // Open for reading first, without waiting, so a writer finds a reader and a fault cannot hang.
        const int reader = open(fifo.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        QVERIFY(!writeFileSafely(fifo, bytes));
        QByteArray received(64, '\0');
        received.resize(std::max<ssize_t>(0, read(reader, received.data(), received.size())));
        close(reader);
        QCOMPARE(received, bytes);

        QStringList special{fifo};
        if (getuid() == 0) {
            const QString null = QDir(folder).filePath(QStringLiteral("null"));
            const QString full = QDir(folder).filePath(QStringLiteral("full"));
            QCOMPARE(mknod(null.toLocal8Bit().constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
            QCOMPARE(mknod(full.toLocal8Bit().constData(), S_IFCHR | 0666, makedev(1, 7)), 0);
            QVERIFY(!writeFileSafely(null, bytes));
            // A full device says so, and stays the device it was.
            const QString reason = writeFileSafely(full, bytes).value_or(QString());
            QVERIFY2(!systemErrorText(ENOSPC).isEmpty() && reason.startsWith(systemErrorText(ENOSPC)), qPrintable(reason));
            special << null << full;
        }
        for (const QString &path : special) {
            struct stat info{};
            QCOMPARE(stat(path.toLocal8Bit().constData(), &info), 0);
            QVERIFY2(!S_ISREG(info.st_mode), qPrintable(path));
        }
    }

    void refused_data()
    {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<QString>("fault");
        for (const auto &[name, writer] : {std::pair{"save", Writer::Save}, std::pair{"export", Writer::Export}}) {
            for (const char *fault : {"read-only file", "read-only folder", "missing folder", "file-size limit"})
                QTest::addRow("%s, %s", name, fault) << writer << QString::fromLatin1(fault);
        }
    }

    void refused()
    {
        QFETCH(Writer, writer);
        QFETCH(QString, fault);
        const QByteArray old = "the old version, which must survive\r\n";
        QString target = QDir(folder).filePath(QStringLiteral("target.xml"));
        writeFile(target, old);
        if (getuid() == 0)
            QCOMPARE(chown(target.toLocal8Bit().constData(), 65534, 65534), 0);
        auto tree = makeTree(5000, QStringLiteral("新しい"));

        std::function<void()> setUp = [] {};
        if (fault == QLatin1String("read-only file")) {
            QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadOther);
        } else if (fault == QLatin1String("read-only folder")) {
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                              | QFileDevice::ExeOther);
        } else if (fault == QLatin1String("missing folder")) {
            target = QDir(folder).filePath(QStringLiteral("no/such/folder/target.xml"));
        } else {
            setUp = [] { limitFileSize(16 * 1024); };
        }
        const QStringList before = filesIn(folder);
        QCOMPARE(inChild(setUp, [&] { write(writer, *tree, target); }), 0);
        QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
        if (fault != QLatin1String("missing folder"))
            QCOMPARE(readAll(target), old);
        QVERIFY(!QFileInfo::exists(QDir(folder).filePath(QStringLiteral("no"))));
        QCOMPARE(filesIn(folder), before);
    }

    void killedMidSave_data()
    {
        QTest::addColumn<Writer>("writer");
        QTest::newRow("save") << Writer::Save;
        QTest::newRow("export") << Writer::Export;
    }

    // The process dies at a random moment during a save: the target holds one whole version.
    void killedMidSave()
    {
        QFETCH(Writer, writer);
        const QString target = QDir(folder).filePath(QStringLiteral("target"));
        auto first = makeTree(20000, QStringLiteral("first"));
        auto second = makeTree(20000, QStringLiteral("second"));
        write(writer, *first, target);
        const QByteArray firstBytes = readAll(target);
        write(writer, *second, target);
        const QByteArray secondBytes = readAll(target);
        QVERIFY(firstBytes != secondBytes);

        for (int round = 0; round < 50; ++round) {
            const pid_t pid = fork();
            if (pid == 0) {
                for (int i = 0;; ++i)
                    write(writer, i % 2 ? *second : *first, target);
            }
            QVERIFY(pid > 0);
            usleep(QRandomGenerator::global()->bounded(1000, 60000));
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            const QByteArray now = readAll(target);
            QVERIFY2(now == firstBytes || now == secondBytes, qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(now.size())));
        }
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
