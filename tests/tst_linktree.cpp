#include "TreeEdits.h"
#include "TreeSnapshot.h"
#include "tree/LinkTree.h"
#include "app/panes/LinkListModel.h"
#include "app/editing/LinkTreeModel.h"
#include "app/editing/NodeTransfer.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

class TestLinkTree : public QObject
{
    Q_OBJECT

    // Top level: group A holding link a1 and group B (B holding link b1), then link c.
    struct Example
    {
        LinkTree tree;
        LinkNode *A, *a1, *B, *b1, *c;
        Example()
        {
            A = tree.appendGroup(nullptr, "A");
            a1 = tree.appendLink(A, "a1");
            B = tree.appendGroup(A, "B");
            b1 = tree.appendLink(B, "b1");
            c = tree.appendLink(nullptr, "c");
        }
    };

private slots:
    void absoluteOrderAndLevels()
    {
        Example e;
        const QList<LinkNode *> expected{e.A, e.a1, e.B, e.b1, e.c};
        const QList<int> levels{0, 1, 1, 2, 0};
        QCOMPARE(e.tree.count(), 5);
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(e.tree.nodeAt(i), expected[i]);
            QCOMPARE(e.tree.absoluteIndex(expected[i]), i);
            QCOMPARE(expected[i]->level(), levels[i]);
        }
        QCOMPARE(e.B->parent(), e.A);
        QCOMPARE(e.c->parent(), nullptr);
        QCOMPARE(e.A->lastChild(), e.B);
        QCOMPARE(e.tree.deepestLevel(), 2);
    }

    void appendingShiftsLaterNodes()
    {
        Example e;
        LinkNode *child = e.tree.appendLink(e.A, "new");
        QCOMPARE(e.tree.absoluteIndex(child), 4);
        QCOMPARE(e.tree.absoluteIndex(e.c), 5);
        QCOMPARE(e.tree.nodeAt(4), child);

        LinkNode *top = e.tree.appendLink(nullptr, "top");
        QCOMPARE(e.tree.absoluteIndex(top), 6);
        QCOMPARE(e.tree.absoluteIndex(e.c), 5);
        QCOMPARE(e.tree.absoluteIndex(child), 4);
    }

    void newNodesCarryDefaults()
    {
        LinkTree tree;
        LinkNode *link = tree.appendLink(nullptr, QString());
        QVERIFY(link->text().isEmpty());
        QCOMPARE(link->record(), LinkAttr{});
        QCOMPARE(link->imageIndex(), int(LinkImage));

        LinkNode *group = tree.appendGroup(nullptr, "Docs");
        LinkAttr expected;
        expected.Group = true;
        QCOMPARE(group->record(), expected);
        QCOMPARE(group->text(), QString("Docs"));
        QCOMPARE(group->imageIndex(), int(GroupImage));

        // The picture follows the kind whoever changes it, as an import does.
        link->record().Group = true;
        QCOMPARE(link->imageIndex(), int(GroupImage));
        group->record().Group = false;
        QCOMPARE(group->imageIndex(), int(LinkImage));
    }

    void deletingRemovesTheWholeSubtree()
    {
        Example e;
        e.tree.remove(e.A);
        QCOMPARE(e.tree.count(), 1);
        QCOMPARE(e.tree.nodeAt(0), e.c);
        QCOMPARE(e.c->row(), 0);
        QCOMPARE(e.tree.absoluteIndex(e.c), 0);

        Example leaf;
        leaf.tree.remove(leaf.a1);
        QCOMPARE(leaf.tree.count(), 4);
        QCOMPARE(leaf.B->row(), 0);
        QCOMPARE(leaf.tree.absoluteIndex(leaf.B), 1);
        QCOMPARE(leaf.tree.nodeAt(3), leaf.c);
    }

    void clearingEmptiesTheTree()
    {
        Example e;
        e.tree.clear();
        QCOMPARE(e.tree.count(), 0);
        QCOMPARE(e.tree.topLevelCount(), 0);
        QVERIFY(e.tree.nodes().empty());
        QCOMPARE(e.tree.deepestLevel(), 0);
        LinkNode *again = e.tree.appendLink(nullptr, "again");
        QCOMPARE(e.tree.nodeAt(0), again);
    }

    void deepChainsNeedNoRecursion()
    {
        // Deep enough to overflow the stack if any walk or destruction recursed per level.
        LinkTree tree;
        LinkNode *node = tree.appendGroup(nullptr, "0");
        for (int i = 1; i < 200000; ++i)
            node = tree.appendGroup(node, QString::number(i));
        QCOMPARE(tree.count(), 200000);
        QCOMPARE(tree.absoluteIndex(node), 199999);
        QCOMPARE(tree.deepestLevel(), 199999);
        tree.remove(tree.nodeAt(1));
        QCOMPARE(tree.count(), 1);
    }

    void modelFollowsEveryChange()
    {
        LinkTreeModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy removed(&model, &LinkTreeModel::nodesAboutToBeRemoved);

        LinkNode *A = TreeEdits::appendGroup(model, nullptr, "A");
        LinkNode *a1 = TreeEdits::appendLink(model, A, "a1");
        LinkNode *B = TreeEdits::appendGroup(model, A, "B");
        TreeEdits::appendLink(model, B, "b1");
        TreeEdits::appendLink(model, nullptr, "c");
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.rowCount(model.indexFromNode(A)), 2);
        QCOMPARE(model.nodeFromIndex(model.index(1, 0, model.indexFromNode(A))), B);
        QCOMPARE(model.parent(model.indexFromNode(B)), model.indexFromNode(A));

        TreeEdits::setNodeText(model, a1, "renamed");
        QCOMPARE(model.data(model.indexFromNode(a1)).toString(), QString("renamed"));

        TreeEdits::remove(model, B);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(model.tree().count(), 3);

        // A node that has left the tree is refused, not touched.
        auto other = std::make_unique<LinkTree>();
        LinkNode *foreign = other->appendLink(nullptr, "foreign");
        QVERIFY(!model.contains(foreign));
        TreeEdits::appendLink(model, foreign, "x");
        TreeEdits::remove(model, foreign);
        QCOMPARE(other->count(), 1);
        QCOMPARE(model.tree().count(), 3);

        TreeEdits::replaceTree(model, std::move(other));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.nodeFromIndex(model.index(0, 0)), foreign);

        TreeEdits::clear(model);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(removed.count(), 3);
    }

    // Each field is a column that views read and write; a write is a step, and the keystrokes of
    // one burst into one field make one step. The list shows one group's links by the same rows.
    void fieldsAreColumnsWrittenAsSteps()
    {
        LinkTreeModel model;
        QUndoStack stack;
        model.setUndoStack(&stack);
        LinkListModel list(model);
        QAbstractItemModelTester treeTester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QAbstractItemModelTester listTester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
        LinkNode *A = TreeEdits::appendGroup(model, nullptr, "A");
        LinkAttr fields;
        fields.Href = "one.html";
        LinkNode *a1 = TreeEdits::appendLink(model, A, "a1", fields);
        LinkNode *B = TreeEdits::appendGroup(model, A, "B");
        LinkNode *a2 = TreeEdits::appendLink(model, A, "a2");
        LinkNode *b1 = TreeEdits::appendLink(model, B, "b1");
        QCOMPARE(model.columnCount(), int(NodeFieldCount));
        QCOMPARE(model.indexFromNode(a1, NodeField::Href).data().toString(), QString("one.html"));

        list.listChildrenOf(A);
        const auto rows = [&] {
            std::vector<LinkNode *> nodes;
            for (int row = 0; row < list.rowCount(); ++row)
                nodes.push_back(model.nodeFromIndex(list.mapToSource(list.index(row, LinkListModel::HrefColumn))));
            return nodes;
        };
        QCOMPARE(rows(), (std::vector<LinkNode *>{a1, a2}));
        QCOMPARE(list.index(0, LinkListModel::HrefColumn).data().toString(), QString("one.html"));

        for (const QString typed : {"t", "tw", "two"})
            QVERIFY(list.setData(list.index(1, LinkListModel::HrefColumn), typed, LinkTreeModel::TypingRole));
        QCOMPARE(a2->record().Href, QString("two"));
        QCOMPARE(stack.count(), 1);
        // The same value again is no step; a value put in whole is a step of its own.
        QVERIFY(!list.setData(list.index(1, LinkListModel::HrefColumn), "two", LinkTreeModel::TypingRole));
        QVERIFY(model.setData(model.indexFromNode(a2, NodeField::Href), "whole"));
        QVERIFY(model.setData(model.indexFromNode(a2, NodeField::Href), "next", LinkTreeModel::TypingRole));
        model.beginBurst();
        QVERIFY(model.setData(model.indexFromNode(a2, NodeField::Href), "later", LinkTreeModel::TypingRole));
        QCOMPARE(stack.count(), 4);
        stack.undo();
        stack.undo();
        QCOMPARE(a2->record().Href, QString("whole"));

        // Links moving within the group, out of it and into it keep the rows in sibling order.
        model.perform(new MoveNodesStep(model, {}, {{a2, A, 0}}));
        QCOMPARE(rows(), (std::vector<LinkNode *>{a2, a1}));
        model.perform(new MoveNodesStep(model, {}, {{a2, nullptr, 0}}));
        model.perform(new MoveNodesStep(model, {}, {{b1, A, 0}}));
        QCOMPARE(rows(), (std::vector<LinkNode *>{b1, a1}));
    }

    // A drag larger than a display takes in one request hands its nodes to another window through
    // a file named in the drag; another file named there is never read.
    void aLargeDragArrivesWholeThroughAFile()
    {
        LinkTreeModel source;
        auto big = std::make_unique<LinkTree>();
        LinkNode *group = big->appendGroup(nullptr, "big");
        for (int i = 0; big->count() * 40 < NodeTransfer::MaxDragBytes; ++i)
            big->appendLink(group, QStringLiteral("link %1").arg(i))->record().Href = QStringLiteral("page-%1.html").arg(i);
        const int count = big->count();
        TreeEdits::replaceTree(source, std::move(big));
        const std::unique_ptr<QMimeData> dragged(source.mimeData({source.index(0, 0)}));
        QVERIFY(!dragged->hasFormat(NodeTransfer::NodesMimeType));
        QVERIFY(dragged->text().size() < 1024);
        QCOMPARE(dragged->urls().size(), 1);

        LinkTreeModel target;
        QSignalSpy failed(&target, &LinkTreeModel::dropFailed);
        QVERIFY(target.dropMimeData(dragged.get(), Qt::CopyAction, -1, 0, {}));
        QCOMPARE(target.tree().count(), count);
        QCOMPARE(snapshotOf(target.tree()), snapshotOf(source.tree()));

        QMimeData forged;
        forged.setData(NodeTransfer::NodesFileMimeType, QFile::encodeName(QStringLiteral(VORMIK_TEST_DATA "/project/windows-layout.xml")));
        QVERIFY(!target.dropMimeData(&forged, Qt::CopyAction, -1, 0, {}));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(target.tree().count(), count);
    }

    // Dropped nodes move or are copied, but nothing lands in the group dragged or below it, and
    // nothing lands on a link.
    void dropsNeverPutAGroupIntoItself()
    {
        LinkTreeModel model;
        QUndoStack stack;
        model.setUndoStack(&stack);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        LinkNode *A = TreeEdits::appendGroup(model, nullptr, "A");
        LinkNode *a1 = TreeEdits::appendLink(model, A, "a1");
        LinkNode *B = TreeEdits::appendGroup(model, A, "B");
        TreeEdits::appendLink(model, B, "b1");
        LinkNode *c = TreeEdits::appendLink(model, nullptr, "c");
        const auto at = [&](const LinkNode *node) { return model.indexFromNode(node); };
        const std::unique_ptr<QMimeData> dragged(model.mimeData({at(A)}));
        const std::vector<LinkNode *> before = model.tree().nodes();

        for (const Qt::DropAction action : {Qt::MoveAction, Qt::CopyAction}) {
            const std::pair<QModelIndex, int> refused[] = {{at(A), -1}, {at(A), 0}, {at(B), -1}, {at(B), 1},
                                                           {at(a1), -1}, {at(c), -1}};
            for (const auto &[parent, row] : refused) {
                QVERIFY(!model.canDropMimeData(dragged.get(), action, row, 0, parent));
                QVERIFY(!model.dropMimeData(dragged.get(), action, row, 0, parent));
            }
            QCOMPARE(model.tree().nodes(), before);
            QCOMPARE(stack.count(), 0);
        }

        // Between the top-level rows it moves the group itself; with Ctrl a copy goes in.
        QVERIFY(model.dropMimeData(dragged.get(), Qt::MoveAction, 2, 0, {}));
        QCOMPARE(model.tree().topLevel(1), A);
        QCOMPARE(model.tree().count(), 5);
        const std::unique_ptr<QMimeData> link(model.mimeData({at(c)}));
        QVERIFY(model.dropMimeData(link.get(), Qt::CopyAction, -1, 0, at(B)));
        QCOMPARE(B->childCount(), 2);
        QVERIFY(B->lastChild() != c);
        QCOMPARE(B->lastChild()->text(), QString("c"));
        QCOMPARE(model.tree().topLevel(0), c);
        QCOMPARE(stack.count(), 2);
    }
};

QTEST_GUILESS_MAIN(TestLinkTree)
#include "tst_linktree.moc"
