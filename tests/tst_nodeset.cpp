// Commands on several nodes at once, and a node inserted where the user is, at the model: each
// one step of the history that undo takes back exactly.
#include "TreeEdits.h"

#include "app/editing/NodeSetCommands.h"
#include "app/editing/NodeTransfer.h"
#include "project/ProjectFile.h"

#include <QMimeData>
#include <QRegularExpression>
#include <QTest>
#include <QUndoStack>

#include <algorithm>

namespace {

// "a B(c d) e": a link is a bare name, a group its name with its children in brackets.
void build(LinkTreeModel &model, const QString &shape)
{
    LinkNode *parent = nullptr;
    LinkNode *last = nullptr;
    for (const QRegularExpressionMatch &token : QRegularExpression(QStringLiteral("\\w+|[()]")).globalMatch(shape)) {
        if (token.captured() == QLatin1String("("))
            parent = last;
        else if (token.captured() == QLatin1String(")"))
            parent = parent->parent();
        else if (shape.mid(token.capturedEnd(), 1) == QLatin1String("("))
            last = TreeEdits::appendGroup(model, parent, token.captured());
        else
            last = TreeEdits::appendLink(model, parent, token.captured());
    }
}

QString shapeOf(const LinkTree &tree, const LinkNode *parent = nullptr)
{
    QStringList parts;
    for (int i = 0; i < tree.childCount(parent); ++i) {
        const LinkNode *node = tree.child(parent, i);
        parts << (node->isGroup() ? node->text() + '(' + shapeOf(tree, node) + ')' : node->text());
    }
    return parts.join(' ');
}

NodeList nodesNamed(const LinkTree &tree, const QString &names)
{
    NodeList found;
    for (const QString &name : names.split(' ', Qt::SkipEmptyParts))
        found.push_back(*std::ranges::find(tree.nodes(), name, &LinkNode::text));
    return found;
}

} // namespace

class TestNodeSet : public QObject
{
    Q_OBJECT

    LinkTreeModel model;
    QUndoStack stack;

    // The tree of `shape` as saved, with an empty history.
    QByteArray start(const QString &shape)
    {
        model.setUndoStack(nullptr);
        TreeEdits::clear(model);
        build(model, shape);
        stack.clear();
        model.setUndoStack(&stack);
        return ProjectFile::write(model.tree());
    }
    // The change was one step; undone it gives `before` back field for field, redone the change.
    void checkOneStep(const QByteArray &before)
    {
        QCOMPARE(stack.count(), 1);
        const QByteArray done = ProjectFile::write(model.tree());
        stack.undo();
        QCOMPARE(ProjectFile::write(model.tree()), before);
        stack.redo();
        QCOMPARE(ProjectFile::write(model.tree()), done);
    }

private slots:
    // `to`: up, down, a drop as "parent row" ("-" the top level), or a link "n" inserted after
    // the selected node or into it as an open group.
    void reshape_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("expected"); // empty: nothing changes

        QTest::newRow("one up") << "a b c" << "b" << "up" << "b a c";
        QTest::newRow("one down") << "a b c" << "b" << "down" << "a c b";
        QTest::newRow("neighbours up as a block") << "a b c d" << "d c" << "up" << "a c d b";
        QTest::newRow("neighbours down as a block") << "a b c d" << "a b" << "down" << "c a b d";
        QTest::newRow("apart up") << "a b c d" << "b d" << "up" << "b a d c";
        QTest::newRow("apart down") << "a b c d" << "a c" << "down" << "b a d c";
        QTest::newRow("first at the top") << "a b c" << "a c" << "up" << "";
        QTest::newRow("last at the bottom") << "a b c" << "a c" << "down" << "";
        QTest::newRow("child goes with its group, up") << "a G(b c) d" << "c G" << "up" << "G(b c) a d";
        QTest::newRow("child goes with its group, down") << "a G(b c) d" << "G c" << "down" << "a d G(b c)";
        QTest::newRow("in two groups") << "G(a b) H(c d)" << "b d" << "up" << "G(b a) H(d c)";
        QTest::newRow("one of two groups at its top") << "G(a b) H(c d)" << "b c" << "up" << "";
        QTest::newRow("one of two groups at its bottom") << "G(a b) H(c d)" << "a d" << "down" << "";
        QTest::newRow("out of their groups") << "G(a b H(c d)) e" << "b d" << "left" << "G(a H(c) d) b e";
        QTest::newRow("out at the top level") << "G(a) b" << "a b" << "left" << "";
        QTest::newRow("into the group above") << "G(a) b c H() d" << "c b d" << "right" << "G(a b c) H(d)";
        QTest::newRow("into no group above") << "G(a) b c d" << "b d" << "right" << "";
        QTest::newRow("dropped into a group") << "a G(b c) d e" << "e a" << "G 1" << "G(b a e c) d";
        QTest::newRow("dropped among themselves") << "a b c d e" << "d b" << "- 3" << "a c b d e";
        QTest::newRow("dropped where they stand") << "a b c d" << "b c" << "- 1" << "";
        QTest::newRow("dropped into itself") << "G(a) b" << "b G" << "G 0" << "";
        QTest::newRow("insert after a link") << "a b c" << "b" << "after" << "a b n c";
        QTest::newRow("insert after a link in a group") << "G(a b)" << "a" << "after" << "G(a n b)";
        QTest::newRow("insert into an open group") << "a G(b) c" << "G" << "into" << "a G(n b) c";
        QTest::newRow("insert into an open empty group") << "a G()" << "G" << "into" << "a G(n)";
        QTest::newRow("insert after a closed group") << "a G(b) c" << "G" << "after" << "a G(b) n c";
        QTest::newRow("insert with nothing selected") << "a G(b)" << "" << "after" << "a G(b) n";
    }
    void reshape()
    {
        QFETCH(QString, shape);
        QFETCH(QString, selected);
        QFETCH(QString, to);
        QFETCH(QString, expected);
        const QByteArray before = start(shape);
        const NodeList nodes = nodesNamed(model.tree(), selected);
        bool changed = true;
        if (to == "up" || to == "down" || to == "left" || to == "right") {
            const NodeMove move = to == "up" ? NodeMove::Up : to == "down" ? NodeMove::Down
                                : to == "left" ? NodeMove::Left : NodeMove::Right;
            QCOMPARE(NodeSetCommands::canMove(model.tree(), nodes, move), !expected.isEmpty());
            changed = NodeSetCommands::move(model, nodes, move, QString());
        } else if (to == "after" || to == "into") {
            QCOMPARE(NodeSetCommands::insertAt(model, nodes.empty() ? nullptr : nodes.front(), to == "into",
                                               LinkTree::detachedLink("n"), QString())->text(), "n");
        } else {
            std::unique_ptr<QMimeData> drag(NodeTransfer::drag(&model, model.tree(), topmostNodes(model.tree(), nodes)));
            const NodeList parent = nodesNamed(model.tree(), to.section(' ', 0, 0).remove('-'));
            changed = model.dropMimeData(drag.get(), Qt::MoveAction, to.section(' ', 1).toInt(), 0,
                                         model.indexFromNode(parent.empty() ? nullptr : parent.front()));
        }
        QCOMPARE(changed, !expected.isEmpty());
        QCOMPARE(shapeOf(model.tree()), changed ? expected : shape);
        if (changed)
            checkOneStep(before);
        else
            QCOMPARE(stack.count(), 0);
    }

    void cutAndPasteSeveralSubtrees()
    {
        start("a G(b H(c) d) e F(g)");
        TreeEdits::setField(model, nodesNamed(model.tree(), "c").front(), NodeField::Href, "c.html");
        const QByteArray before = ProjectFile::write(model.tree());
        // c lies in H, which is taken whole; the order is the tree's, not the selection's.
        const NodeList cut = nodesNamed(model.tree(), "e c H b");
        std::unique_ptr<QMimeData> clipboard(NodeSetCommands::copy(model.tree(), cut));
        QVERIFY(NodeSetCommands::remove(model, cut, QString()));
        QCOMPARE(shapeOf(model.tree()), "a G(d) F(g)");
        checkOneStep(before);
        QVERIFY(model.insertFrom(clipboard.get(), nodesNamed(model.tree(), "F").front(), 0, QString()));
        QCOMPARE(shapeOf(model.tree()), "a G(d) F(b H(c) e g)");
        QCOMPARE(nodesNamed(model.tree(), "c").front()->record().Href, "c.html");
        stack.setIndex(0);
        QCOMPARE(ProjectFile::write(model.tree()), before);
    }

    void editSeveralLinks()
    {
        start("a b c");
        const NodeList links = nodesNamed(model.tree(), "a b c");
        const QString classes[] = {"m", "k  m", ""};
        for (int i = 0; i < 3; ++i) {
            TreeEdits::setField(model, links[i], NodeField::Href, i < 2 ? "x.html" : "y.html");
            TreeEdits::setField(model, links[i], NodeField::Class, classes[i]);
        }
        const auto common = [](const NodeList &nodes, NodeField field) { return commonValue(nodes, field).value_or("*"); };
        QCOMPARE(common({links[0], links[1]}, NodeField::Href), "x.html");
        QCOMPARE(common(links, NodeField::Href), "*");
        QCOMPARE(common(links, NodeField::Target), "");
        const QByteArray before = ProjectFile::write(model.tree());
        NodeSetCommands::setField(model, links, NodeField::Href, "z.html", QString());
        QCOMPARE(common(links, NodeField::Href), "z.html");
        checkOneStep(before);

        stack.clear();
        const QByteArray typed = ProjectFile::write(model.tree());
        // A link that holds every class keeps its text as typed; the others gain what they lack.
        NodeSetCommands::addClasses(model, links, "k m", QString());
        QCOMPARE(links[0]->record().Class + '|' + links[1]->record().Class + '|' + links[2]->record().Class,
                 "m k|k  m|k m");
        checkOneStep(typed);
    }
};

QTEST_GUILESS_MAIN(TestNodeSet)
#include "tst_nodeset.moc"
