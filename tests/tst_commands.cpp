#include "TreeEdits.h"
#include "WindowFixture.h"
#include "app/dialogs/QtPrompts.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QRegularExpression>
#include <QToolButton>
#include <QTreeWidget>

// The commands that add and delete nodes, reached through the menus, the tool bar and the list.
class TestCommands : public QObject
{
    Q_OBJECT

    WindowFixture f;

    // G { n }, t
    void buildTree()
    {
        LinkNode *g = TreeEdits::appendGroup(f.model(), nullptr, "G");
        f.addLink(g, "n");
        f.addLink(nullptr, "t");
    }

    void selectByName(const QString &selection)
    {
        if (!selection.isEmpty())
            f.clickNode(selection);
        QCOMPARE(f.window->selectedNode(), f.node(selection));
    }

    // Runs a command the way the user reaches it: a menu item, the main part of a button, or
    // the Delete key in a view ("Delete in <view>").
    void run(const QString &via)
    {
        if (via.startsWith("Delete in ")) {
            auto *view = f.window->findChild<QWidget *>(via.section(' ', 2));
            view->setFocus();
            QTest::keyClick(view, Qt::Key_Delete);
        } else if (auto *button = f.window->findChild<QToolButton *>(via))
            f.clickButton(button);
        else
            f.clickMenuItem(via);
    }

private slots:
    void init()
    {
        QVERIFY(f.open());
        buildTree();
    }
    void cleanup() { f.close(); }

    void addCommands_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("selection"); // empty: nothing selected
        QTest::addColumn<bool>("group");
        QTest::addColumn<QString>("parent"); // empty: the top level; "-": nothing added
        const QStringList selections{"", "G", "t", "n"};
        struct Command
        {
            const char *via;
            bool group;
            QStringList parents; // by selection: none, group, top-level link, nested link
        };
        const Command commands[] = {
            {"DDGroup_AddTop", true, {"", "", "", ""}},
            {"TVPop_TopLevelAddGroup1", true, {"", "", "", ""}},
            {"DDGroup_AddChild", true, {"-", "G", "-", "G"}},
            {"TVPop_ChildAddGroup1", true, {"-", "G", "-", "G"}},
            {"TlAddGroupBtn1", true, {"", "G", "", "G"}},
            {"DDLink_AddTop", false, {"", "", "", ""}},
            {"TVPop_TopLevelAddLink1", false, {"", "", "", ""}},
            {"DDLink_AddChild", false, {"-", "G", "", "G"}},
            {"TVPop_ChildAddLink1", false, {"-", "G", "", "G"}},
            {"TlAddLinkBtn1", false, {"", "G", "", "G"}},
            {"LVPop_AddLink1", false, {"", "G", "", "G"}},
        };
        for (const Command &command : commands) {
            for (int s = 0; s < selections.size(); ++s) {
                const QString name = QString("%1, %2").arg(command.via, selections[s].isEmpty() ? "none" : selections[s]);
                QTest::newRow(qPrintable(name)) << command.via << selections[s] << command.group << command.parents[s];
            }
        }
    }

    void addCommands()
    {
        QFETCH(QString, via);
        QFETCH(QString, selection);
        QFETCH(bool, group);
        QFETCH(QString, parent);
        selectByName(selection);
        const QStringList before = f.snapshot();
        if (group)
            f.prompts->textAnswers.enqueue(QString("新"));

        run(via);

        if (parent == "-") {
            QCOMPARE(f.snapshot(), before);
            QVERIFY(f.prompts->asked.isEmpty());
            f.prompts->textAnswers.clear();
            return;
        }
        QCOMPARE(f.tree().count(), before.size() + 1);
        LinkNode *owner = parent.isEmpty() ? nullptr : f.node(parent);
        const LinkTree &tree = f.tree();
        LinkNode *added = tree.child(owner, tree.childCount(owner) - 1);
        QCOMPARE(added->isGroup(), group);
        QCOMPARE(added->text(), group ? QString("新") : QString());
        QCOMPARE(added->imageIndex(), group ? int(GroupImage) : int(LinkImage));
        QCOMPARE(added->record(), (LinkAttr{group, {}, {}, {}, {}}));
        if (owner)
            QVERIFY(f.ui->TreeView1->isExpanded(f.model().indexFromNode(owner)));
        QCOMPARE(f.prompts->asked.size(), group ? 1 : 0);
        // The new node is selected, its name or text ready to be typed.
        QCOMPARE(f.window->selectedNode(), added);
        QCOMPARE(QApplication::focusWidget(), group ? f.ui->GroupNameEdit : f.ui->LinkTextEdit);
        // Nothing else changed.
        QStringList after = f.snapshot();
        after.removeAt(tree.absoluteIndex(added));
        QCOMPARE(after, before);
    }

    void theNamePromptAsksAgainUntilANameIsGiven_data()
    {
        QTest::addColumn<QStringList>("answers"); // "<cancel>" cancels
        QTest::addColumn<QString>("name");        // "<none>": no group added
        QTest::newRow("trimmed") << QStringList{"  abc  "} << "abc";
        QTest::newRow("inner blanks stay") << QStringList{" a b "} << "a b";
        QTest::newRow("blank asks again") << QStringList{"", "   ", "x"} << "x";
        QTest::newRow("control characters are blank") << QStringList{"\t\x01\x1f", "y"} << "y";
        QTest::newRow("full-width space kept") << QStringList{"　"} << "　";
        QTest::newRow("full-width spaces at the ends kept") << QStringList{" 　a　 "} << "　a　";
        QTest::newRow("line break dropped") << QStringList{"a\nb\r\n"} << "ab";
        QTest::newRow("cancel") << QStringList{"<cancel>"} << "<none>";
        QTest::newRow("blank then cancel") << QStringList{"  ", "<cancel>"} << "<none>";
    }

    void theNamePromptAsksAgainUntilANameIsGiven()
    {
        QFETCH(QStringList, answers);
        QFETCH(QString, name);
        // Once at the top level, once under the selected group through the tool-bar button.
        for (const QString &selection : {QString(), QString("G")}) {
            selectByName(selection);
            f.prompts->asked.clear();
            for (const QString &answer : answers)
                f.prompts->textAnswers.enqueue(answer == "<cancel>" ? std::nullopt : std::optional<QString>(answer));
            const QStringList before = f.snapshot();
            if (selection.isEmpty())
                run("DDGroup_AddTop");
            else
                run("TlAddGroupBtn1");

            QCOMPARE(f.prompts->asked.size(), answers.size());
            for (const ScriptedPrompts::Asked &asked : f.prompts->asked) {
                QCOMPARE(asked.caption, QString("グループの追加"));
                QCOMPARE(asked.prompt, QString("グループ名の入力（後で変更可）"));
                QCOMPARE(asked.maxLength, 255);
            }
            if (name == "<none>") {
                QCOMPARE(f.snapshot(), before);
                continue;
            }
            LinkNode *owner = f.node(selection);
            const LinkNode *added = f.tree().child(owner, f.tree().childCount(owner) - 1);
            QCOMPARE(added->text(), name);
            QVERIFY(added->isGroup());
        }
    }

    void actionUpdateFollowsTheSelection_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<bool>("groupEnabled");
        QTest::addColumn<QString>("groupCaption");
        QTest::addColumn<QString>("groupHint");
        QTest::addColumn<bool>("linkEnabled");
        QTest::addColumn<QString>("linkCaption");
        QTest::addColumn<QString>("linkHint");
        const QString childGroup = "選択アイテムの子要素に作成(&C)...";
        const QString childGroupHint = "選択アイテムに子要素としてグループを追加";
        const QString childLink = "選択アイテムの子要素に作成(&C)";
        const QString childLinkHint = "選択アイテムの子要素としてリンクを追加";
        const QString sibling = "選択アイテムと同レベルに作成(&C)";
        const QString siblingHint = "選択アイテムと同レベルにリンクを追加";
        QTest::newRow("none") << "" << false << childGroup << childGroupHint << false << childLink << childLinkHint;
        QTest::newRow("group") << "G" << true << childGroup << childGroupHint << true << childLink << childLinkHint;
        // The group action keeps the caption and hint it was designed with.
        QTest::newRow("top-level link") << "t" << false << "子要素に作成(&C)..." << "" << true << sibling << siblingHint;
        QTest::newRow("nested link") << "n" << true << "選択アイテムの親に子要素として作成(&C)..."
                                     << "つまり選択アイテムと同レベルにグループを追加するってこと" << true << sibling
                                     << siblingHint;
    }

    void actionUpdateFollowsTheSelection()
    {
        QFETCH(QString, selection);
        selectByName(selection);
        // Every menu that holds the actions runs the update as it opens, and shows its result.
        const QList<QPair<QMenu *, QStringList>> menus{
            {f.ui->DDGroupMenu, {"DDGroup_AddTop", "DDGroup_AddChild"}},
            {f.ui->DDLinkMenu, {"DDLink_AddTop", "DDLink_AddChild"}},
            {f.ui->TVPop_AddGroup1, {"TVPop_TopLevelAddGroup1", "TVPop_ChildAddGroup1"}},
            {f.ui->TVPop_AddLink1, {"TVPop_TopLevelAddLink1", "TVPop_ChildAddLink1"}},
            {f.ui->LVPopUp, {"LVPop_AddLink1"}},
        };
        for (const auto &[menu, items] : menus) {
            f.ui->ChildAddGroupAction1->setEnabled(!f.ui->ChildAddGroupAction1->isEnabled());
            f.ui->ChildAddLinkAction1->setEnabled(!f.ui->ChildAddLinkAction1->isEnabled());
            menu->popup(f.window->mapToGlobal(QPoint(10, 10)));
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            QTEST(f.ui->ChildAddGroupAction1->isEnabled(), "groupEnabled");
            QTEST(f.ui->ChildAddGroupAction1->text(), "groupCaption");
            QTEST(f.ui->ChildAddGroupAction1->statusTip(), "groupHint");
            QTEST(f.ui->ChildAddLinkAction1->isEnabled(), "linkEnabled");
            QTEST(f.ui->ChildAddLinkAction1->text(), "linkCaption");
            QTEST(f.ui->ChildAddLinkAction1->statusTip(), "linkHint");
            QVERIFY(menu->findChild<QAction *>(items[0])->isEnabled());
            if (items.size() > 1) {
                QAction *source = items[1].contains("Group") ? f.ui->ChildAddGroupAction1
                                                             : f.ui->ChildAddLinkAction1;
                auto *item = menu->findChild<QAction *>(items[1]);
                QCOMPARE(item->isEnabled(), source->isEnabled());
                QCOMPARE(item->text(), source->text());
                QCOMPARE(item->statusTip(), source->statusTip());
            }
            menu->close();
        }
        // The other actions never change.
        QVERIFY(f.ui->TopLevelAddGroupAction1->isEnabled());
        QCOMPARE(f.ui->TopLevelAddGroupAction1->text(), QString("トップレベルに作成(&T)..."));
        QCOMPARE(f.ui->TopLevelAddLinkAction1->text(), QString("トップレベルに作成(&T)"));
        QVERIFY(f.ui->LV_AddLinkAction1->isEnabled());
        QCOMPARE(f.ui->LV_AddLinkAction1->text(), QString("リンクの追加(&A)"));
    }

    void aTopLevelLinkKeepsTheGroupActionsLastCaption()
    {
        f.clickNode("n");
        f.ui->DDGroupMenu->popup(QPoint(10, 10));
        f.ui->DDGroupMenu->close();
        f.clickNode("t");
        f.ui->LVPopUp->popup(QPoint(10, 10));
        f.ui->LVPopUp->close();
        QVERIFY(!f.ui->ChildAddGroupAction1->isEnabled());
        QCOMPARE(f.ui->ChildAddGroupAction1->text(), QString("選択アイテムの親に子要素として作成(&C)..."));
        QCOMPARE(f.ui->ChildAddGroupAction1->statusTip(),
                 QString("つまり選択アイテムと同レベルにグループを追加するってこと"));
    }

    void addingATopLevelLinkListsTheTopLevelLinks()
    {
        LinkNode *g = f.node("G");
        f.clickNode(g);
        QCOMPARE(f.rowCaptions(), QStringList({"n"}));
        f.clickMenuItem("DDLink_AddTop");
        QCOMPARE(f.rowCaptions(), QStringList({"t", ""}));
        QCOMPARE(f.selectedRowIndex(), 1);
        QVERIFY(!f.ui->GroupNameEdit->isEnabled());
        QCOMPARE(f.window->selectedNode(), f.rowNode(1));
        QCOMPARE(g->text(), QString("G"));
    }

    // The list is a view of the tree: whatever puts a link into the listed group, or takes it
    // out again, shows at once.
    void theListedGroupShowsEveryChangeAtOnce()
    {
        f.clickNode("G");
        f.clickButton(f.ui->TlAddLinkBtn1);
        QCOMPARE(f.rowCaptions(), QStringList({"n", ""}));
        f.ui->UndoAction1->trigger();
        QCOMPARE(f.rowCaptions(), QStringList({"n"}));
        f.ui->RedoAction1->trigger();
        QCOMPARE(f.rowCaptions(), QStringList({"n", ""}));

        f.clickNode("t");
        f.ui->CopyAction1->trigger();
        f.clickNode("G");
        f.ui->PasteAction1->trigger();
        QCOMPARE(f.rowCaptions(), QStringList({"n", "", "t"}));
        QCOMPARE(f.window->selectedNode(), f.node("G"));
    }

    // A list typed as an outliner takes it: a name, Ctrl+Return, the next name, in the editor
    // field as in the tree; each insert is one step.
    void insertKeysAddRightAfterTheSelection()
    {
        f.clickNode("n");
        f.ui->TreeView1->setFocus();
        QTest::keyClick(f.ui->TreeView1, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), f.ui->LinkTextEdit);
        QTest::keyClicks(f.ui->LinkTextEdit, "m");
        QTest::keyClick(f.ui->LinkTextEdit, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), f.ui->GroupNameEdit);
        QCOMPARE(f.ui->GroupNameEdit->selectedText(), f.window->selectedNode()->text());
        const QStringList inserted = f.snapshot();
        QCOMPARE(inserted.mid(1, 3), QStringList({"1|n|link|h-n|_self|id-n|c-n", "1|m|link||||",
                                                  "1|" + f.window->selectedNode()->text() + "|group||||"}));
        f.ui->UndoAction1->trigger();
        QCOMPARE(f.snapshot(), inserted.mid(0, 3) + inserted.mid(4));
    }

    void deleteFromTheTree_data()
    {
        QTest::addColumn<QString>("via");
        QTest::newRow("button") << "TlBtn3";
        QTest::newRow("pop-up menu") << "TVPop_Delete1";
        QTest::newRow("Delete key") << "Delete in TreeView1";
    }

    void deleteFromTheTree()
    {
        QFETCH(QString, via);
        // A group goes with everything below it; the tree picks the next node, which is listed.
        LinkNode *g = f.node("G");
        TreeEdits::appendGroup(f.model(), g, "H");
        f.addLink(f.node("H"), "h");
        f.clickNode("h");
        f.clickNode(g);
        run(via);
        QCOMPARE(f.snapshot(), QStringList({"0|t|link|h-t|_self|id-t|c-t"}));
        QCOMPARE(f.window->selectedNode(), f.node("t"));
        QCOMPARE(f.rowCaptions(), QStringList({"t"}));
        QCOMPARE(f.selectedRowIndex(), 0);
        QCOMPARE(f.ui->LinkTextEdit->text(), QString("t"));

        // The last node: the list is emptied with the tree.
        run(via);
        QCOMPARE(f.tree().count(), 0);
        QCOMPARE(f.window->selectedNode(), nullptr);
        QCOMPARE(f.rowCount(), 0);

        // Nothing selected: nothing to delete, nothing said.
        buildTree();
        run(via);
        QCOMPARE(f.tree().count(), 3);
        QVERIFY(f.prompts->messages.isEmpty());
    }

    void severalSelectedNodesActAsOneStep_data()
    {
        QTest::addColumn<QString>("via");
        QTest::addColumn<QString>("shiftTo"); // the end of a Shift-click range from n
        QTest::addColumn<QString>("ctrlAdd"); // a node Ctrl-clicked besides
        QTest::addColumn<int>("listed");      // rows the list shows selected
        QTest::addColumn<QStringList>("after");
        QTest::newRow("range deleted") << "TVPop_Delete1" << "k" << "" << 3 << QStringList({"0|G", "0|t"});
        QTest::newRow("ctrl deleted") << "Delete in TreeView1" << "" << "t" << 1
                                      << QStringList({"0|G", "1|m", "1|k"});
        QTest::newRow("ctrl cut") << "CutAction1" << "" << "k" << 2 << QStringList({"0|G", "1|m", "0|t"});
        QTest::newRow("range moved") << "MoveDownAction1" << "m" << "" << 2
                                     << QStringList({"0|G", "1|k", "1|n", "1|m", "0|t"});
        QTest::newRow("one moved") << "MoveDownAction1" << "" << "" << 1
                                   << QStringList({"0|G", "1|m", "1|n", "1|k", "0|t"});
    }

    void severalSelectedNodesActAsOneStep()
    {
        QFETCH(QString, via);
        QFETCH(QString, shiftTo);
        QFETCH(QString, ctrlAdd);
        QFETCH(int, listed);
        QFETCH(QStringList, after);
        f.addLink(f.node("G"), "m");
        f.addLink(f.node("G"), "k");
        const QStringList before = f.snapshot();
        f.clickNode("n");
        if (!shiftTo.isEmpty())
            f.clickNode(shiftTo, Qt::ShiftModifier);
        if (!ctrlAdd.isEmpty())
            f.clickNode(ctrlAdd, Qt::ControlModifier);
        QCOMPARE(int(f.ui->ListView1->selectionModel()->selectedRows().size()), listed);
        run(via);
        QStringList shown;
        for (const QString &node : f.snapshot())
            shown << node.section('|', 0, 1);
        QCOMPARE(shown, after);
        f.ui->UndoAction1->trigger();
        QCOMPARE(f.snapshot(), before);
    }

    void deletingANestedLinkListsTheNodeTheTreePicks()
    {
        f.addLink(f.node("G"), "m");
        f.clickNode("m");
        QCOMPARE(f.rowCaptions(), QStringList({"n", "m"}));
        run("TVPop_Delete1");
        QCOMPARE(f.window->selectedNode(), f.node("n"));
        QCOMPARE(f.rowCaptions(), QStringList({"n"}));
        QCOMPARE(f.selectedRowIndex(), 0);
        QCOMPARE(f.ui->HrefEdit->text(), QString("h-n"));

        // The group's only link: the tree picks the group, which now lists nothing.
        run("TVPop_Delete1");
        QCOMPARE(f.window->selectedNode(), f.node("G"));
        QCOMPARE(f.rowCaptions(), QStringList());
        QCOMPARE(f.ui->GroupNameEdit->text(), QString("G"));
    }

    void deleteFromTheListDeletesTheRowsOwnNode_data()
    {
        QTest::addColumn<QString>("via");
        QTest::newRow("pop-up menu") << "LVPop_Delete1";
        QTest::newRow("Delete key") << "Delete in ListView1";
    }

    void deleteFromTheListDeletesTheRowsOwnNode()
    {
        QFETCH(QString, via);
        // No row selected: nothing happens.
        f.clickNode("G");
        const QStringList before = f.snapshot();
        run(via);
        QCOMPARE(f.snapshot(), before);

        // The top-level links are listed, then a child added to G moves them all one place on.
        f.clickMenuItem("DDLink_AddTop");
        f.addLink(f.node("G"), "late");
        f.clickRow(0);
        QCOMPARE(f.window->selectedNode(), f.node("t"));
        run(via);
        QCOMPARE(f.snapshot(), QStringList({"0|G|group||||", "1|n|link|h-n|_self|id-n|c-n",
                                            "1|late|link|h-late|_self|id-late|c-late", "0||link||||"}));
        // The tree picked the new link in t's place and the list follows it.
        QCOMPARE(f.window->selectedNode(), f.tree().nodeAt(3));
        QCOMPARE(f.rowCaptions(), QStringList({""}));
        QCOMPARE(f.selectedRowIndex(), 0);
    }

    void deletingTheLastNodeFromTheListEmptiesIt()
    {
        f.clickNode("G");
        f.clickMenuItem("TVPop_Delete1");
        QCOMPARE(f.window->selectedNode(), f.node("t"));
        QCOMPARE(f.selectedRowIndex(), 0);
        f.clickMenuItem("LVPop_Delete1");
        QCOMPARE(f.tree().count(), 0);
        QCOMPARE(f.rowCount(), 0);
    }

    // A right-click selects the node under the pointer, so the pop-up acts on what is shown selected.
    void thePopUpActsOnTheNodeUnderThePointer()
    {
        f.clickNode("G");
        const QRect other = f.ui->TreeView1->visualRect(f.model().indexFromNode(f.node("t")));
        QTest::mouseClick(f.ui->TreeView1->viewport(), Qt::RightButton, {}, other.center());
        QCOMPARE(f.window->selectedNode(), f.node("t"));
        f.clickMenuItem("TVPop_Delete1");
        QVERIFY(!f.node("t"));
        QVERIFY(f.node("G"));
    }

    // The tree's current index moves without selecting (keyboard focus, a click beside the rows,
    // Ctrl+click): whatever the user did, the commands see exactly the node drawn as selected.
    void commandsActOnlyOnTheNodeShownSelected_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<QString>("shown"); // the node still drawn selected; empty: none
        QTest::newRow("tab into the tree") << "tab" << "";
        QTest::newRow("click beside the rows") << "beside" << "t";
        QTest::newRow("ctrl+click the selected node") << "ctrl+click" << "t";
    }

    void commandsActOnlyOnTheNodeShownSelected()
    {
        QFETCH(QString, gesture);
        QFETCH(QString, shown);
        QTreeView *tree = f.ui->TreeView1;
        if (gesture == "tab") {
            f.ui->ListView1->setFocus();
            for (int i = 0; i < 20 && !tree->hasFocus(); ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QVERIFY(tree->hasFocus());
        } else {
            f.clickNode("t");
            if (gesture == "beside")
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(5, tree->viewport()->height() - 5));
            else
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier,
                                  tree->visualRect(f.model().indexFromNode(f.node("t"))).center());
        }
        QVERIFY(tree->selectionModel()->currentIndex().isValid());
        const QModelIndexList drawn = tree->selectionModel()->selectedIndexes();
        QCOMPARE(drawn.isEmpty() ? QString() : f.model().nodeFromIndex(drawn.first())->text(), shown);

        QStringList expected = f.snapshot();
        if (!shown.isEmpty())
            expected.removeIf([&](const QString &line) { return line.section('|', 1, 1) == shown; });
        f.clickMenuItem("TVPop_Delete1");
        QCOMPARE(f.snapshot(), expected);
        if (shown.isEmpty()) {
            // Nothing drawn selected: the child-add command adds at the top level.
            run("TlAddLinkBtn1");
            QCOMPARE(f.tree().childCount(nullptr), 3);
        }
    }

    // F2 edits the node's text in place; a group keeps to the name prompt's rules.
    void inPlaceEditFollowsTheNameRules_data()
    {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("group trimmed") << "G" << "  新しい 名前 " << "新しい 名前";
        QTest::newRow("group never blank") << "G" << " \t " << "G";
        QTest::newRow("group of a full-width space") << "G" << "　" << "　";
        QTest::newRow("link as typed") << "n" << " x " << " x ";
        QTest::newRow("link emptied") << "t" << "" << "";
    }

    void inPlaceEditFollowsTheNameRules()
    {
        QFETCH(QString, node);
        QFETCH(QString, typed);
        LinkNode *edited = f.node(node);
        f.clickNode(edited);
        QTest::keyClick(f.ui->TreeView1, Qt::Key_F2);
        QPointer<QLineEdit> editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        QVERIFY(f.ui->TreeView1->isAncestorOf(editor));
        editor->setText(typed);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!editor);
        QTEST(edited->text(), "text");
        // The tree and, for a link, its row and the editor show it.
        QTEST(f.model().data(f.model().indexFromNode(edited)).toString(), "text");
        if (!edited->isGroup()) {
            QTEST(f.rowText(f.selectedRowIndex(), 0), "text");
            QTEST(f.ui->LinkTextEdit->text(), "text");
        }
    }

    void pastePlacesTheNodes_data()
    {
        QTest::addColumn<QString>("selection"); // empty: nothing selected
        QTest::addColumn<QStringList>("shape");
        // G { n, m }, t, u with G copied.
        QTest::newRow("nothing: the end of the top level")
            << "" << QStringList{"0|G", "1|n", "1|m", "0|t", "0|u", "0|G", "1|n", "1|m"};
        QTest::newRow("a group: its last child")
            << "G" << QStringList{"0|G", "1|n", "1|m", "1|G", "2|n", "2|m", "0|t", "0|u"};
        QTest::newRow("a nested link: after it")
            << "n" << QStringList{"0|G", "1|n", "1|G", "2|n", "2|m", "1|m", "0|t", "0|u"};
        QTest::newRow("a top-level link: after it")
            << "t" << QStringList{"0|G", "1|n", "1|m", "0|t", "0|G", "1|n", "1|m", "0|u"};
    }

    void pastePlacesTheNodes()
    {
        QFETCH(QString, selection);
        QFETCH(QStringList, shape);
        f.addLink(f.node("G"), "m");
        f.addLink(nullptr, "u");

        // Copied from the tree: the group with its links, for this editor and for a text editor.
        f.clickNode("G");
        QTest::keySequence(f.ui->TreeView1, QKeySequence::Copy);
        const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY(copied->hasFormat("application/x-vormik-nodes"));
        QCOMPARE(copied->text(), QString("G\r\n\tn\r\n\tm\r\n"));

        if (selection.isEmpty())
            f.ui->TreeView1->selectionModel()->clear();
        else
            f.clickNode(selection);
        const QStringList n = f.snapshot().filter("|n|");
        QTest::keySequence(f.ui->TreeView1, QKeySequence::Paste);

        QStringList pasted;
        for (const LinkNode *node : f.tree().nodes())
            pasted << QString("%1|%2").arg(node->level()).arg(node->text());
        QCOMPARE(pasted, shape);
        // Copies with every field, not the nodes themselves.
        const QStringList copies = f.snapshot().filter("|n|");
        QCOMPARE(copies.size(), 2);
        QCOMPARE(copies[0].section('|', 1), n[0].section('|', 1));
        QCOMPARE(copies[1].section('|', 1), n[0].section('|', 1));
    }

    // Nodes that cannot be read are refused with a message, and the tree stays as it was.
    void damagedNodesOnTheClipboardAreRefused()
    {
        auto *data = new QMimeData;
        data->setData("application/x-vormik-nodes", "<NodeData><Nodes>a\r\n\t\t\tb\r\n</Nodes></NodeData>");
        QGuiApplication::clipboard()->setMimeData(data);
        f.clickNode("G");
        const QStringList before = f.snapshot();
        QTest::keySequence(f.ui->TreeView1, QKeySequence::Paste);
        QCOMPARE(f.prompts->messages.size(), 1);
        QCOMPARE(f.prompts->messages.constFirst().icon, Prompts::Icon::Critical);
        const QString message = f.prompts->messages.constFirst().text;
        QVERIFY(message.contains("\"b\""));
        // It names the clipboard, not a file.
        QVERIFY2(message.contains("クリップボード") && !message.contains("ファイル"), qPrintable(message));
        QCOMPARE(f.snapshot(), before);
    }

    void importPutsTheNodesUnderTheSelectedGroupAsOneStep_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<bool>("read");
        QTest::newRow("bookmarks into a group") << "import/firefox.html" << "G" << true;
        QTest::newRow("OPML beside a nested link") << "import/feeds.opml" << "n" << true;
        QTest::newRow("at the top level") << "import/chrome.html" << "t" << true;
        QTest::newRow("not a format read") << "project/windows-layout.xml" << "G" << false;
    }

    void importPutsTheNodesUnderTheSelectedGroupAsOneStep()
    {
        QFETCH(QString, file);
        QFETCH(QString, selection);
        QFETCH(bool, read);
        selectByName(selection);
        const QStringList before = f.snapshot();
        LinkNode *selected = f.node(selection);
        const LinkNode *group = selected->isGroup() ? selected : selected->parent();
        const int inGroup = group ? LinkTree::subtreeSize(group) : 0;
        f.prompts->fileAnswers << QStringLiteral(VORMIK_TEST_DATA "/") + file;
        f.clickMenuItem("mnImport1");
        QCOMPARE(f.prompts->messages.size(), 1);
        QCOMPARE(f.prompts->messages.constFirst().icon, read ? Prompts::Icon::Information : Prompts::Icon::Critical);
        if (!read) {
            QCOMPARE(f.snapshot(), before);
            return;
        }
        // Every new node lies below the group, or after everything at the top level.
        const int added = f.tree().count() - int(before.size());
        QVERIFY(added > 0);
        if (group)
            QCOMPARE(LinkTree::subtreeSize(group) - inGroup, added);
        else
            QCOMPARE(f.snapshot().mid(0, before.size()), before);
        f.ui->UndoAction1->trigger();
        QCOMPARE(f.snapshot(), before);
    }

    // Each file dialog lists its command's files under its first filter; import also offers all files.
    void fileDialogsListTheirFiles_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("anyFile");
        QTest::newRow("import") << "mnImport1" << QStringList{"bookmarks.html", "a.htm", "a.opml", "a.json", "a.xml"} << true;
        QTest::newRow("open") << "mnOpen1" << QStringList{"menu.xml"} << false;
        QTest::newRow("export") << "mnOutPutHTML1" << QStringList{"menu.html", "menu.htm"} << false;
    }
    void fileDialogsListTheirFiles()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, files);
        f.prompts->fileAnswers << std::nullopt;
        control<QAction>(*f.window, qPrintable(command))->trigger();
        QFileDialog dialog;
        QtPrompts::setUpFileDialog(dialog, f.prompts->fileDialogs.value(0));
        QList<QStringList> filters;
        for (const QString &filter : dialog.nameFilters())
            filters << QRegularExpression(QStringLiteral("\\(([^()]*)\\)$")).match(filter).captured(1).split(u' ');
        for (const QString &file : files)
            QVERIFY2(QDir::match(filters.constFirst(), file), qPrintable(file));
        QTEST(filters.contains(QStringList{"*"}), "anyFile");
    }

    // The report names the script addresses and asks whether to keep them.
    void importAsksWhetherToKeepScriptAddresses_data()
    {
        QTest::addColumn<bool>("keep");
        QTest::newRow("kept") << true;
        QTest::newRow("left out") << false;
    }
    void importAsksWhetherToKeepScriptAddresses()
    {
        QFETCH(bool, keep);
        f.prompts->fileAnswers << QStringLiteral(VORMIK_TEST_DATA "/import/hostile-bookmarks.html");
        f.prompts->questionAnswers << keep;
        f.clickMenuItem("mnImport1");
        QCOMPARE(f.prompts->messages.size() + f.prompts->questions.size(), 1); // the report is the question
        QVERIFY(f.prompts->questions.value(0).text.contains(QStringLiteral("「bookmarklet」")));
        QCOMPARE(f.node("bookmarklet")->record().Href.startsWith(QStringLiteral("JavaScript:")), keep);
        QCOMPARE(f.node("data")->record().Href.isEmpty(), !keep);
    }

    // Links to pages the tree has are counted in the report, and skipped when the user says so.
    void importSkipsLinksAlreadyInTheTree_data()
    {
        QTest::addColumn<bool>("skip");
        QTest::newRow("skipped") << true;
        QTest::newRow("kept") << false;
    }
    void importSkipsLinksAlreadyInTheTree()
    {
        QFETCH(bool, skip);
        f.addLink(nullptr, "mine1")->record().Href = "HTTPS://WWW.GOOGLE.COM/index.html#x";
        f.addLink(nullptr, "mine2")->record().Href = "https://news.example.jp/";
        f.prompts->fileAnswers << QStringLiteral(VORMIK_TEST_DATA "/import/chrome.html");
        f.prompts->questionAnswers << skip;
        f.clickMenuItem("mnImport1");
        QCOMPARE(f.prompts->messages.size(), 0);
        QCOMPARE(f.prompts->questions.size(), 1);
        QVERIFY(f.prompts->questions[0].text.contains(QStringLiteral("2 件のリンクはすでにツリーにある")));
        QCOMPARE(f.node("Google") == nullptr, skip);
        QCOMPARE(f.node(QStringLiteral("ニュース 「速報」")) == nullptr, skip);
        QVERIFY(f.node("Top level"));
    }

    // Sorting from the menu reorders the list too, its selected row following its link, both ways.
    void sortReordersTheListKeepingItsRow_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("selected");
        QTest::newRow("ascending") << "mnSortAscending1" << QStringList{"a", "b", "c", "n"} << 2;
        QTest::newRow("descending") << "mnSortDescending1" << QStringList{"n", "c", "b", "a"} << 1;
    }
    void sortReordersTheListKeepingItsRow()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, rows);
        for (const char *name : {"c", "a", "b"})
            f.addLink(f.node("G"), name);
        f.clickNode("G");
        f.clickRow(1);
        f.clickMenuItem(command);
        QCOMPARE(f.rowCaptions(), rows);
        QTEST(f.selectedRowIndex(), "selected");
        QCOMPARE(f.window->selectedNode(), f.node("c"));
        f.ui->UndoAction1->trigger();
        QCOMPARE(f.rowCaptions(), (QStringList{"n", "c", "a", "b"}));
        QCOMPARE(f.selectedRowIndex(), 1);
    }

    // 重複リンク lists links to one page in sets, follows edits, and a double-click selects the link.
    void duplicatesListSelectsOnDoubleClick()
    {
        f.addLink(nullptr, "one")->record().Href = "http://x.jp/";
        LinkNode *group = TreeEdits::appendGroup(f.model(), nullptr, "G");
        f.addLink(nullptr, "three")->record().Href = "http://y.jp/";
        f.addLink(group, "two")->record().Href = "http://X.jp/index.html?a";
        f.clickMenuItem("mnDuplicates1");
        auto *list = f.window->findChild<QTreeWidget *>("DuplicatesList1");
        QVERIFY(list && QTest::qWaitForWindowExposed(list->window()));
        QCOMPARE(list->topLevelItemCount(), 1);
        QTreeWidgetItem *two = list->topLevelItem(0)->child(1);
        QCOMPARE(two->text(0), QString("two"));
        const QPoint place = list->visualItemRect(two).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, place);
        QTRY_COMPARE(f.window->selectedNode(), f.node("two"));
        TreeEdits::setField(f.model(), f.node("two"), NodeField::Href, "http://z.jp/");
        QTRY_COMPARE(list->topLevelItemCount(), 0);
    }

    void theListPopUpActsOnTheRowUnderThePointer()
    {
        f.addLink(f.node("G"), "m");
        f.clickNode("n");
        QTest::mouseClick(f.ui->ListView1->viewport(), Qt::RightButton, {},
                          f.ui->ListView1->visualRect(f.list().index(1, 0)).center());
        QCOMPARE(f.selectedRowIndex(), 1);
        f.clickMenuItem("LVPop_Delete1");
        QVERIFY(!f.node("m"));
        QCOMPARE(f.window->selectedNode(), f.node("n"));
        QCOMPARE(f.rowCaptions(), QStringList({"n"}));
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
