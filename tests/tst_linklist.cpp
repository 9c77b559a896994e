#include "TreeEdits.h"
#include "WindowFixture.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QStatusBar>

// The link list beside the tree and the editors below it.
class TestLinkList : public QObject
{
    Q_OBJECT

    WindowFixture f;

    // G1 { a1, S { s1 }, a2 }, t1, G2 { }, t2
    void buildTree()
    {
        LinkNode *g1 = TreeEdits::appendGroup(f.model(), nullptr, "G1");
        f.addLink(g1, "a1");
        LinkNode *s = TreeEdits::appendGroup(f.model(), g1, "S");
        f.addLink(s, "s1");
        f.addLink(g1, "a2");
        f.addLink(nullptr, "t1");
        TreeEdits::appendGroup(f.model(), nullptr, "G2");
        f.addLink(nullptr, "t2");
    }

    QLineEdit *lineEditOf(const QString &name)
    {
        if (auto *combo = f.window->findChild<QComboBox *>(name))
            return combo->lineEdit();
        return f.window->findChild<QLineEdit *>(name);
    }

    static QString field(const LinkNode *node, int column)
    {
        const LinkAttr &r = node->record();
        const QString values[] = {node->text(), r.Href, r.Target, r.ObjID, r.Class};
        return values[column];
    }

    // Typing into the editor changes the node at `at` from `from` to `to`, and nothing else.
    void typeChangesOnly(QLineEdit *edit, const QString &typed, int at, const QString &from, const QString &to)
    {
        QStringList expected = f.snapshot();
        expected[at].replace(from, to);
        edit->setFocus();
        QTest::keyClicks(edit, typed);
        QCOMPARE(f.snapshot(), expected);
    }

    void addEditorRows()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<int>("column");
        QTest::newRow("link text") << "LinkTextEdit" << 0;
        QTest::newRow("href") << "HrefEdit" << 1;
        QTest::newRow("target") << "TargetCmbBox" << 2;
        QTest::newRow("id") << "IDEdit" << 3;
        QTest::newRow("class") << "ClassEdit" << 4;
    }

private slots:
    void init()
    {
        QVERIFY(f.open());
        buildTree();
    }
    void cleanup() { f.close(); }

    void selectingANodeListsItsLinks_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("selectedRow");
        QTest::addColumn<QString>("groupName");
        QTest::addColumn<bool>("groupNameEnabled");
        QTest::newRow("group") << "G1" << QStringList{"a1", "a2"} << -1 << "G1" << true;
        QTest::newRow("empty group") << "G2" << QStringList{} << -1 << "G2" << true;
        QTest::newRow("nested link") << "a2" << QStringList{"a1", "a2"} << 1 << "G1" << true;
        QTest::newRow("deeper link") << "s1" << QStringList{"s1"} << 0 << "S" << true;
        QTest::newRow("top-level link") << "t2" << QStringList{"t1", "t2"} << 1 << "" << false;
    }

    void selectingANodeListsItsLinks()
    {
        QFETCH(QString, selected);
        QFETCH(QStringList, rows);
        QFETCH(int, selectedRow);
        const QStringList before = f.snapshot();
        f.clickNode(selected);
        QCOMPARE(f.window->selectedNode(), f.node(selected));
        QCOMPARE(f.rowCaptions(), rows);
        QCOMPARE(f.selectedRowIndex(), selectedRow);
        QTEST(f.ui->GroupNameEdit->text(), "groupName");
        QTEST(f.ui->GroupNameEdit->isEnabled(), "groupNameEnabled");
        for (int i = 0; i < rows.size(); ++i) {
            const LinkNode *node = f.node(rows[i]);
            QCOMPARE(f.rowNode(i), node);
            QCOMPARE(f.list().rowOf(node), i);
            QCOMPARE(f.rowText(i, 1), node->record().Href);
            QCOMPARE(f.rowText(i, 4), node->record().Class);
            QVERIFY(!f.list().index(i, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
        }
        // Filling the list and loading the editors change no node.
        QCOMPARE(f.snapshot(), before);
    }

    void selectingALinkLoadsTheEditors()
    {
        f.node("a2")->record().Target = "frameA";
        f.clickNode("a2");
        QCOMPARE(f.ui->LinkTextEdit->text(), QString("a2"));
        QCOMPARE(f.ui->HrefEdit->text(), QString("h-a2"));
        QCOMPARE(f.ui->TargetCmbBox->currentText(), QString("frameA"));
        QCOMPARE(f.ui->ClassEdit->text(), QString("c-a2"));
        QCOMPARE(f.ui->IDEdit->text(), QString("id-a2"));

        // A group lists its links with none selected; the link editors are then empty and take
        // no typing, while the group's name can be edited.
        f.clickNode("G1");
        QCOMPARE(f.selectedRowIndex(), -1);
        for (QWidget *editor : {static_cast<QWidget *>(f.ui->LinkTextEdit), static_cast<QWidget *>(f.ui->HrefEdit),
                                static_cast<QWidget *>(f.ui->TargetCmbBox), static_cast<QWidget *>(f.ui->ClassEdit),
                                static_cast<QWidget *>(f.ui->IDEdit), static_cast<QWidget *>(f.ui->UsedClassBtn),
                                static_cast<QWidget *>(f.ui->OverlapIDBtn)})
            QVERIFY2(!editor->isEnabled(), qPrintable(editor->objectName()));
        QCOMPARE(f.ui->HrefEdit->text(), QString());
        QCOMPARE(f.ui->TargetCmbBox->currentText(), QString());
        QVERIFY(f.ui->GroupNameEdit->isEnabled());
    }

    void editorsWriteThroughOnEachKeystroke_data() { addEditorRows(); }

    void editorsWriteThroughOnEachKeystroke()
    {
        QFETCH(QString, editor);
        QFETCH(int, column);
        f.clickNode("G1");
        f.clickRow(1);
        LinkNode *a2 = f.node("a2");
        QCOMPARE(f.window->selectedNode(), a2);
        QLineEdit *edit = lineEditOf(editor);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(field(a2, column), QString());

        const QStringList others = [&] {
            QStringList s = f.snapshot();
            s.removeAt(f.tree().absoluteIndex(a2));
            return s;
        }();
        const QString typed = " new value ";
        for (int i = 0; i < typed.size(); ++i) {
            QTest::keyClick(edit, typed.at(i).toLatin1());
            const QString expected = typed.left(i + 1);
            QCOMPARE(edit->text(), expected);
            QCOMPARE(field(a2, column), expected);
            QCOMPARE(f.rowText(1, column), expected);
        }
        if (column == 0) {
            const QModelIndex index = f.model().indexFromNode(a2);
            QCOMPARE(index.data().toString(), typed);
        }
        QStringList after = f.snapshot();
        after.removeAt(f.tree().absoluteIndex(a2));
        QCOMPARE(after, others);
    }

    void noWriteWithoutASelectedRow_data() { addEditorRows(); }

    void noWriteWithoutASelectedRow()
    {
        QFETCH(QString, editor);
        QLineEdit *edit = lineEditOf(editor);
        // Right after the start, after a group was selected, and after New: no row is selected
        // in any of them.
        for (int step = 0; step < 3; ++step) {
            if (step == 1) {
                f.clickNode("a1");
                f.clickNode("G1");
            } else if (step == 2) {
                f.ui->mnNew1->trigger();
            }
            QCOMPARE(f.selectedRowIndex(), -1);
            const QStringList before = f.snapshot();
            edit->setFocus();
            QTest::keyClicks(edit, "zz");
            QCOMPARE(f.snapshot(), before);
        }
    }

    void lineBreaksNeverReachANodeText_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("changed");
        QTest::newRow("link text") << "LinkTextEdit" << "a2";
        QTest::newRow("group name") << "GroupNameEdit" << "G1";
    }

    void lineBreaksNeverReachANodeText()
    {
        QFETCH(QString, editor);
        QFETCH(QString, changed);
        f.clickNode("a2");
        LinkNode *node = f.node(changed);
        QLineEdit *edit = lineEditOf(editor);
        edit->setFocus();
        edit->selectAll();
        QGuiApplication::clipboard()->setText("one\ntwo\r\nthree\r");
        QTest::keySequence(edit, QKeySequence::Paste);
        QCOMPARE(node->text(), QString("onetwothree"));
        QCOMPARE(edit->text(), node->text());
        QTest::keyClicks(edit, "!");
        QCOMPARE(node->text(), QString("onetwothree!"));
    }

    void classIsTrimmedWhenTheEditorIsLeft()
    {
        f.clickNode("a1");
        LinkNode *a1 = f.node("a1");
        QLineEdit *edit = f.ui->ClassEdit;
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->selectAll();
        QTest::keyClicks(edit, "  big red  ");
        QCOMPARE(a1->record().Class, QString("  big red  "));
        QTest::keyClick(edit, Qt::Key_Tab);
        QTRY_COMPARE(a1->record().Class, QString("big red"));
        QCOMPARE(f.rowText(0, 4), QString("big red"));
        QCOMPARE(edit->text(), QString("  big red  "));

        // With no row selected there is nothing to leave it for.
        f.clickNode("G1");
        QVERIFY(!edit->isEnabled());
    }

    void pickedTargetShowsItsDescription_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("description");
        QTest::newRow("_blank") << 0 << "_blank" << "_blank : 名前無しのウィンドウを新規に開いて表示";
        QTest::newRow("_self") << 1 << "_self" << "_self : 自分自身のウィンドウ（フレーム）に表示";
        QTest::newRow("_top") << 2 << "_top" << "_top : フレーム分割をすべて解除して表示";
        QTest::newRow("_parent") << 3 << "_parent" << "_parent : フレームを一段解除してその親フレームに表示";
    }

    void pickedTargetShowsItsDescription()
    {
        QFETCH(int, entry);
        QFETCH(QString, target);
        f.clickNode("t1");
        f.node("t1")->record().Target = "other";
        f.pickEntry(f.ui->TargetCmbBox, entry);
        QTEST(f.ui->StatusBar1->currentMessage(), "description");
        QCOMPARE(f.node("t1")->record().Target, target);
        QCOMPARE(f.rowText(0, 2), target);
    }

    void typedTargetShowsNoDescription_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("a listed name") << "_top";
        QTest::newRow("a frame's name") << "main";
    }

    void typedTargetShowsNoDescription()
    {
        QFETCH(QString, typed);
        f.clickNode("t2");
        f.ui->StatusBar1->clearMessage();
        QComboBox *box = f.ui->TargetCmbBox;
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, typed);
        QCOMPARE(box->currentText(), typed);
        QCOMPARE(f.node("t2")->record().Target, typed);
        // Ending the edit, with Return or by leaving the box, is still typing.
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Tab);
        QTRY_VERIFY(!box->hasFocus());
        QCOMPARE(f.node("t2")->record().Target, typed);
        QCOMPARE(f.ui->StatusBar1->currentMessage(), QString());
    }

    void groupNameRenamesTheListedGroup_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("group");
        QTest::newRow("group") << "G1" << "G1";
        QTest::newRow("nested link") << "a2" << "G1";
        QTest::newRow("deeper link") << "s1" << "S";
    }

    void groupNameRenamesTheListedGroup()
    {
        QFETCH(QString, selected);
        QFETCH(QString, group);
        LinkNode *selectedNode = f.node(selected);
        f.clickNode(selectedNode);
        LinkNode *renamed = f.node(group);
        QStringList expected = f.snapshot();
        const int at = f.tree().absoluteIndex(renamed);
        QLineEdit *edit = f.ui->GroupNameEdit;
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_End);
        QTest::keyClick(edit, 'X');
        QCOMPARE(renamed->text(), group + "X");
        QCOMPARE(f.model().indexFromNode(renamed).data().toString(), group + "X");
        QTest::keyClick(edit, ' ');
        QCOMPARE(renamed->text(), group + "X "); // not trimmed
        expected[at].replace("|" + group + "|", "|" + group + "X |");
        QCOMPARE(f.snapshot(), expected);
        QCOMPARE(f.window->selectedNode(), selectedNode);
    }

    void fillingTheListRenamesNothing()
    {
        const QStringList before = f.snapshot();
        for (const char *text : {"G1", "t1", "a2", "G2", "s1", "t2", "G1"})
            f.clickNode(text);
        QCOMPARE(f.snapshot(), before);
        // The top-level link command empties the group-name editor and renames no group.
        f.clickMenuItem("DDLink_AddTop");
        QCOMPARE(f.window->selectedNode(), f.rowNode(2));
        QCOMPARE(f.node("G1")->text(), QString("G1"));
        QVERIFY(!f.ui->GroupNameEdit->isEnabled());
        QCOMPARE(f.ui->GroupNameEdit->text(), QString());
        QCOMPARE(f.rowCaptions(), QStringList({"t1", "t2", ""}));
    }

    void blankGroupNameWarnsAndTakesTheFocusBack()
    {
        LinkNode *g1 = f.node("G1");
        f.clickNode(g1);
        QLineEdit *edit = f.ui->GroupNameEdit;
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, " ");
        QTest::keyClick(edit, Qt::Key_Tab);
        QTRY_COMPARE(f.prompts->messages.size(), 1);
        QCOMPARE(f.prompts->messages[0].icon, Prompts::Icon::Warning);
        QCOMPARE(f.prompts->messages[0].caption, QString("警告"));
        QCOMPARE(f.prompts->messages[0].text, QString("グル－プ名に空白を用いるのはやめて下さい"));
        QTRY_VERIFY(edit->hasFocus());
        QCOMPARE(g1->text(), QString(" ")); // stays blank until the user types a name

        QTest::keyClicks(edit, "x");
        QTest::keyClick(edit, Qt::Key_Tab);
        QTRY_VERIFY(!edit->hasFocus());
        QCOMPARE(f.prompts->messages.size(), 1);
        QCOMPARE(g1->text(), QString(" x"));
    }

    // A project file may hold values longer than a line edit takes by default.
    void valuesOfAnyLengthSurviveBeingShown()
    {
        LinkNode *g1 = f.node("G1");
        LinkNode *a1 = f.node("a1");
        const auto longValue = [](char letter) { return QString(40000, QLatin1Char(letter)); };
        TreeEdits::setNodeText(f.model(), g1, longValue('g'));
        TreeEdits::setNodeText(f.model(), a1, longValue('t'));
        LinkAttr &record = a1->record();
        record.Href = longValue('h');
        record.Target = longValue('r');
        record.ObjID = longValue('i');
        record.Class = longValue('c');
        const QStringList before = f.snapshot();
        f.clickNode(a1);
        QCOMPARE(f.snapshot(), before);
        QCOMPARE(f.ui->GroupNameEdit->text(), g1->text());

        // Typing in one field leaves every other one whole, and extends its own.
        QTest::keyClick(f.ui->GroupNameEdit, Qt::Key_End);
        QTest::keyClick(f.ui->GroupNameEdit, 'x');
        QCOMPARE(g1->text(), longValue('g') + "x");
        typeChangesOnly(f.ui->HrefEdit, "!", f.tree().absoluteIndex(a1), longValue('h'), longValue('h') + "!");
    }

    // The target box stores what was typed: no completion, no change of letter case.
    void typedTargetIsStoredAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("a listed name's beginning") << "_b";
        QTest::newRow("a listed name in capitals") << "_TOP";
    }

    void typedTargetIsStoredAsTyped()
    {
        QFETCH(QString, typed);
        f.clickNode("t2");
        QComboBox *box = f.ui->TargetCmbBox;
        box->setFocus();
        box->lineEdit()->selectAll();
        QTest::keyClicks(box, typed);
        QCOMPARE(f.node("t2")->record().Target, typed);
        QTest::keyClick(box, Qt::Key_Tab);
        QTRY_VERIFY(!box->hasFocus());
        QCOMPARE(f.node("t2")->record().Target, typed);

        // A stored value is left alone when the focus only passes through the box.
        f.clickNode("t1");
        f.clickNode("t2");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Tab);
        QTRY_VERIFY(!box->hasFocus());
        QCOMPARE(f.node("t2")->record().Target, typed);
    }

    // The warning answers the user's own blank name, not an editor the program emptied.
    void emptyingTheGroupNameByProgramWarnsNothing()
    {
        f.clickNode("G1");
        QLineEdit *edit = f.ui->GroupNameEdit;
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        f.clickMenuItem("DDLink_AddTop");
        QVERIFY(!edit->isEnabled());
        QCoreApplication::processEvents();
        QCOMPARE(f.prompts->messages.size(), 0);
    }

    // Ctrl+X/C/V/Z act on the nodes in the tree and the list, and on the text in an editor.
    void editKeysInAFieldActOnItsText()
    {
        f.clickNode("a1");
        QLineEdit *edit = f.ui->HrefEdit;
        QTest::mouseClick(edit, Qt::LeftButton);
        edit->end(false);
        QTest::keyClicks(edit, "xy");
        const QStringList typed = f.snapshot();
        QCOMPARE(f.node("a1")->record().Href, QString("h-a1xy"));

        QTest::keySequence(edit, QKeySequence::SelectAll);
        QTest::keySequence(edit, QKeySequence::Cut);
        QCOMPARE(edit->text(), QString());
        QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasFormat("application/x-vormik-nodes"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("h-a1xy"));
        QTest::keySequence(edit, QKeySequence::Paste);
        QTest::keySequence(edit, QKeySequence::Paste);
        QCOMPARE(edit->text(), QString("h-a1xyh-a1xy"));
        QTest::keySequence(edit, QKeySequence::Undo);
        QCOMPARE(edit->text(), QString("h-a1xy"));
        // The node only ever took the field's text.
        QCOMPARE(f.snapshot(), typed);

        // In the tree the same keys undo that whole burst of typing, then act on nodes.
        f.ui->TreeView1->setFocus();
        QTest::keySequence(f.ui->TreeView1, QKeySequence::Undo);
        QCOMPARE(f.node("a1")->record().Href, QString("h-a1"));
        QCOMPARE(edit->text(), QString("h-a1"));
        QTest::keySequence(f.ui->TreeView1, QKeySequence::Cut);
        QVERIFY(!f.node("a1"));
        QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat("application/x-vormik-nodes"));
    }

    void clickBelowTheRowsSelectsTheLastRow()
    {
        f.clickNode("G1");
        QCOMPARE(f.selectedRowIndex(), -1);
        QWidget *viewport = f.ui->ListView1->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, viewport->height() - 5));
        QTRY_COMPARE(f.selectedRowIndex(), 1);
        QCOMPARE(f.window->selectedNode(), f.node("a2"));
        QCOMPARE(f.ui->LinkTextEdit->text(), QString("a2"));

        // An empty list stays without a selection.
        f.clickNode("G2");
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, viewport->height() - 5));
        QCoreApplication::processEvents();
        QCOMPARE(f.selectedRowIndex(), -1);
        QCOMPARE(f.window->selectedNode(), f.node("G2"));
    }

    // Rows picked together select their nodes in the tree and are edited together: a field they
    // differ in shows empty, marked, and is written to all only once typed into, as one step.
    void severalRowsAreEditedTogether_data()
    {
        QTest::addColumn<bool>("several");
        QTest::newRow("two rows") << true;
        QTest::newRow("one row") << false;
    }

    void severalRowsAreEditedTogether()
    {
        QFETCH(bool, several);
        f.clickNode("G1");
        f.clickRow(0);
        if (several)
            f.clickRow(1, Qt::ControlModifier);
        const std::vector<LinkNode *> picked = several ? std::vector{f.node("a1"), f.node("a2")} : std::vector{f.node("a1")};
        std::vector<LinkNode *> inTree;
        for (const QModelIndex &index : f.ui->TreeView1->selectionModel()->selectedIndexes())
            if (index.column() == 0)
                inTree.push_back(f.model().nodeFromIndex(index));
        QCOMPARE(inTree, picked);
        QCOMPARE(f.ui->TargetCmbBox->currentText(), QString("_self"));
        QCOMPARE(f.ui->HrefEdit->text(), several ? QString() : QString("h-a1"));
        QCOMPARE(f.ui->HrefEdit->placeholderText().isEmpty(), !several);
        QVERIFY(f.ui->TargetCmbBox->lineEdit()->placeholderText().isEmpty());
        const QStringList before = f.snapshot();
        f.ui->ClassEdit->setFocus();
        f.ui->HrefEdit->setFocus();
        QCOMPARE(f.snapshot(), before);

        QTest::keyClicks(f.ui->HrefEdit, "xy");
        for (const LinkNode *node : picked)
            QCOMPARE(node->record().Href, several ? QString("xy") : QString("h-a1xy"));
        f.ui->UndoAction1->trigger();
        QCOMPARE(f.snapshot(), before);
    }

    void clickingARowMovesTheTreeWithoutRefilling()
    {
        f.clickNode("G1");
        QSignalSpy refilled(&f.list(), &QAbstractItemModel::modelReset);
        f.clickRow(0);
        QCOMPARE(f.window->selectedNode(), f.node("a1"));
        QCOMPARE(refilled.count(), 0);
        QCOMPARE(f.ui->LinkTextEdit->text(), QString("a1"));

        // After the top-level link command the tree may still show a group; a row click moves it.
        f.clickNode("G2");
        f.clickMenuItem("DDLink_AddTop");
        f.clickRow(1);
        QCOMPARE(f.window->selectedNode(), f.node("t2"));
        QCOMPARE(f.rowCaptions(), QStringList({"t1", "t2", ""}));
        QCOMPARE(f.selectedRowIndex(), 1);
    }

    void rowsOfRemovedNodesLeaveTheList()
    {
        f.clickNode("a2");
        LinkNode *a2 = f.node("a2");
        QCOMPARE(f.rowNode(1), a2);
        QCOMPARE(f.tree().absoluteIndex(a2), 4);
        TreeEdits::remove(f.model(), f.node("a1"));
        QCOMPARE(f.rowCaptions(), QStringList({"a2"}));
        QCOMPARE(f.selectedRowIndex(), 0);
        // The row still holds its node, which moved up to 3, where t1 was 4.
        QCOMPARE(f.rowNode(0), a2);
        QCOMPARE(f.tree().absoluteIndex(a2), 3);
        QCOMPARE(f.tree().nodeAt(4), f.node("t1"));

        typeChangesOnly(f.ui->HrefEdit, "!", 3, "|h-a2|", "|h-a2!|");
    }

    void rowsAfterAShapeChangeWriteOnlyTheirOwnNode()
    {
        // The list shows the top-level links while a child added to G1 moves every one of them.
        f.clickNode("G1");
        f.clickMenuItem("DDLink_AddTop");
        f.addLink(f.node("G1"), "late");
        f.clickRow(0);
        LinkNode *t1 = f.node("t1");
        QCOMPARE(f.window->selectedNode(), t1);
        QCOMPARE(f.rowNode(0), t1);
        QCOMPARE(f.tree().absoluteIndex(t1), 6);

        typeChangesOnly(f.ui->LinkTextEdit, "+", 6, "|t1|", "|t1+|");
    }

    void aClearedTreeLeavesNoRowToWriteThrough()
    {
        f.clickNode("t1");
        QCOMPARE(f.rowCaptions(), QStringList({"t1", "t2"}));
        TreeEdits::clear(f.model());
        QCOMPARE(f.rowCount(), 0);
        QCOMPARE(f.selectedRowIndex(), -1);
        for (QLineEdit *edit : {f.ui->LinkTextEdit, f.ui->HrefEdit, f.ui->ClassEdit}) {
            edit->setFocus();
            QTest::keyClicks(edit, "x");
        }
        f.ui->LVPop_Delete1->trigger();
        QCOMPARE(f.tree().count(), 0);

        // A tree built elsewhere replaces the one whose links were listed.
        buildTree();
        f.clickNode("a1");
        auto fresh = std::make_unique<LinkTree>();
        fresh->appendLink(nullptr, "only");
        TreeEdits::replaceTree(f.model(), std::move(fresh));
        QCOMPARE(f.rowCount(), 0);
        QTest::keyClicks(f.ui->IDEdit, "y");
        QCOMPARE(f.snapshot(), QStringList({"0|only|link||||"}));
    }
};

QTEST_MAIN(TestLinkList)
#include "tst_linklist.moc"
