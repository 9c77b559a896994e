// Undo and redo over the real window: a long random walk of user actions that checks the window
// after every step, then undoes every step back to the empty window and redoes them all.
#include "WindowFixture.h"
#include "FileHelpers.h"

#include "project/ProjectFile.h"
#include "text/TextRules.h"

#include <QAbstractItemModelTester>
#include <QClipboard>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QMimeData>
#include <QPointer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUndoStack>

#include <functional>

class TestUndo : public QObject
{
    Q_OBJECT

    WindowFixture f;
    QTemporaryDir dir;
    QRandomGenerator rng;
    QStringList savedFiles;

    QUndoStack &stack() { return *f.window->findChild<QUndoStack *>(); }
    QByteArray saved() { return ProjectFile::write(f.tree()); }

    // The project as saved at one place of the history, with its nodes as lines to show where
    // two differ.
    struct Saved
    {
        QStringList nodes;
        QByteArray bytes;
    };
    Saved savedNow() { return {f.snapshot(), saved()}; }
    void compareSaved(const Saved &expected)
    {
        QCOMPARE(f.snapshot(), expected.nodes);
        QCOMPARE(saved(), expected.bytes);
    }

    int pick(int count) { return int(rng.bounded(count)); }
    bool chance(int percent) { return pick(100) < percent; }

    LinkNode *anyNode()
    {
        const auto &nodes = f.tree().nodes();
        return nodes.empty() ? nullptr : nodes[size_t(pick(int(nodes.size())))];
    }

    // A few characters as a user types them: Latin letters and blanks from the keyboard,
    // Japanese from the input method, sometimes a backspace.
    void typeSome(QLineEdit *edit)
    {
        static const QStringList japanese{QStringLiteral("資料"), QStringLiteral("ガイド"), QStringLiteral("　")};
        for (int i = 0, n = 1 + pick(4); i < n; ++i) {
            const int kind = pick(10);
            if (kind < 6) {
                QTest::keyClick(edit, char('a' + pick(26)));
            } else if (kind < 7) {
                QTest::keyClick(edit, ' ');
            } else if (kind < 9) {
                QInputMethodEvent commit;
                commit.setCommitString(japanese[pick(int(japanese.size()))]);
                QApplication::sendEvent(edit, &commit);
            } else {
                QTest::keyClick(edit, Qt::Key_Backspace);
            }
        }
    }

    void pressOn(QWidget *widget, const QKeySequence &keys)
    {
        widget->setFocus();
        QTest::keySequence(widget, keys);
    }

    // --- The user's actions ----------------------------------------------------------------

    void clickSomeNode()
    {
        if (LinkNode *node = anyNode())
            f.clickNode(node);
    }

    void clickSomeRow()
    {
        if (const int rows = f.rowCount())
            f.clickRow(pick(rows));
    }

    void addGroup()
    {
        // Sometimes a blank answer first, sometimes Cancel.
        if (chance(20))
            f.prompts->textAnswers.enqueue(QStringLiteral("  "));
        if (chance(10))
            f.prompts->textAnswers.enqueue(std::nullopt);
        else
            f.prompts->textAnswers.enqueue(QStringLiteral("g%1").arg(pick(1000)));
        if (chance(50))
            f.clickButton(f.ui->TlAddGroupBtn1);
        else
            f.ui->TopLevelAddGroupAction1->trigger();
        f.prompts->textAnswers.clear();
    }

    void addLink()
    {
        if (chance(50))
            f.clickButton(f.ui->TlAddLinkBtn1);
        else if (chance(50))
            f.ui->TopLevelAddLinkAction1->trigger();
        else
            f.ui->LV_AddLinkAction1->trigger();
    }

    void deleteSome()
    {
        const int way = pick(4);
        if (way == 0)
            f.clickButton(f.ui->TlBtn3);
        else if (way == 1)
            f.ui->LVPop_Delete1->trigger();
        else
            QTest::keyClick(someView(), Qt::Key_Delete);
    }

    // F2 in the tree, a new text, Return.
    void renameInPlace()
    {
        static const QStringList texts{QStringLiteral("  r%1 "), QStringLiteral(" "), QString(), QStringLiteral("名%1")};
        f.ui->TreeView1->setFocus();
        QTest::keyClick(f.ui->TreeView1, Qt::Key_F2);
        QPointer<QLineEdit> editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        if (!editor || !f.ui->TreeView1->isAncestorOf(editor))
            return;
        QString text = texts[pick(int(texts.size()))];
        editor->setText(text.contains(QLatin1String("%1")) ? text.arg(pick(100)) : text);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!editor);
    }

    void typeInAnEditor()
    {
        QWidget *editors[] = {f.ui->LinkTextEdit, f.ui->HrefEdit, f.ui->TargetCmbBox, f.ui->ClassEdit, f.ui->IDEdit,
                              f.ui->GroupNameEdit};
        QWidget *editor = editors[pick(6)];
        if (!editor->isEnabled())
            return;
        auto *combo = qobject_cast<QComboBox *>(editor);
        QLineEdit *edit = combo ? combo->lineEdit() : static_cast<QLineEdit *>(editor);
        // Clicking into the field begins a new burst; typing on in it continues the last one.
        if (chance(70))
            QTest::mouseClick(edit, Qt::LeftButton);
        typeSome(edit);
        // Leaving the class editor trims the class; leaving a blank group name warns.
        if (chance(30)) {
            f.ui->TreeView1->setFocus();
            f.prompts->messages.clear();
        }
    }

    void pickClasses()
    {
        QTest::mouseClick(f.ui->UsedClassBtn, Qt::LeftButton);
        QListWidget *list = f.ui->ClassListBox;
        for (int i = 0; i < list->count(); ++i)
            list->item(i)->setCheckState(chance(50) ? Qt::Checked : Qt::Unchecked);
        QTest::mouseClick(f.ui->ClassOKBtn, Qt::LeftButton);
        f.window->activateWindow();
        QTRY_VERIFY(f.window->isActiveWindow());
    }

    // The Edit menu's keys, pressed in the tree or in the list.
    QWidget *someView()
    {
        QWidget *view = chance(70) ? static_cast<QWidget *>(f.ui->TreeView1) : f.ui->ListView1;
        view->setFocus();
        return view;
    }

    void moveSome()
    {
        static const Qt::Key arrows[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right};
        QTest::keyClick(someView(), arrows[pick(4)], Qt::AltModifier);
    }

    void cutCopyOrPaste()
    {
        static const Qt::Key keys[] = {Qt::Key_X, Qt::Key_C, Qt::Key_C, Qt::Key_V, Qt::Key_V};
        QTest::keyClick(someView(), keys[pick(5)], Qt::ControlModifier);
    }

    // A node dragged in the tree and dropped on a row, at a row's upper or lower edge, or below
    // the rows; with Ctrl it is copied. The events go where the platform sends them: to the
    // widget under the pointer that takes drops.
    int drops = 0;
    void dragAndDrop()
    {
        LinkNode *node = anyNode();
        if (!node)
            return;
        QTreeView *tree = f.ui->TreeView1;
        tree->scrollTo(f.model().indexFromNode(node));
        const std::unique_ptr<QMimeData> data(f.model().mimeData({f.model().indexFromNode(node)}));
        QPoint at(5, tree->viewport()->height() - 3);
        if (LinkNode *target = chance(90) ? anyNode() : nullptr) {
            const QModelIndex index = f.model().indexFromNode(target);
            tree->scrollTo(index);
            const QRect row = tree->visualRect(index);
            const int y[] = {row.top() + 1, row.center().y(), row.bottom() - 1};
            at = QPoint(row.center().x(), y[pick(3)]);
        }
        QWidget *receiver = tree->viewport();
        while (receiver && !receiver->acceptDrops())
            receiver = receiver->parentWidget();
        if (!receiver)
            return;
        const bool copy = chance(30);
        const Qt::DropActions actions = copy ? Qt::CopyAction : Qt::MoveAction;
        const Qt::KeyboardModifiers keys = copy ? Qt::ControlModifier : Qt::NoModifier;
        const int before = stack().count();
        QDragEnterEvent enter(at, actions, data.get(), Qt::LeftButton, keys);
        QApplication::sendEvent(receiver, &enter);
        QDragMoveEvent move(at, actions, data.get(), Qt::LeftButton, keys);
        QApplication::sendEvent(receiver, &move);
        QDropEvent drop(at, actions, data.get(), Qt::LeftButton, keys);
        QApplication::sendEvent(receiver, &drop);
        drops += stack().count() != before;
    }

    // New and Open first ask for unsaved work (leaving an editor may just have made some); the
    // walk lets it go, as the history still holds it.
    void pressReplacing(const QKeySequence &keys)
    {
        f.ui->TreeView1->setFocus();
        if (f.window->isWindowModified())
            f.prompts->saveAnswers.enqueue(Prompts::SaveChoice::Discard);
        QTest::keySequence(f.ui->TreeView1, keys);
    }

    void newProject() { pressReplacing(f.ui->mnNew1->shortcut()); }

    void saveProject()
    {
        const QString path = dir.filePath(QStringLiteral("p%1.xml").arg(savedFiles.size()));
        f.prompts->fileAnswers.enqueue(path);
        f.ui->HrefEdit->setFocus();
        const int steps = stack().count();
        QTest::keySequence(f.ui->HrefEdit, f.ui->mnSave1->shortcut());
        QCOMPARE(readAll(path), saved());
        // Saving is no step and forgets nothing.
        QCOMPARE(stack().count(), steps);
        savedFiles << path;
    }

    void openProject()
    {
        if (savedFiles.isEmpty())
            return;
        const QString path = savedFiles[pick(int(savedFiles.size()))];
        f.prompts->fileAnswers.enqueue(path);
        pressReplacing(f.ui->mnOpen1->shortcut());
        QCOMPARE(saved(), ProjectFile::write(*ProjectFile::open(path)));
    }

    // Undo and redo from the tree or the list by their keys, or from the menu. Where the keys
    // are pressed is chosen first: moving the focus there may itself write (a class editor left
    // trims its class), which is part of the step before.
    std::function<void()> undoOrRedo(bool undo)
    {
        const int way = pick(3);
        if (way == 2) {
            QAction *action = undo ? f.ui->UndoAction1 : f.ui->RedoAction1;
            return [action] { action->trigger(); };
        }
        QWidget *view = way == 0 ? static_cast<QWidget *>(f.ui->TreeView1) : f.ui->ListView1;
        view->setFocus();
        const QKeySequence keys = undo ? QKeySequence(Qt::CTRL | Qt::Key_Z)
                                  : chance(50) ? QKeySequence(Qt::CTRL | Qt::Key_Y)
                                               : QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
        return [view, keys] { QTest::keySequence(view, keys); };
    }

    // --- What must hold after every step ---------------------------------------------------

    // The tree is whole: parents, places, levels and absolute order agree.
    void checkTree()
    {
        const LinkTree &tree = f.tree();
        std::vector<const LinkNode *> walk;
        std::function<void(const LinkNode *)> visit = [&](const LinkNode *parent) {
            for (int i = 0; i < tree.childCount(parent); ++i) {
                const LinkNode *node = tree.child(parent, i);
                QCOMPARE(node->parent(), parent);
                QCOMPARE(node->row(), i);
                QCOMPARE(node->level(), parent ? parent->level() + 1 : 0);
                walk.push_back(node);
                visit(node);
            }
        };
        visit(nullptr);
        QCOMPARE(int(walk.size()), tree.count());
        for (size_t i = 0; i < walk.size(); ++i) {
            QCOMPARE(tree.nodeAt(int(i)), walk[i]);
            QCOMPARE(tree.absoluteIndex(walk[i]), int(i));
        }
    }

    // Every row belongs to a link in the tree and shows its fields; the editors show the
    // selected row's link, which the tree has selected too.
    void checkListAndEditors()
    {
        for (int i = 0; i < f.rowCount(); ++i) {
            const LinkNode *node = f.rowNode(i);
            QVERIFY(f.model().contains(node));
            QVERIFY(!node->isGroup());
            const LinkAttr &r = node->record();
            QCOMPARE(QStringList({f.rowText(i, 0), f.rowText(i, 1), f.rowText(i, 2), f.rowText(i, 3), f.rowText(i, 4)}),
                     QStringList({node->text(), r.Href, r.Target, r.ObjID, r.Class}));
        }
        const int selected = f.selectedRowIndex();
        if (selected < 0)
            return;
        const LinkNode *node = f.rowNode(selected);
        QCOMPARE(f.window->selectedNode(), node);
        const LinkAttr &r = node->record();
        QCOMPARE(QStringList({f.ui->LinkTextEdit->text(), f.ui->HrefEdit->text(), f.ui->TargetCmbBox->currentText(),
                              TextRules::trimmed(f.ui->ClassEdit->text()), f.ui->IDEdit->text()}),
                 QStringList({node->text(), r.Href, r.Target, TextRules::trimmed(r.Class), r.ObjID}));
        if (node->parent())
            QCOMPARE(f.ui->GroupNameEdit->text(), node->parent()->text());
    }

    // Undo and redo are offered exactly when there is a step, and name it.
    void checkHistory()
    {
        for (QAction *action : {f.ui->UndoAction1, f.ui->RedoAction1}) {
            const bool undo = action == f.ui->UndoAction1;
            const QString step = undo ? stack().undoText() : stack().redoText();
            QCOMPARE(action->isEnabled(), undo ? stack().canUndo() : stack().canRedo());
            if (action->isEnabled())
                QVERIFY2(action->text().endsWith(": " + step), qPrintable(action->text()));
        }
    }

    void checkWindow()
    {
        checkTree();
        checkListAndEditors();
        checkHistory();
        QCOMPARE(f.prompts->unexpected, 0);
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        QVERIFY(f.open());
        QGuiApplication::clipboard()->clear();
    }
    void cleanup() { f.close(); }

    // A fixed seed, so a failure comes back the same way; VORMIK_WALK_SEED and VORMIK_WALK_STEPS
    // try others.
    void randomWalkUndoneAndRedone()
    {
        const uint seed = qEnvironmentVariableIsSet("VORMIK_WALK_SEED") ? qEnvironmentVariableIntValue("VORMIK_WALK_SEED") : 13;
        const int steps = qEnvironmentVariableIsSet("VORMIK_WALK_STEPS") ? qEnvironmentVariableIntValue("VORMIK_WALK_STEPS") : 3000;
        rng.seed(seed);
        QAbstractItemModelTester tester(&f.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);

        // An action, or the way to undo or redo, which is chosen and made ready before it runs.
        struct Action
        {
            int weight;
            std::function<void()> run;
            std::function<std::function<void()>()> undoOrRedo;
        };
        const std::vector<Action> actions{
            {20, [this] { clickSomeNode(); }, {}},
            {12, [this] { clickSomeRow(); }, {}},
            {12, [this] { addGroup(); }, {}},
            {20, [this] { addLink(); }, {}},
            {6, [this] { deleteSome(); }, {}},
            {40, [this] { typeInAnEditor(); }, {}},
            {2, [this] { pickClasses(); }, {}},
            {12, [this] { moveSome(); }, {}},
            {4, [this] { renameInPlace(); }, {}},
            {8, [this] { dragAndDrop(); }, {}},
            {8, [this] { cutCopyOrPaste(); }, {}},
            {1, [this] { newProject(); }, {}},
            {2, [this] { saveProject(); }, {}},
            {1, [this] { openProject(); }, {}},
            {8, {}, [this] { return undoOrRedo(true); }},
            {5, {}, [this] { return undoOrRedo(false); }},
        };
        int total = 0;
        for (const Action &action : actions)
            total += action.weight;

        // The project as saved when the history stood at each of its places.
        // Every step as it is made: the project as it then stands belongs to the history's
        // new place. One action may make several steps (leaving the class editor for another
        // one trims the class as a step of its own).
        std::vector<Saved> savedAt{savedNow()};
        bool undoingOrRedoing = false;
        QObject walk;
        connect(&stack(), &QUndoStack::indexChanged, &walk, [&] {
            if (undoingOrRedoing)
                return;
            savedAt.resize(size_t(stack().count()) + 1);
            savedAt[size_t(stack().index())] = savedNow();
        });
        for (int step = 0; step < steps; ++step) {
            int roll = pick(total);
            const Action *action = actions.data();
            while (roll >= action->weight)
                roll -= (action++)->weight;
            if (action->undoOrRedo) {
                const std::function<void()> press = action->undoOrRedo();
                undoingOrRedoing = true;
                press();
                undoingOrRedoing = false;
            } else {
                action->run();
            }
            // What a click queued runs before the user's next action.
            QCoreApplication::processEvents();
            checkWindow();
            if (action->undoOrRedo)
                compareSaved(savedAt[size_t(stack().index())]);
            if (QTest::currentTestFailed()) {
                qWarning("failed at step %d of the walk with seed %u", step, seed);
                return;
            }
        }

        undoingOrRedoing = true;
        QVERIFY(drops > steps / 100);
        QAction *undoAction = f.ui->UndoAction1;
        QAction *redoAction = f.ui->RedoAction1;
        const int count = stack().count();
        QVERIFY(count > steps / 10);
        for (int at = stack().index(); at > 0; --at) {
            QVERIFY(undoAction->isEnabled());
            undoAction->trigger();
            compareSaved(savedAt[size_t(at - 1)]);
            checkWindow();
            if (QTest::currentTestFailed()) {
                qWarning("failed undoing step %d: %s", at, qPrintable(stack().text(at - 1)));
                return;
            }
        }
        QVERIFY(!undoAction->isEnabled());
        for (int at = 1; at <= count; ++at) {
            QVERIFY(redoAction->isEnabled());
            redoAction->trigger();
            compareSaved(savedAt[size_t(at)]);
            checkWindow();
        }
        QVERIFY(!redoAction->isEnabled());
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
