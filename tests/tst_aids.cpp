#include "TreeEdits.h"
#include "app/window/MainWindow.h"
#include "app/panes/PopupPanel.h"
#include "tree/UsedValues.h"
#include "text/TextRules.h"
#include "app/editing/LinkTreeModel.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>


struct Fields
{
    QString id;
    QString cls;
};

class TestAids : public QObject
{
    Q_OBJECT

    WindowFixture fixture;
    MainWindow *window = nullptr;
    MainWindowParts *ui = nullptr;
    ScriptedPrompts *prompts = nullptr;

    const LinkTree &tree() { return window->treeModel().tree(); }

    LinkNode *addLink(LinkNode *parent, const QString &text, const Fields &fields)
    {
        LinkAttr record;
        record.ObjID = fields.id;
        record.Class = fields.cls;
        return TreeEdits::appendLink(window->treeModel(), parent, text, record);
    }

    // Selects a link in the tree, which lists it with its siblings and selects its row; a group
    // lists its links with no row selected.
    void select(LinkNode *node)
    {
        fixture.clickNode(node);
        const int row = fixture.selectedRowIndex();
        if (node->isGroup())
            QCOMPARE(row, -1);
        else
            QCOMPARE(fixture.rowNode(row), node);
    }

    QList<LinkAttr> records()
    {
        QList<LinkAttr> all;
        for (const LinkNode *node : tree().nodes())
            all.append(node->record());
        return all;
    }

    QStringList listedClasses()
    {
        QStringList texts;
        for (int i = 0; i < ui->ClassListBox->count(); ++i)
            texts.append(ui->ClassListBox->item(i)->text());
        return texts;
    }

    void tick(const QString &text)
    {
        const QList<QListWidgetItem *> found = ui->ClassListBox->findItems(text, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        found.constFirst()->setCheckState(Qt::Checked);
    }

    void openPicker()
    {
        // The picker serves the selected link; without one its button takes no click.
        if (!window->selectedRowNode()) {
            for (LinkNode *node : tree().nodes()) {
                if (!node->isGroup()) {
                    select(node);
                    break;
                }
            }
        }
        ui->UsedClassBtn->click();
        QVERIFY(ui->PopupPanel1->isPoppedUp());
        QVERIFY(ui->PopupPanel1->popupForm());
        QTRY_VERIFY(ui->PopupPanel1->popupForm()->isActiveWindow());
    }

private slots:
    void init()
    {
        QVERIFY(fixture.open());
        window = fixture.window.get();
        ui = fixture.ui.get();
        prompts = fixture.prompts;
    }
    void cleanup() { fixture.close(); }

    void idCheck_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("selected"); // text of the link whose row is selected; empty: none
        QTest::addColumn<QString>("warning");  // the warning's text; empty: the no-duplicate box

        QTest::newRow("own ID of the edited link") << "menu" << "Menu link" << "";
        QTest::newRow("another link's ID, other case") << "top" << "Menu link" << "ID : top は既に使われています";
        QTest::newRow("named trimmed, as typed") << "  TOP \t" << "Menu link" << "ID : TOP は既に使われています";
        QTest::newRow("edited ID used by another link") << "menu" << "Top link" << "ID : menu は既に使われています";
        QTest::newRow("no row selected: no check offered") << "MENU" << "" << "";
        QTest::newRow("a group's exported id") << "vmk_g0" << "Menu link" << "ID : vmk_g0 は既に使われています";
        QTest::newRow("unused ID") << "footer" << "Menu link" << "";
        QTest::newRow("full-width space is part of the ID") << "menu　" << "Top link" << "";
        QTest::newRow("stored IDs are not trimmed") << "side" << "Menu link" << "";
        QTest::newRow("empty ID, although a link has none") << "" << "Menu link" << "";
        QTest::newRow("blank ID") << " \t " << "Top link" << "";
    }

    void idCheck()
    {
        QFETCH(QString, typed);
        QFETCH(QString, selected);
        QFETCH(QString, warning);

        LinkNode *group = TreeEdits::appendGroup(window->treeModel(), nullptr, "Group");
        group->record().ObjID = "VMK_G0";
        LinkNode *menu = addLink(group, "Menu link", {"menu", {}});
        LinkNode *top = addLink(group, "Top link", {"Top", {}});
        addLink(group, "No ID", {{}, {}});
        addLink(nullptr, "Side", {" side ", {}});

        select(selected == "Menu link" ? menu : selected == "Top link" ? top : group);
        ui->IDEdit->setText(typed);
        const QList<LinkAttr> before = records();

        ui->OverlapIDBtn->click();
        if (selected.isEmpty()) {
            QVERIFY(!ui->OverlapIDBtn->isEnabled());
            QCOMPARE(prompts->messages.size(), 0);
            return;
        }

        QCOMPARE(prompts->messages.size(), 1);
        const ScriptedPrompts::Shown shown = prompts->messages.constFirst();
        if (warning.isEmpty()) {
            QCOMPARE(shown.icon, Prompts::Icon::Information);
            QCOMPARE(shown.caption, QString("情報"));
            QCOMPARE(shown.text, QString("IDの重複はありませんでした　　"));
        } else {
            QCOMPARE(shown.icon, Prompts::Icon::Warning);
            QCOMPARE(shown.caption, QString("警告"));
            QCOMPARE(shown.text, warning);
        }
        // The check changes nothing.
        QCOMPARE(ui->IDEdit->text(), typed);
        QCOMPARE(records(), before);
    }

    void classValues_data()
    {
        QTest::addColumn<QStringList>("classes"); // of the nodes, in absolute order
        QTest::addColumn<QStringList>("listed");

        QTest::newRow("first appearance, letter case aside")
            << QStringList{"nav", "Nav", "nav main", "", "nav"} << QStringList{"nav", "nav main"};
        QTest::newRow("a value is kept whole") << QStringList{"b a", "a b", "a"} << QStringList{"b a", "a b", "a"};
        QTest::newRow("not sorted") << QStringList{"zeta", "Alpha", "ZETA", "alpha"} << QStringList{"zeta", "Alpha"};
        QTest::newRow("blanks count") << QStringList{"nav", " nav", "nav "} << QStringList{"nav", " nav", "nav "};
        QTest::newRow("no classes") << QStringList{"", ""} << QStringList{};
        // Letter case beyond ASCII follows the same comparison as everywhere else.
        QTest::newRow("Greek sigma forms") << QStringList{"ς", "Σ", "σ"} << QStringList{"ς"};
        QTest::newRow("Kelvin sign") << QStringList{"\u212A", "k", "K"} << QStringList{"\u212A"};
        QTest::newRow("sharp s is not ss") << QStringList{"Straße", "STRASSE", "strasse"}
                                           << QStringList{"Straße", "STRASSE"};
        QTest::newRow("letters beyond the BMP") << QStringList{"\U00010400x", "\U00010428X", "\U00010401x"}
                                                << QStringList{"\U00010400x", "\U00010401x"};
        QTest::newRow("full width letters") << QStringList{"ＮＡＶ", "ｎａｖ", "nav"} << QStringList{"ＮＡＶ", "nav"};
    }

    void classValues()
    {
        QFETCH(QStringList, classes);
        QFETCH(QStringList, listed);

        // Groups take part: every other node is a group holding the next.
        LinkNode *parent = nullptr;
        for (int i = 0; i < classes.size(); ++i) {
            LinkNode *node = i % 2 == 0 ? TreeEdits::appendGroup(window->treeModel(), parent, "g")
                                        : TreeEdits::appendLink(window->treeModel(), parent, "l");
            node->record().Class = classes.at(i);
            if (node->isGroup())
                parent = node;
        }
        // The expectations follow the one sameness rule of the program.
        for (int i = 1; i < listed.size(); ++i)
            QVERIFY(!TextRules::same(listed.at(i - 1), listed.at(i)));

        QCOMPARE(UsedValues::classes(tree()), listed);
        openPicker();
        QCOMPARE(listedClasses(), listed);
        for (int i = 0; i < ui->ClassListBox->count(); ++i) {
            const QListWidgetItem *item = ui->ClassListBox->item(i);
            QVERIFY(item->flags() & Qt::ItemIsUserCheckable);
            QCOMPARE(item->checkState(), Qt::Unchecked);
        }
    }

    // Enough values to fill the list's lookup table far past its first probe: many repeats in
    // mixed letter case, blanks, letters beyond the BMP. Checked against case-folded strings.
    void classValuesOfALargeTree()
    {
        LinkTree large;
        QRandomGenerator random(7);
        const int pool = 12000;
        for (int i = 0; i < 40000; ++i) {
            QString value;
            if (i % 7 != 3) {
                value = QStringLiteral("Nav%1\U00010400").arg(random.bounded(pool));
                if (random.bounded(2))
                    value = value.toUpper();
            }
            LinkNode *node = i % 100 == 0 ? large.appendGroup(nullptr, "g") : large.appendLink(nullptr, "l");
            node->record().Class = value;
        }

        QStringList expected;
        QSet<QString> folded;
        for (const LinkNode *node : large.nodes()) {
            const QString &value = node->record().Class;
            if (!value.isEmpty() && !folded.contains(value.toCaseFolded())) {
                folded.insert(value.toCaseFolded());
                expected.append(value);
            }
        }
        QVERIFY(expected.size() > pool / 2);
        QCOMPARE(UsedValues::classes(large), expected);
    }

    void pickerCoversButton()
    {
        addLink(nullptr, "a", {{}, "nav"});
        openPicker();

        QWidget *form = ui->PopupPanel1->popupForm();
        QVERIFY(form->isWindow());
        QVERIFY(!form->parentWidget());
        QVERIFY(form->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(ui->PopupPanel1->parentWidget(), form);
        QVERIFY(ui->PopupPanel1->isVisible());

        const QPoint button = ui->UsedClassBtn->mapToGlobal(QPoint(0, 0));
        QCOMPARE(ui->UsedClassBtn->height(), 21);
        QCOMPARE(form->geometry(), QRect(button.x(), button.y() - 97, 117, 117));
        QCOMPARE(ui->PopupPanel1->pos(), QPoint(0, 0));
        // The OK button fills the strip at the bottom.
        QCOMPARE(ui->ClassOKBtn->geometry(), ui->Panel1->rect());
        QCOMPARE(ui->Panel1->height(), 20);
        QCOMPARE(ui->Panel1->geometry().bottom(), ui->PopupPanel1->rect().bottom() - 1);
    }

    void okWritesTickedClassesIntoTheLink()
    {
        addLink(nullptr, "a", {{}, "nav"});
        addLink(nullptr, "b", {{}, "Nav"});
        addLink(nullptr, "c", {{}, "nav main"});
        LinkNode *edited = addLink(nullptr, "d", {{}, "previous"});
        select(edited);
        QCOMPARE(ui->ClassEdit->text(), QString("previous"));
        openPicker();
        QPointer<QWidget> form = ui->PopupPanel1->popupForm();

        tick("nav main");
        tick("nav");
        ui->ClassOKBtn->click();

        QCOMPARE(ui->ClassEdit->text(), QString("nav nav main"));
        QCOMPARE(edited->record().Class, QString("nav nav main"));
        QCOMPARE(fixture.rowText(fixture.selectedRowIndex(), 4), QString("nav nav main"));
        QVERIFY(!ui->PopupPanel1->isPoppedUp());
        QVERIFY(!ui->PopupPanel1->popupForm());
        QVERIFY(!ui->PopupPanel1->parentWidget());
        QVERIFY(!ui->PopupPanel1->isVisible());
        QTRY_VERIFY(form.isNull());
    }

    void okWithNoRowSelectedWritesNoLink()
    {
        LinkNode *group = TreeEdits::appendGroup(window->treeModel(), nullptr, "Group");
        addLink(group, "a", {{}, "nav"});
        select(group);
        const QList<LinkAttr> before = records();
        openPicker();
        tick("nav");
        ui->ClassOKBtn->click();
        QCOMPARE(ui->ClassEdit->text(), QString("nav"));
        QCOMPARE(records(), before);
    }

    void okWithNothingToPickEmptiesTheEditor()
    {
        addLink(nullptr, "a", {{}, {}});
        openPicker();
        ui->ClassEdit->setText("nav");
        QCOMPARE(ui->ClassListBox->count(), 0);
        ui->ClassOKBtn->click();
        QCOMPARE(ui->ClassEdit->text(), QString());
        QVERIFY(!ui->PopupPanel1->isPoppedUp());
    }

    void enterPressesOk()
    {
        addLink(nullptr, "a", {{}, "nav"});
        openPicker();
        tick("nav");
        // The keys go to the picker as soon as it shows.
        QTRY_VERIFY(ui->PopupPanel1->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(ui->ClassListBox, Qt::Key_Escape);
        QVERIFY(ui->PopupPanel1->isPoppedUp());
        QTest::keyClick(ui->ClassListBox, Qt::Key_Return);
        QCOMPARE(ui->ClassEdit->text(), QString("nav"));
        QVERIFY(!ui->PopupPanel1->isPoppedUp());
    }

    void losingActivationWritesNothing()
    {
        addLink(nullptr, "a", {{}, "nav"});
        LinkNode *edited = addLink(nullptr, "b", {{}, "kept"});
        select(edited);
        openPicker();
        QPointer<QWidget> form = ui->PopupPanel1->popupForm();
        tick("nav");

        window->activateWindow();
        QTRY_VERIFY(!ui->PopupPanel1->isPoppedUp());
        QCOMPARE(ui->ClassEdit->text(), QString("kept"));
        QCOMPARE(edited->record().Class, QString("kept"));
        QVERIFY(!ui->PopupPanel1->parentWidget());
        QTRY_VERIFY(form.isNull());
    }

    void everyPopupIsFresh()
    {
        LinkNode *first = addLink(nullptr, "a", {{}, "nav"});
        openPicker();
        QPointer<QWidget> firstForm = ui->PopupPanel1->popupForm();
        tick("nav");
        ui->ClassOKBtn->click();
        QTRY_VERIFY(firstForm.isNull());

        first->record().Class = "menu";
        addLink(nullptr, "b", {{}, "nav"});
        openPicker();
        QCOMPARE(listedClasses(), QStringList({"menu", "nav"}));
        QCOMPARE(ui->ClassListBox->item(1)->checkState(), Qt::Unchecked);
    }

    void popupWindowFollowsThePanelsSize()
    {
        addLink(nullptr, "a", {{}, {}});
        openPicker();
        ui->PopupPanel1->resize(150, 130);
        QCOMPARE(ui->PopupPanel1->popupForm()->size(), QSize(150, 130));
    }

    void panelOnItsOwn()
    {
        PopupPanel panel;
        panel.resize(40, 30);
        QVERIFY(!panel.isVisible());
        QList<QObject *> exits;
        panel.onExit = [&exits](QObject *sender) { exits.append(sender); };

        panel.popUpAt(70, 80);
        QVERIFY(panel.isPoppedUp());
        QCOMPARE(panel.popupForm()->geometry(), QRect(70, 80, 40, 30));
        QCOMPARE(panel.popupForm()->font(), panel.font());

        QObject sender;
        panel.closePopup(&sender);
        QCOMPARE(exits, QList<QObject *>{&sender});
        // A second close has no window to release, so it does not report an exit.
        panel.closePopup(&sender);
        QCOMPARE(exits.size(), 1);

        // Destroyed while popped up, the panel takes its window with it.
        auto *popped = new PopupPanel;
        popped->popUpAt(0, 0);
        QPointer<QWidget> form = popped->popupForm();
        delete popped;
        QVERIFY(form.isNull());
    }
};

QTEST_MAIN(TestAids)
#include "tst_aids.moc"
