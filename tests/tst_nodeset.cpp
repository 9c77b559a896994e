// Commands on several nodes at once, and a node inserted where the user is, at the model: each
// one step of the history that undo takes back exactly.
#include "TreeEdits.h"

#include "app/NodeSetCommands.h"
#include "app/NodeTransfer.h"
#include "project/ProjectFile.h"

#include <QMimeData>
#include <QRegularExpression>
#include <QTest>
#include <QUndoStack>

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
    for (const QString &name : names.split(' ', Qt::SkipEmptyParts)) {
        for (LinkNode *node : tree.nodes()) {
            if (node->text() == name)
                found.push_back(node);
        }
    }
    return found;
}

} // namespace

class TestNodeSet : public QObject
{
    Q_OBJECT

    LinkTreeModel model;
    QUndoStack stack;

    void start(const QString &shape)
    {
        model.setUndoStack(nullptr);
        TreeEdits::clear(model);
        build(model, shape);
        QCOMPARE(shapeOf(model.tree()), shape);
        stack.clear();
        model.setUndoStack(&stack);
    }
    // The step undone gives `before` back, field for field; redone, `after`.
    void checkOneStep(const QByteArray &before, const QString &after)
    {
        QCOMPARE(stack.count(), 1);
        const QByteArray done = ProjectFile::write(model.tree());
        stack.undo();
        QCOMPARE(ProjectFile::write(model.tree()), before);
        stack.redo();
        QCOMPARE(shapeOf(model.tree()), after);
        QCOMPARE(ProjectFile::write(model.tree()), done);
    }

private slots:
    void moveSet_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("expected"); // empty: nothing moves

        QTest::newRow("one up") << "a b c" << "b" << true << "b a c";
        QTest::newRow("one down") << "a b c" << "b" << false << "a c b";
        QTest::newRow("neighbours up as a block") << "a b c d" << "d c" << true << "a c d b";
        QTest::newRow("neighbours down as a block") << "a b c d" << "a b" << false << "c a b d";
        QTest::newRow("apart up") << "a b c d" << "b d" << true << "b a d c";
        QTest::newRow("apart down") << "a b c d" << "a c" << false << "b a d c";
        QTest::newRow("first at the top") << "a b c" << "a c" << true << "";
        QTest::newRow("last at the bottom") << "a b c" << "a c" << false << "";
        QTest::newRow("child goes with its group, up") << "a G(b c) d" << "c G" << true << "G(b c) a d";
        QTest::newRow("child goes with its group, down") << "a G(b c) d" << "G c" << false << "a d G(b c)";
        QTest::newRow("in two groups") << "G(a b) H(c d)" << "b d" << true << "G(b a) H(d c)";
        QTest::newRow("one of two groups at its top") << "G(a b) H(c d)" << "b c" << true << "";
        QTest::newRow("one of two groups at its bottom") << "G(a b) H(c d)" << "a d" << false << "";
    }
    void moveSet()
    {
        QFETCH(QString, shape);
        QFETCH(QString, selected);
        QFETCH(bool, up);
        QFETCH(QString, expected);
        start(shape);
        const QByteArray before = ProjectFile::write(model.tree());
        const NodeList nodes = nodesNamed(model.tree(), selected);
        const NodeMove move = up ? NodeMove::Up : NodeMove::Down;
        QCOMPARE(NodeSetCommands::canMove(model.tree(), nodes, move), !expected.isEmpty());
        QCOMPARE(NodeSetCommands::move(model, nodes, move, QString()), !expected.isEmpty());
        if (expected.isEmpty()) {
            QCOMPARE(shapeOf(model.tree()), shape);
            QCOMPARE(stack.count(), 0);
            return;
        }
        QCOMPARE(shapeOf(model.tree()), expected);
        checkOneStep(before, expected);
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
        checkOneStep(before, "a G(d) F(g)");
        LinkNode *f = nodesNamed(model.tree(), "F").front();
        QVERIFY(model.insertFrom(clipboard.get(), f, 0, QString()));
        QCOMPARE(shapeOf(model.tree()), "a G(d) F(b H(c) e g)");
        QCOMPARE(nodesNamed(model.tree(), "c").front()->record().Href, "c.html");
        stack.undo();
        stack.undo();
        QCOMPARE(ProjectFile::write(model.tree()), before);
    }

    void insertPlace_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("expected");

        QTest::newRow("after a link") << "a b c" << "b" << false << "a b n c";
        QTest::newRow("after a link in a group") << "G(a b)" << "a" << false << "G(a n b)";
        QTest::newRow("first in an open group") << "a G(b) c" << "G" << true << "a G(n b) c";
        QTest::newRow("into an open empty group") << "a G()" << "G" << true << "a G(n)";
        QTest::newRow("after a closed group") << "a G(b) c" << "G" << false << "a G(b) n c";
        QTest::newRow("nothing selected: last at the top") << "a G(b)" << "" << false << "a G(b) n";
    }
    void insertPlace()
    {
        QFETCH(QString, shape);
        QFETCH(QString, selected);
        QFETCH(bool, open);
        QFETCH(QString, expected);
        start(shape);
        const QByteArray before = ProjectFile::write(model.tree());
        const NodeList nodes = nodesNamed(model.tree(), selected);
        LinkNode *added = NodeSetCommands::insertAt(model, nodes.empty() ? nullptr : nodes.front(), open,
                                                    LinkTree::detachedLink("n"), QString());
        QCOMPARE(shapeOf(model.tree()), expected);
        QCOMPARE(added, nodesNamed(model.tree(), "n").front());
        checkOneStep(before, expected);
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
        const auto common = [](const NodeList &nodes, NodeField field) {
            return commonValue(nodes, field).value_or("(differs)");
        };
        QCOMPARE(common({links[0], links[1]}, NodeField::Href), "x.html");
        QCOMPARE(common(links, NodeField::Href), "(differs)");
        QCOMPARE(common(links, NodeField::Target), "");
        const QByteArray before = ProjectFile::write(model.tree());

        NodeSetCommands::setField(model, links, NodeField::Href, "z.html", QString());
        QCOMPARE(common(links, NodeField::Href), "z.html");
        checkOneStep(before, "a b c");

        stack.clear();
        const QByteArray typed = ProjectFile::write(model.tree());
        // A link that holds every class keeps its text as typed; the others gain what they lack.
        NodeSetCommands::addClasses(model, links, "k m", QString());
        QCOMPARE(links[0]->record().Class, "m k");
        QCOMPARE(links[1]->record().Class, "k  m");
        QCOMPARE(links[2]->record().Class, "k m");
        checkOneStep(typed, "a b c");
    }
};

QTEST_GUILESS_MAIN(TestNodeSet)
#include "tst_nodeset.moc"
