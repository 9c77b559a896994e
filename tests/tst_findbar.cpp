// The find field over the window's tree: typing selects, Enter and F3 walk on, Shift+F3 back,
// the count follows, Escape gives the tree back.
#include "TreeEdits.h"
#include "WindowFixture.h"

#include <QLabel>

class TestFindBar : public QObject
{
    Q_OBJECT

    WindowFixture f;
    QLineEdit *edit() { return control<QLineEdit>(*f.window, "FindEdit"); }
    QString count() { return control<QLabel>(*f.window, "FindCount")->text(); }
    QString selected() { return f.window->selectedNode() ? f.window->selectedNode()->text() : QString(); }

private slots:
    void init()
    {
        QVERIFY(f.open());
        LinkNode *docs = TreeEdits::appendGroup(f.model(), nullptr, "カタログ");
        LinkAttr href;
        href.Href = "https://example.org/Catalog.html";
        TreeEdits::appendLink(f.model(), docs, "first", href);
        LinkNode *inner = TreeEdits::appendGroup(f.model(), docs, "inner");
        TreeEdits::appendLink(f.model(), inner, "かたろぐ");
        TreeEdits::appendLink(f.model(), nullptr, "other");
    }
    void cleanup() { f.close(); }

    void typingSelectsAndKeysWalkTheMatches()
    {
        control<QAction>(*f.window, "FindAction1")->trigger();
        QVERIFY(edit()->hasFocus());
        // Case, width and kana aside: the group, the link by its address, the hiragana link.
        edit()->insert("ｶﾀﾛｸﾞ"); // as an input method commits it
        QCOMPARE(selected(), QString("カタログ"));
        QCOMPARE(count(), QString("1 / 2 件"));
        edit()->setText("catalog");
        QCOMPARE(selected(), QString("first"));
        QCOMPARE(count(), QString("1 / 1 件"));

        edit()->setText("カタ");
        const struct
        {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char *selected;
            const char *count;
        } steps[] = {
            {Qt::Key_Return, {}, "かたろぐ", "2 / 2 件"},
            {Qt::Key_F3, {}, "カタログ", "1 / 2 件"},
            {Qt::Key_F3, Qt::ShiftModifier, "かたろぐ", "2 / 2 件"},
        };
        for (const auto &step : steps) {
            QTest::keyClick(edit(), step.key, step.modifiers);
            QCOMPARE(selected(), QString(step.selected));
            QCOMPARE(count(), QString(step.count));
        }
        // The node found is the one commands act on: its group is listed and it is shown.
        QVERIFY(f.ui->TreeView1->isExpanded(f.model().indexFromNode(f.node("inner"))));
        QCOMPARE(f.rowCaptions(), QStringList({"かたろぐ"}));

        QTest::keyClick(edit(), Qt::Key_Escape);
        QVERIFY(edit()->text().isEmpty());
        QVERIFY(f.ui->TreeView1->hasFocus());
    }

    void nothingMatchingLeavesTheSelection()
    {
        f.clickNode("other");
        edit()->setText("zzz");
        QCOMPARE(selected(), QString("other"));
        QCOMPARE(count(), QString("0 件"));
    }
};

QTEST_MAIN(TestFindBar)
#include "tst_findbar.moc"
