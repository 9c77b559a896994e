#include "app/MainForm.h"
#include "ScriptedPrompts.h"

#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void listShowsFiveColumns()
    {
        TMain window;
        QCOMPARE(window.ListView1->columnCount(), 6);
        int visible = 0;
        for (int c = 0; c < window.ListView1->columnCount(); ++c)
            visible += window.ListView1->isColumnHidden(c) ? 0 : 1;
        QCOMPARE(visible, 5);
        QVERIFY(window.ListView1->isColumnHidden(TMain::AbsIndexColumn));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
