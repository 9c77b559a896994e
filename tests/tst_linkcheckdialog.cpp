// The link check from the window: it runs beside the window, lists the answers, marks broken
// links in the tree until they are edited, and changes nothing in the document.
#include "TreeEdits.h"
#include "WindowFixture.h"
#include "app/ProjectDocument.h"

#include <QDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

class TestLinkCheckDialog : public QObject
{
    Q_OBJECT

    WindowFixture f;
    QTemporaryDir dir;

private slots:
    void init() { QVERIFY(f.open()); }
    void cleanup() { f.close(); }

    void brokenLinksAreListedAndMarkedUntilEdited()
    {
        LinkNode *group = TreeEdits::appendGroup(f.model(), nullptr, "G");
        const std::pair<const char *, const char *> links[] = {
            {"present", "present.html"}, {"absent", "absent.html"}, {"mail", "mailto:someone@example.org"}};
        for (const auto &[text, href] : links) {
            LinkAttr fields;
            fields.Href = href;
            TreeEdits::appendLink(f.model(), group, text, fields);
        }
        QFile present(dir.filePath("present.html"));
        QVERIFY(present.open(QIODevice::WriteOnly));
        // Relative addresses are looked for beside the project file.
        f.prompts->fileAnswers << dir.filePath("menu.xml");
        f.ui->mnSave1->trigger();
        const QStringList before = f.snapshot();

        f.window->findChild<QAction *>("mnCheckLinks1")->trigger();
        auto *dialog = f.window->findChild<QDialog *>("LinkCheckDialog");
        QVERIFY(dialog && dialog->isVisible());
        QTRY_VERIFY(!control<QPushButton>(*dialog, "LinkCheckCancelBtn")->isEnabled());
        auto *results = control<QTreeWidget>(*dialog, "LinkCheckResults");
        QCOMPARE(results->topLevelItemCount(), 2);
        QVERIFY(f.model().isMarkedBroken(f.node("absent")));
        QVERIFY(!f.model().isMarkedBroken(f.node("present")));
        QCOMPARE(f.snapshot(), before);
        QVERIFY(!f.window->isWindowModified());

        // Broken answers sort apart; a double-click selects the link.
        QTreeWidgetItem *absentRow = results->findItems("absent.html", Qt::MatchExactly, 2).value(0);
        QVERIFY(absentRow);
        emit results->itemActivated(absentRow, 0);
        QCOMPARE(f.window->selectedNode(), f.node("absent"));

        f.ui->HrefEdit->setFocus();
        QTest::keyClicks(f.ui->HrefEdit, "x");
        QVERIFY(!f.model().isMarkedBroken(f.node("absent")));
    }
};

QTEST_MAIN(TestLinkCheckDialog)
#include "tst_linkcheckdialog.moc"
