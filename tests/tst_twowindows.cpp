// Two Vormik programs on an X display of their own (Xvfb), driven with real pointer and key
// events through xdotool: a group larger than the display takes in one request, dragged from one
// window into the other, arrives whole, and neither program ends.
#include "Controls.h"
#include "RequiredTool.h"
#include "app/window/MainWindow.h"
#include "project/ProjectFile.h"
#include "tree/LinkTree.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

const QSize WindowSize(600, 700);

// A program found on the PATH, or nothing.
QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QLatin1String(name));
}

QByteArray run(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.waitForFinished(120000);
    return process.readAllStandardOutput();
}

// Where, in a window of WindowSize, the tree's first row lies and where a drop lands below its
// rows, as the window lays itself out with one group in the tree.
std::pair<QPoint, QPoint> treePoints(const QString &project)
{
    MainWindow window;
    window.resize(WindowSize);
    window.openAtStart(project);
    window.show();
    auto *tree = control<QTreeView>(window, "TreeView1");
    const QRect row = tree->visualRect(tree->model()->index(0, 0));
    const QWidget *rows = tree->viewport();
    return {rows->mapTo(&window, row.center()),
            rows->mapTo(&window, QPoint(rows->width() / 2, rows->height() - row.height()))};
}

} // namespace

class TestTwoWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void aGroupLargerThanARequestIsDraggedWholeToAnotherWindow()
    {
        const QString xvfb = tool("Xvfb"), xdotool = tool("xdotool"), xdpyinfo = tool("xdpyinfo");
        if (!have(xvfb, "Xvfb") || !have(xdotool, "xdotool") || !have(xdpyinfo, "xdpyinfo"))
            return;
        QTemporaryDir dir;
        LinkTree big, small;
        LinkNode *group = big.appendGroup(nullptr, QStringLiteral("大きなグループ"));
        for (int i = 0; i < 100000; ++i)
            big.appendLink(group, QStringLiteral("link %1").arg(i))->record().Href =
                QStringLiteral("https://example.jp/menu/page-%1.html").arg(i);
        small.appendLink(small.appendGroup(nullptr, QStringLiteral("small")), QStringLiteral("a"));
        const QString fileA = dir.filePath(QStringLiteral("a.xml")), fileB = dir.filePath(QStringLiteral("b.xml"));
        ProjectFile::save(big, fileA);
        ProjectFile::save(small, fileB);
        const auto [grab, drop] = treePoints(fileB);

        QProcess display;
        // -noreset: a server that resets as its first client (xdpyinfo) leaves refuses the next one.
        const QString screen = QStringLiteral("%1x%2x24").arg(WindowSize.width() * 2 + 40).arg(WindowSize.height());
        display.start(xvfb, {"-noreset", "-displayfd", "1", "-screen", "0", screen});
        QTRY_VERIFY_WITH_TIMEOUT(display.canReadLine(), 30000);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), ':' + QString::fromLatin1(display.readLine().trimmed()));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path());
        // libxkbcommon-x11 gives strndup() names with no NUL, which strict checks take for an overflow.
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           environment.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":strict_string_checks=0"));
        const QByteArray fragment = ProjectFile::writeFragment(big, {group});
        const QRegularExpressionMatch limit = QRegularExpression(QStringLiteral("maximum request size: *(\\d+)"))
                                                  .match(QString::fromLatin1(run(xdpyinfo, {}, environment)));
        QVERIFY(limit.hasMatch());
        QVERIFY2(fragment.size() > limit.captured(1).toLongLong(), "the group must be larger than one request");

        QProcess a, b;
        QStringList windows;
        for (auto [program, file, x] : {std::tuple(&a, fileA, 0), std::tuple(&b, fileB, WindowSize.width() + 40)}) {
            program->setProcessEnvironment(environment);
            program->setProcessChannelMode(QProcess::ForwardedChannels);
            program->start(QStringLiteral(VORMIK_PROGRAM), {file});
            QVERIFY(program->waitForStarted());
            // Found once its title names the file: the file is open.
            const QStringList search{"search", "--all", "--onlyvisible", "--pid", QString::number(program->processId()),
                                     "--name", QLatin1Char('^') + QRegularExpression::escape(QFileInfo(file).fileName())};
            QString window;
            const auto found = [&, program = program] {
                window = QString::fromLatin1(run(xdotool, search, environment).split('\n').constFirst());
                return !window.isEmpty() || program->state() != QProcess::Running;
            };
            QTRY_VERIFY_WITH_TIMEOUT(found(), 60000);
            QVERIFY(!window.isEmpty());
            windows << window;
            const QString width = QString::number(WindowSize.width()), height = QString::number(WindowSize.height());
            run(xdotool, {"windowsize", "--sync", window, width, height, "windowmove", "--sync", window, QString::number(x), "0"},
                environment);
        }

        // Pressed on the group's row, moved in steps into the other tree, held there, released.
        const QPoint to = drop + QPoint(WindowSize.width() + 40, 0);
        QStringList drag{"mousemove", QString::number(grab.x()), QString::number(grab.y()), "sleep", "0.5", "mousedown", "1"};
        for (int step = 1; step <= 12; ++step) {
            const QPoint at = grab + (to - grab) * step / 12;
            drag << "mousemove" << QString::number(at.x()) << QString::number(at.y()) << "sleep" << "0.3";
        }
        run(xdotool, drag << "sleep" << "5" << "mouseup" << "1", environment);
        const qint64 smallSize = QFileInfo(fileB).size();
        run(xdotool, {"windowfocus", "--sync", windows.at(1), "key", "ctrl+s"}, environment);

        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(fileB).size() > smallSize || a.state() != QProcess::Running
                                     || b.state() != QProcess::Running,
                                 120000);
        QCOMPARE(a.state(), QProcess::Running);
        QCOMPARE(b.state(), QProcess::Running);
        const std::unique_ptr<LinkTree> saved = ProjectFile::open(fileB);
        QCOMPARE(saved->topLevelCount(), 2);
        QCOMPARE(ProjectFile::writeFragment(*saved, {saved->topLevel(1)}), fragment);
        for (QProcess *program : {&a, &b, &display}) {
            program->terminate();
            program->waitForFinished();
        }
    }
};

QTEST_MAIN(TestTwoWindows)
#include "tst_twowindows.moc"
