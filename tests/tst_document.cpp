// The document as a user of a desktop editor expects it: the window knows its file, asks before
// work is lost, saves in place, and takes files from the command line, drops and the recent list.
#include "FileHelpers.h"
#include "TreeEdits.h"
#include "WindowFixture.h"
#include "app/document/ProjectDocument.h"
#include "app/document/RecentFiles.h"
#include "project/ProjectFile.h"

#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <functional>
#include <map>

class TestDocument : public QObject
{
    Q_OBJECT

    WindowFixture f;
    std::unique_ptr<QTemporaryDir> dir;

    QString path(const QString &name) const { return dir->filePath(name); }

    // A project file on disk holding one link of this text.
    QString storedFile(const QString &name, const QString &text)
    {
        LinkTree tree;
        tree.appendLink(nullptr, text);
        ProjectFile::save(tree, path(name));
        return path(name);
    }

    // A change as the user makes it: a top-level link added by its command.
    void edit() { f.clickMenuItem("DDLink_AddTop"); }

    QString title() const { return f.window->windowTitle(); }

    // Delivers a drop as the desktop does: entering first, which makes a widget that takes it the
    // drop's target. True when one took it; a dropped file opens once the drop has ended.
    static bool drop(QWidget *receiver, const QMimeData &data)
    {
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(receiver, &enter);
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(receiver, &dropped);
        QCoreApplication::processEvents();
        return enter.isAccepted();
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QSettings().clear();
        QVERIFY(f.open());
    }
    void cleanup() { f.close(); }

    // Closing, and every command that replaces the tree, first asks for the work it would lose;
    // an answer that keeps the work changes nothing, and undo brings back a replaced tree.
    void closingAsksBeforeWorkIsLost_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<int>("answer"); // Prompts::SaveChoice; -1: no question expected
        QTest::addColumn<QString>("saveAs"); // the name the save dialog gets; "<cancel>", or empty: not asked
        QTest::addColumn<bool>("closed"); // the window closed, or the tree replaced
        QTest::addColumn<bool>("written");
        using C = Prompts::SaveChoice;
        QTest::newRow("nothing to lose") << "close" << false << -1 << "" << true << false;
        QTest::newRow("save, a name asked") << "close" << true << int(C::Save) << "menu.xml" << true << true;
        QTest::newRow("save, name dialog cancelled") << "close" << true << int(C::Save) << "<cancel>" << false << false;
        QTest::newRow("save fails") << "close" << true << int(C::Save) << "missing/menu.xml" << false << false;
        QTest::newRow("don't save") << "close" << true << int(C::Discard) << "" << true << false;
        QTest::newRow("cancel") << "close" << true << int(C::Cancel) << "" << false << false;
        QTest::newRow("open, nothing to lose") << "open" << false << -1 << "" << true << false;
        QTest::newRow("open, cancel") << "open" << true << int(C::Cancel) << "" << false << false;
        QTest::newRow("new, save") << "new" << true << int(C::Save) << "menu.xml" << true << true;
        QTest::newRow("recent, save fails") << "recent" << true << int(C::Save) << "missing/menu.xml" << false << false;
        QTest::newRow("recent, don't save") << "recent" << true << int(C::Discard) << "" << true << false;
        QTest::newRow("drop, name dialog cancelled") << "drop" << true << int(C::Save) << "<cancel>" << false << false;
        QTest::newRow("drop, save") << "drop" << true << int(C::Save) << "menu.xml" << true << true;
    }

    void closingAsksBeforeWorkIsLost()
    {
        QFETCH(QString, command);
        QFETCH(bool, edited);
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, written);
        const QString other = storedFile("b.xml", "B");
        RecentFiles().add(other);
        if (edited)
            edit();
        const QStringList before = f.snapshot();
        if (answer >= 0)
            f.prompts->saveAnswers << Prompts::SaveChoice(answer);
        if (saveAs == "<cancel>")
            f.prompts->fileAnswers << std::nullopt;
        else if (!saveAs.isEmpty())
            f.prompts->fileAnswers << path(saveAs);

        QMimeData dropped;
        dropped.setUrls({QUrl::fromLocalFile(other)});
        // 終了 goes the way of the close box and Alt+F4: through the window's close.
        const std::map<QString, std::function<void()>> commands{
            {"close", [&] { f.ui->mnExit1->trigger(); }},
            {"new", [&] { f.ui->mnNew1->trigger(); }},
            {"open",
             [&] {
                 f.prompts->fileAnswers.prepend(other);
                 f.ui->mnOpen1->trigger();
             }},
            {"recent",
             [&] {
                 emit f.ui->mnRecent1->aboutToShow();
                 f.ui->mnRecent1->actions().constFirst()->trigger();
             }},
            {"drop", [&] { drop(f.window.get(), dropped); }},
        };
        commands.at(command)();
        QTEST(command == "close" ? !f.window->isVisible() : f.snapshot() != before, "closed");
        QCOMPARE(f.prompts->questions.size(), answer >= 0 ? 1 : 0);
        QCOMPARE(!saveAs.isEmpty() && saveAs != "<cancel>" && QFile::exists(path(saveAs)), written);
        QCOMPARE(f.prompts->messages.size(), saveAs.startsWith("missing") ? 1 : 0);
        if (answer >= 0)
            QCOMPARE(f.prompts->questions.constFirst().text, QStringLiteral("変更を保存しますか？"));
        if (command != "close" && f.snapshot() != before) {
            f.ui->UndoAction1->trigger();
            QCOMPARE(f.snapshot(), before);
        }
        QCOMPARE(f.window->isWindowModified(), edited && !written);
    }

    void titleNamesTheFileAndMarksChanges()
    {
        QCOMPARE(title(), QStringLiteral("無題[*] - ヴォルミク"));
        QVERIFY(!f.window->isWindowModified());
        edit();
        QVERIFY(f.window->isWindowModified());

        f.prompts->fileAnswers << path("menu.xml");
        f.ui->mnSaveOverwrite1->trigger();
        QCOMPARE(title(), QStringLiteral("menu.xml[*] - ヴォルミク"));
        QCOMPARE(f.window->windowFilePath(), path("menu.xml"));
        QVERIFY(!f.window->isWindowModified());

        const std::pair<QAction *, bool> steps[] = {
            {nullptr, true}, {f.ui->UndoAction1, false}, {f.ui->UndoAction1, true},
            {f.ui->RedoAction1, false}, {f.ui->RedoAction1, true},
        };
        for (const auto &[action, modified] : steps) {
            if (action)
                action->trigger();
            else
                edit();
            QCOMPARE(f.window->isWindowModified(), modified);
        }
    }

    void quickSaveWritesTheCurrentFileWithoutADialog()
    {
        QVERIFY(f.window->document().openFile(storedFile("a.xml", "old")));
        edit();
        f.ui->mnSaveOverwrite1->trigger();
        QVERIFY(f.prompts->fileDialogs.isEmpty());
        QVERIFY(f.prompts->questions.isEmpty());
        QCOMPARE(ProjectFile::open(path("a.xml"))->count(), 2);
        QVERIFY(!f.window->isWindowModified());
    }

    // Undoing an Open gives back the file of the tree before it, so quick save writes that file.
    void undoneOpenTakesItsFileAlong()
    {
        QVERIFY(f.window->document().openFile(storedFile("a.xml", "A")));
        QVERIFY(f.window->document().openFile(storedFile("b.xml", "B")));
        const QByteArray b = readAll(path("b.xml"));
        f.ui->UndoAction1->trigger();
        QCOMPARE(f.window->document().fileName(), path("a.xml"));
        QVERIFY(!f.window->isWindowModified());
        edit();
        f.ui->mnSaveOverwrite1->trigger();
        QCOMPARE(readAll(path("b.xml")), b);
        QCOMPARE(ProjectFile::open(path("a.xml"))->nodeAt(0)->text(), QString("A"));
        QCOMPARE(ProjectFile::open(path("a.xml"))->count(), 2);

        // Back before the first Open: the untitled tree, saved as it was.
        f.ui->UndoAction1->trigger();
        f.ui->UndoAction1->trigger();
        QCOMPARE(f.window->document().fileName(), QString());
        QCOMPARE(title(), QStringLiteral("無題[*] - ヴォルミク"));
        QVERIFY(!f.window->isWindowModified());
        f.ui->RedoAction1->trigger();
        QCOMPARE(f.window->document().fileName(), path("a.xml"));
    }

    void editorsNeverShowANodeNoLongerSelected()
    {
        LinkAttr fields;
        fields.Href = "x.html";
        f.clickNode(TreeEdits::appendLink(f.model(), nullptr, "x", fields));
        QCOMPARE(f.ui->HrefEdit->text(), QString("x.html"));
        QVERIFY(f.window->document().openFile(storedFile("a.xml", "A")));
        for (QAction *undo : {static_cast<QAction *>(nullptr), f.ui->UndoAction1}) {
            if (undo)
                undo->trigger();
            QCOMPARE(f.ui->HrefEdit->text(), QString());
            QCOMPARE(f.ui->LinkTextEdit->text(), QString());
            QVERIFY(!f.ui->HrefEdit->isEnabled());
            QVERIFY(!f.ui->GroupNameEdit->isEnabled());
        }
    }

    void savingAppliesTheEditorBeingLeft()
    {
        f.prompts->fileAnswers << path("menu.xml");
        f.ui->mnSave1->trigger();
        edit();
        f.ui->ClassEdit->setFocus();
        QTest::keyClicks(f.ui->ClassEdit, "  nav  ");
        f.ui->mnSaveOverwrite1->trigger();
        QCOMPARE(ProjectFile::open(path("menu.xml"))->nodeAt(0)->record().Class, QString("nav"));
    }

    void filesComeFromTheCommandLineAndDrops()
    {
        f.window->openAtStart(storedFile("start.xml", "S"));
        QCOMPARE(f.tree().nodeAt(0)->text(), QString("S"));
        QCOMPARE(title(), QStringLiteral("start.xml[*] - ヴォルミク"));

        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(storedFile("dropped.xml", "D"))});
        QVERIFY(drop(f.window.get(), data));
        QTRY_COMPARE(f.window->document().fileName(), path("dropped.xml"));
        QCOMPARE(f.tree().nodeAt(0)->text(), QString("D"));
        f.ui->UndoAction1->trigger();
        QCOMPARE(f.tree().nodeAt(0)->text(), QString("S"));

        // A file that cannot be opened leaves an empty window and says why.
        f.make();
        f.window->openAtStart(path("none.xml"));
        QCOMPARE(f.prompts->messages.size(), 1);
        QVERIFY(f.tree().isEmpty());
    }

    // A large node drag names the file that hands its nodes over: released beside the tree it does
    // nothing, and that file never becomes the document, not even dropped on its own.
    void aNodeDragNeverOpensAFile()
    {
        LinkTree large;
        LinkNode *group = large.appendGroup(nullptr, "G");
        for (int i = 0; i < 600; ++i)
            large.appendLink(group, QString(2000, 'a'));
        ProjectFile::save(large, path("large.xml"));
        QVERIFY(f.window->document().openFile(path("large.xml")));
        const std::unique_ptr<QMimeData> nodes(f.model().mimeData({f.model().index(0, 0)}));
        QMimeData file;
        file.setUrls(nodes->urls());
        QVERIFY(!drop(f.ui->ListView1->viewport(), *nodes));
        QVERIFY(drop(f.window.get(), file));
        QCOMPARE(f.window->document().fileName(), path("large.xml"));
        QCOMPARE(f.prompts->messages.size(), 1);
        QCOMPARE(RecentFiles().files(), QStringList({path("large.xml")}));
    }

    // A save while typing is the saved point: undoing one more character gives back the saved text.
    void savingWhileTypingMarksTheSavedPoint()
    {
        f.clickNode(TreeEdits::appendLink(f.model(), nullptr, "x"));
        f.ui->LinkTextEdit->setFocus();
        QTest::keyClicks(f.ui->LinkTextEdit, "yz");
        f.prompts->fileAnswers << path("menu.xml");
        QTest::keySequence(f.ui->LinkTextEdit, f.ui->mnSaveOverwrite1->shortcut());
        QTest::keyClicks(f.ui->LinkTextEdit, "!");
        QVERIFY(f.window->isWindowModified());
        f.ui->UndoAction1->trigger();
        QCOMPARE(f.ui->LinkTextEdit->text(), QString("xyz"));
        QVERIFY(!f.window->isWindowModified());
    }

    void optionsNeedNoDisplay_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("printed");
        QTest::newRow("help") << "--help" << 0 << "[FILE...]";
        QTest::newRow("version") << "--version" << 0 << VORMIK_VERSION;
        QTest::newRow("unknown option") << "--bogus" << 1 << "'bogus'";
    }

    void optionsNeedNoDisplay()
    {
        QFETCH(QString, option);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(VORMIK_PROGRAM, {option});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QTEST(program.exitCode(), "status");
        QFETCH(QString, printed);
        const QString output = QString::fromUtf8(program.readAll());
        QVERIFY2(output.contains(printed), qPrintable(output));
    }

    void recentFilesNewestFirstAndGoneOnesLeave()
    {
        f.prompts->fileAnswers << path("a.xml") << path("b.xml");
        f.ui->mnSave1->trigger();
        f.ui->mnSave1->trigger();
        QVERIFY(f.window->document().openFile(path("a.xml")));
        QFile::remove(path("b.xml"));

        QMenu *recent = f.ui->mnRecent1;
        emit recent->aboutToShow();
        QStringList items;
        for (QAction *a : recent->actions())
            items << a->text();
        QVERIFY2(items.size() == 4 && items[0].endsWith("a.xml") && items[1].endsWith("b.xml"), qPrintable(items.join('|')));

        recent->actions().at(1)->trigger();
        QCOMPARE(f.prompts->messages.size(), 1);
        QCOMPARE(f.window->document().fileName(), path("a.xml"));
        emit recent->aboutToShow();
        QCOMPARE(recent->actions().size(), 3); // a.xml, the separator, 履歴を消去
        recent->actions().constLast()->trigger();
        emit recent->aboutToShow();
        QCOMPARE(recent->actions().size(), 1);
        QVERIFY(!recent->actions().constFirst()->isEnabled());
    }
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
