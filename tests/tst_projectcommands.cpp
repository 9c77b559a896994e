#include "TreeEdits.h"
#include "app/document/ProjectDocument.h"
#include "app/window/MainWindow.h"
#include "project/ProjectFile.h"
#include "app/editing/LinkTreeModel.h"
#include "WindowFixture.h"
#include "files/SafeFileWrite.h"

#include <cerrno>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTest>

#include "ProjectFixtures.h"


class TestProjectCommands : public QObject
{
    Q_OBJECT

    WindowFixture fixture;
    MainWindow *window = nullptr;
    MainWindowParts *ui = nullptr;
    ScriptedPrompts *prompts = nullptr;
    std::unique_ptr<QTemporaryDir> dir;

    QString path(const QString &name) const { return dir->filePath(name); }

    // A tree, a filled list and filled editors, as a user would have them mid-edit.
    void fillWindow()
    {
        LinkTreeModel &model = window->treeModel();
        LinkNode *group = TreeEdits::appendGroup(model, nullptr, QStringLiteral("グループ"));
        LinkAttr fields;
        fields.Href = QStringLiteral("a.htm");
        LinkNode *link = TreeEdits::appendLink(model, group, QStringLiteral("リンク"), fields);
        TreeEdits::appendLink(model, nullptr, QStringLiteral("top"));
        window->selectNode(link);
        const QSignalBlocker b1(ui->GroupNameEdit), b2(ui->LinkTextEdit), b3(ui->HrefEdit),
            b4(ui->TargetCmbBox), b5(ui->ClassEdit), b6(ui->IDEdit);
        ui->GroupNameEdit->setText(QStringLiteral("グループ"));
        ui->LinkTextEdit->setText(QStringLiteral("リンク"));
        ui->HrefEdit->setText(QStringLiteral("a.htm"));
        ui->TargetCmbBox->setEditText(QStringLiteral("_top"));
        ui->ClassEdit->setText(QStringLiteral("k"));
        ui->IDEdit->setText(QStringLiteral("id"));
    }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        fixture.make();
        window = fixture.window.get();
        ui = fixture.ui.get();
        prompts = fixture.prompts;
    }
    void cleanup() { fixture.close(); }

    void saveAsksAndWrites()
    {
        fillWindow();
        const WindowState before(*window);
        prompts->fileAnswers << path(QStringLiteral("menu.xml")) << path(QStringLiteral("other.xml"));
        ui->mnSave1->trigger();
        ui->mnSave1->trigger();

        QCOMPARE(prompts->fileDialogs.size(), 2);
        const Prompts::FileDialog &first = prompts->fileDialogs.at(0);
        QCOMPARE(first.filter, QStringLiteral("ヴォルミクセーブデータ (*.xml)|*.xml;"));
        QCOMPARE(first.defaultSuffix, QStringLiteral("xml"));
        QCOMPARE(first.fileName, QString());
        QVERIFY(first.confirmOverwrite);
        QCOMPARE(prompts->fileDialogs.at(1).fileName, path(QStringLiteral("menu.xml")));
        QVERIFY(prompts->messages.isEmpty());
        QCOMPARE(WindowState(*window), before);

        QFile saved(path(QStringLiteral("other.xml")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), ProjectFile::write(window->treeModel().tree()));
    }

    // Whatever name the dialog hands back (a platform dialog may add the extension after its own
    // check), an existing file is replaced only after a yes to that very name.
    void replacingAFileTakesAYesToThatName_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("save") << "mnSave1";
        QTest::newRow("export") << "mnOutPutHTML1";
    }

    void replacingAFileTakesAYesToThatName()
    {
        QFETCH(QString, command);
        QAction *action = window->findChild<QAction *>(command);
        fillWindow();
        writeFile(QStringLiteral("menu.htm"), "kept");
        const QString existing = path(QStringLiteral("menu.htm"));
        // No: the dialog comes back with the name, and is then cancelled.
        prompts->fileAnswers << existing << std::nullopt;
        prompts->questionAnswers << false;
        action->trigger();
        QCOMPARE(prompts->questions.size(), 1);
        QVERIFY(prompts->questions.at(0).text.contains(QDir::toNativeSeparators(existing)));
        QCOMPARE(prompts->fileDialogs.size(), 2);
        QCOMPARE(prompts->fileDialogs.at(1).fileName, existing);
        QFile kept(existing);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("kept"));
        kept.close();
        if (command != QLatin1String("mnSave1"))
            return;

        // A name with no file behind it asks nothing; yes to an existing one replaces it.
        prompts->fileAnswers << path(QStringLiteral("new.xml")) << existing;
        prompts->questionAnswers << true;
        action->trigger();
        action->trigger();
        QCOMPARE(prompts->questions.size(), 2);
        QVERIFY(QFile::exists(path(QStringLiteral("new.xml"))));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), ProjectFile::write(window->treeModel().tree()));
        QCOMPARE(window->document().fileName(), existing);
    }

    void failedSaveShowsTheErrorBox()
    {
        fillWindow();
        const QString target = path(QStringLiteral("missing/menu.xml"));
        prompts->fileAnswers << target;
        ui->mnSave1->trigger();
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages.at(0).icon, Prompts::Icon::Critical);
        QCOMPARE(prompts->messages.at(0).caption, QStringLiteral("Vormik"));
        QVERIFY(prompts->messages.at(0).text.startsWith(QStringLiteral("ファイル %1 を作成できません: %2（").arg(target, systemErrorText(ENOENT))));
        // The tree does not belong to a file that was never written.
        QCOMPARE(window->document().fileName(), QString());
    }

    void openReplacesTheTree()
    {
        fillWindow();
        LinkTree stored;
        LinkNode *group = stored.appendGroup(nullptr, QStringLiteral("G"));
        stored.appendLink(group, QStringLiteral("l"))->record().Target = QStringLiteral("_blank");
        ProjectFile::save(stored, path(QStringLiteral("menu.xml")));

        prompts->fileAnswers << path(QStringLiteral("menu.xml"));
        ui->mnOpen1->trigger();
        QVERIFY(prompts->messages.isEmpty());
        const Prompts::FileDialog &dialog = prompts->fileDialogs.at(0);
        QCOMPARE(dialog.filter, QStringLiteral("ヴォルミクセーブデータ (*.xml)|*.xml;"));
        QCOMPARE(dialog.defaultSuffix, QStringLiteral("xml"));
        QVERIFY(!dialog.confirmOverwrite);
        const LinkTree &tree = window->treeModel().tree();
        QCOMPARE(tree.count(), 2);
        QVERIFY(tree.nodeAt(0)->isGroup());
        QCOMPARE(tree.nodeAt(1)->record().Target, QStringLiteral("_blank"));
        QCOMPARE(window->treeModel().rowCount(), 1);
        QCOMPARE(window->document().fileName(), path(QStringLiteral("menu.xml")));
    }

    void missingFileWarnsAndChangesNothing()
    {
        fillWindow();
        const WindowState before(*window);
        const QString missing = path(QStringLiteral("none.xml"));
        prompts->fileAnswers << missing << std::nullopt;
        ui->mnOpen1->trigger();
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages.at(0).icon, Prompts::Icon::Warning);
        QCOMPARE(prompts->messages.at(0).caption, QStringLiteral("警告"));
        QCOMPARE(prompts->messages.at(0).text, QStringLiteral("指定ファイルが存在しません"));
        QCOMPARE(WindowState(*window), before);

        ui->mnSave1->trigger(); // cancelled
        QCOMPARE(prompts->fileDialogs.at(1).fileName, QString());
        QVERIFY(!QFile::exists(missing));
    }

    void failedOpenChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray fields = "<Href/><Target/><ObjID/><Class/>";
        const QByteArray head = "<?xml version='1.0' encoding='Shift_JIS'?><NodeData><Nodes>";
        QTest::newRow("not well-formed") << head + "a</Nodes>";
        QTest::newRow("no Nodes") << QByteArray("<NodeData/>");
        QTest::newRow("level jump") << head + "a\r\n\t\tb</Nodes></NodeData>";
        QTest::newRow("surplus Node") << head + "a</Nodes><Node><Group>1</Group>" + fields + "</Node><Node/></NodeData>";
        QTest::newRow("bad Group") << head + "a</Nodes><Node><Group>T</Group>" + fields + "</Node></NodeData>";
        QTest::newRow("missing Href") << head + "a</Nodes><Node><Group>1</Group><Target/><ObjID/><Class/></Node></NodeData>";
        QTest::newRow("external entity") << projectFixture("hostile-external-entity.xml");
        QTest::newRow("entity bomb") << projectFixture("hostile-entity-bomb.xml");
        QTest::newRow("deeply nested") << head + QByteArray("<a>").repeated(20000);
        QTest::newRow("invalid Shift_JIS") << projectFixture("hostile-invalid-shift-jis.xml");
    }
    void failedOpenChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        fillWindow();
        const WindowState before(*window);
        writeFile(QStringLiteral("bad.xml"), bytes);
        prompts->fileAnswers << path(QStringLiteral("bad.xml"));
        ui->mnOpen1->trigger();
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages.at(0).icon, Prompts::Icon::Critical);
        QVERIFY2(prompts->messages.at(0).text.contains(path(QStringLiteral("bad.xml"))),
                 qPrintable(prompts->messages.at(0).text));
        QCOMPARE(WindowState(*window), before);
        QCOMPARE(window->document().fileName(), QString());
    }

    void cancelledDialogsChangeNothing()
    {
        fillWindow();
        const WindowState before(*window);
        prompts->fileAnswers << std::nullopt << std::nullopt;
        ui->mnOpen1->trigger();
        ui->mnSave1->trigger();
        QCOMPARE(WindowState(*window), before);
        QCOMPARE(window->document().fileName(), QString());
        QVERIFY(prompts->messages.isEmpty());
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList());
    }

    void newEmptiesEverythingAndIsUntitled()
    {
        fillWindow();
        prompts->fileAnswers << path(QStringLiteral("menu.xml")) << std::nullopt;
        ui->mnSave1->trigger();

        QStringList cleared;
        auto record = [&cleared](const char *name) { return [&cleared, name] { cleared << QLatin1String(name); }; };
        connect(ui->GroupNameEdit, &QLineEdit::textChanged, this, record("GroupNameEdit"));
        connect(ui->LinkTextEdit, &QLineEdit::textChanged, this, record("LinkTextEdit"));
        connect(ui->HrefEdit, &QLineEdit::textChanged, this, record("HrefEdit"));
        connect(ui->TargetCmbBox, &QComboBox::editTextChanged, this, record("TargetCmbBox"));
        connect(ui->ClassEdit, &QLineEdit::textChanged, this, record("ClassEdit"));
        connect(ui->IDEdit, &QLineEdit::textChanged, this, record("IDEdit"));

        ui->mnNew1->trigger();
        const WindowState after = WindowState(*window);
        QVERIFY(after.nodes.empty());
        QVERIFY(after.rows.isEmpty());
        QCOMPARE(after.editors, QStringList(6, QString()));
        QCOMPARE(cleared, (QStringList{QStringLiteral("GroupNameEdit"), QStringLiteral("LinkTextEdit"),
                                       QStringLiteral("HrefEdit"), QStringLiteral("TargetCmbBox"),
                                       QStringLiteral("ClassEdit"), QStringLiteral("IDEdit")}));
        QVERIFY(ui->TreeView1->updatesEnabled());
        QVERIFY(ui->ListView1->updatesEnabled());

        // The new tree is untitled; saving it starts in the folder of the file before.
        ui->mnSave1->trigger();
        QCOMPARE(prompts->fileDialogs.last().fileName, QString());
        QCOMPARE(prompts->fileDialogs.last().folder, dir->path());
    }
};

QTEST_MAIN(TestProjectCommands)
#include "tst_projectcommands.moc"
