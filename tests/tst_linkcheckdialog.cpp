// The link check from the window: it runs beside the window, lists the answers, marks broken
// links in the tree until they are edited, and changes nothing in the document.
#include "LocalHttpServer.h"
#include "TreeEdits.h"
#include "WindowFixture.h"
#include "app/linkcheck/BrokenLinkMarks.h"
#include "app/document/ProjectDocument.h"

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>

class TestLinkCheckDialog : public QObject
{
    Q_OBJECT

    WindowFixture f;
    std::unique_ptr<QTemporaryDir> folder;
    QDir dir;

    // Links named by their addresses, relative ones looked for beside the project file.
    void addLinks(const QStringList &addresses)
    {
        for (const QString &href : addresses)
            TreeEdits::setField(f.model(), TreeEdits::appendLink(f.model(), nullptr, href), NodeField::Href, href);
        f.prompts->fileAnswers << dir.filePath("menu.xml");
        f.ui->mnSave1->trigger();
    }
    bool marked(const LinkNode *node) const { return f.window->findChild<BrokenLinkMarks *>()->isMarked(node); }
    QDialog *startCheck()
    {
        f.window->findChild<QAction *>("mnCheckLinks1")->trigger();
        return f.window->findChild<QDialog *>("LinkCheckDialog");
    }
    // The window's answers, top to bottom, as "address answer-is-red".
    static QStringList rows(QDialog &dialog, bool shownOnly = false)
    {
        QStringList rows;
        for (const QTreeWidgetItem *row : control<QTreeWidget>(dialog, "LinkCheckResults")->findItems("*", Qt::MatchWildcard)) {
            if (!shownOnly || !row->isHidden())
                rows << row->text(2) + (row->foreground(0).color() == Qt::red ? " broken" : "");
        }
        return rows;
    }

private slots:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        dir.setPath(folder->path());
        QVERIFY(f.open());
    }
    void cleanup() { f.close(); }

    void answersSortFilterMovedLinksAndAgain()
    {
        LocalHttpServer server;
        const QString moved = server.url("/moved"), found = server.url("/redirect/302?/ok");
        addLinks({moved, "absent.html", found});
        QDialog *dialog = startCheck();
        QTRY_VERIFY(!control<QPushButton>(*dialog, "LinkCheckCancelBtn")->isEnabled());
        QCOMPARE(rows(*dialog).value(0), "absent.html broken");
        control<QCheckBox>(*dialog, "LinkCheckBrokenOnly")->setChecked(true);
        QCOMPARE(rows(*dialog, true), QStringList{"absent.html broken"});

        control<QCheckBox>(*dialog, "LinkCheckBrokenOnly")->setChecked(false);
        control<QTreeWidget>(*dialog, "LinkCheckResults")->selectAll();
        control<QPushButton>(*dialog, "LinkCheckUpdateBtn")->click();
        QCOMPARE(f.node(moved)->record().Href, server.url("/ok"));
        QCOMPARE(f.node(found)->record().Href, found);
        f.ui->UndoAction1->trigger();
        QCOMPARE(f.node(moved)->record().Href, moved);

        f.prompts->fileAnswers << dir.filePath("answers.csv");
        control<QPushButton>(*dialog, "LinkCheckSaveBtn")->click();
        QFile csv(dir.filePath("answers.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(csv.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[3].contains(server.url("/redirect/302?/ok")));

        // Checked again, the broken link alone.
        QFile(dir.filePath("absent.html")).open(QIODevice::WriteOnly);
        control<QPushButton>(*dialog, "LinkCheckAgainBtn")->click();
        QTRY_VERIFY(!control<QPushButton>(*dialog, "LinkCheckCancelBtn")->isEnabled());
        QCOMPARE(rows(*dialog), QStringList{"absent.html"});
        QVERIFY(!marked(f.node("absent.html")));
    }

    void editsDuringTheCheck()
    {
        LocalHttpServer server(QHostAddress::LocalHost, 1000);
        const QString edited = server.url("/missing?1"), deleted = server.url("/missing?2");
        addLinks({edited, deleted, "absent.html", server.url("/silent")});
        QDialog *dialog = startCheck();
        QTRY_COMPARE(rows(*dialog), QStringList{"absent.html broken"}); // a file's answer comes at once
        TreeEdits::setField(f.model(), f.node(edited), NodeField::Href, "elsewhere.html");
        TreeEdits::remove(f.model(), f.node(deleted));
        QTRY_COMPARE(rows(*dialog).size(), 2);
        control<QPushButton>(*dialog, "LinkCheckCancelBtn")->click();
        QCOMPARE(rows(*dialog).size(), 2); // nothing for the address not answered
        QVERIFY(marked(f.node("absent.html")));
        QVERIFY(!marked(f.node(edited)));

        startCheck(); // another tree ends the check, leaving no answer of the old one
        f.ui->mnNew1->trigger();
        QVERIFY(!control<QPushButton>(*dialog, "LinkCheckCancelBtn")->isEnabled());
        QCOMPARE(rows(*dialog), QStringList{});
    }

    void placedBesideTheTree()
    {
        QDialog *dialog = startCheck();
        const QRect tree(f.ui->LeftPanel->mapToGlobal(QPoint(0, 0)), f.ui->LeftPanel->size());
        QVERIFY(!dialog->frameGeometry().intersects(tree));
    }

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
        QVERIFY(marked(f.node("absent")));
        QVERIFY(!marked(f.node("present")));
        QCOMPARE(f.snapshot(), before);
        QVERIFY(!f.window->isWindowModified());

        // Broken answers sort apart; a double-click selects the link.
        QTreeWidgetItem *absentRow = results->findItems("absent.html", Qt::MatchExactly, 2).value(0);
        QVERIFY(absentRow);
        emit results->itemActivated(absentRow, 0);
        QCOMPARE(f.window->selectedNode(), f.node("absent"));

        f.ui->HrefEdit->setFocus();
        QTest::keyClicks(f.ui->HrefEdit, "x");
        QVERIFY(!marked(f.node("absent")));
    }
};

QTEST_MAIN(TestLinkCheckDialog)
#include "tst_linkcheckdialog.moc"
