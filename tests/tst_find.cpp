// Find: which nodes a text matches whatever its case, width and kana, and the steps through them.
#include "find/FindIndex.h"
#include "tree/LinkTree.h"

#include <QtTest>

class TestFind : public QObject
{
    Q_OBJECT
private slots:
    void folding_data();
    void folding();
    void steps_data();
    void steps();
    void followsChanges();
    void twoFieldsOneMatch();
    void followsAnEditedNode();
};

void TestFind::folding_data()
{
    QTest::addColumn<QString>("field"); // name, href, class or id
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("found");
    QTest::newRow("case") << "name" << "Vormik Manual" << "MANUAL" << true;
    QTest::newRow("full-width letters typed") << "name" << "Qt Blog" << "ｑｔ　ｂｌｏｇ" << true;
    QTest::newRow("full-width letters stored") << "href" << "ｈｔｔｐ://ｅｘａｍｐｌｅ" << "EXAMPLE" << true;
    QTest::newRow("half-width katakana") << "name" << "ｶﾞｲﾄﾞ" << "ガイド" << true;
    QTest::newRow("hiragana for katakana") << "name" << "ニュース" << "にゅーす" << true;
    QTest::newRow("katakana for hiragana") << "name" << "おしらせ" << "オシラセ" << true;
    QTest::newRow("half-width for hiragana") << "name" << "ぶろぐ" << "ﾌﾞﾛｸﾞ" << true;
    QTest::newRow("full-width digits") << "id" << "item12" << "１２" << true;
    QTest::newRow("class") << "class" << "hot new" << "NEW" << true;
    QTest::newRow("ゔ, ゕ and ゖ for katakana") << "name" << "ゔゕゖ" << "ヴヵヶ" << true;
    QTest::newRow("voiced is not unvoiced") << "name" << "ガイド" << "カイド" << false;
    QTest::newRow("not across fields") << "href" << "a.html" << "Namea" << false;
    QTest::newRow("not contained") << "name" << "Docs" << "Docz" << false;
    QTest::newRow("empty text finds nothing") << "name" << "Docs" << "" << false;
}

void TestFind::folding()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, typed);
    QFETCH(bool, found);
    LinkTree tree;
    tree.appendLink(nullptr, QStringLiteral("before"));
    LinkNode *node = tree.appendLink(nullptr, field == u"name" ? value : QStringLiteral("Name"));
    tree.appendLink(nullptr, QStringLiteral("after"));
    LinkAttr &record = node->record();
    (field == u"href" ? record.Href : field == u"class" ? record.Class : field == u"id" ? record.ObjID : record.Target) =
        value;
    const FindMatches matches = FindIndex(tree).matches(typed);
    QCOMPARE(matches.count(), found ? 1 : 0);
    if (found)
        QCOMPARE(matches.at(0), node);
}

void TestFind::steps_data()
{
    QTest::addColumn<int>("from"); // absolute index of the node selected, -1 for none
    QTest::addColumn<int>("next"); // absolute index the next match is at
    QTest::addColumn<int>("previous");
    // The tree: a(0) { x(1) b(2) { x(3) } } x(4) c(5); the matches of "x" are 1, 3 and 4.
    QTest::newRow("nothing selected") << -1 << 1 << 4;
    QTest::newRow("before the first") << 0 << 1 << 4;
    QTest::newRow("on a match") << 3 << 4 << 1;
    QTest::newRow("between matches") << 2 << 3 << 1;
    QTest::newRow("on the last wraps") << 4 << 1 << 3;
    QTest::newRow("after the last wraps") << 5 << 1 << 4;
}

void TestFind::steps()
{
    QFETCH(int, from);
    QFETCH(int, next);
    QFETCH(int, previous);
    LinkTree tree;
    LinkNode *a = tree.appendGroup(nullptr, QStringLiteral("a"));
    tree.appendLink(a, QStringLiteral("x"));
    tree.appendLink(tree.appendGroup(a, QStringLiteral("b")), QStringLiteral("x"));
    tree.appendLink(nullptr, QStringLiteral("X"));
    tree.appendLink(nullptr, QStringLiteral("c"));
    const FindMatches matches = FindIndex(tree).matches(QStringLiteral("x"));
    QCOMPARE(matches.count(), 3);
    QCOMPARE(tree.absoluteIndex(matches.at(matches.nextAfterRow(from))), next);
    QCOMPARE(tree.absoluteIndex(matches.at(matches.previousBeforeRow(from))), previous);
    QCOMPARE(matches.indexOfRow(3), 1);
    QCOMPARE(matches.indexOfRow(2), -1);
}

void TestFind::followsChanges()
{
    LinkTree tree;
    tree.appendLink(nullptr, QStringLiteral("old"));
    FindIndex index(tree);
    QCOMPARE(index.matches(QStringLiteral("new")).count(), 0);
    tree.setText(tree.nodeAt(0), QStringLiteral("new"));
    tree.appendLink(nullptr, QStringLiteral("newer"));
    index.invalidate();
    QCOMPARE(index.matches(QStringLiteral("new")).count(), 2);
}

// A node that matches in its name and its address is one match, and the next one is another node.
void TestFind::twoFieldsOneMatch()
{
    LinkTree tree;
    tree.appendLink(nullptr, QStringLiteral("x"))->record().Href = QStringLiteral("x.html");
    tree.appendLink(nullptr, QStringLiteral("y"));
    tree.appendLink(nullptr, QStringLiteral("x"));
    const FindMatches matches = FindIndex(tree).matches(QStringLiteral("x"));
    QCOMPARE(matches.count(), 2);
    QCOMPARE(tree.absoluteIndex(matches.at(matches.nextAfterRow(0))), 2);
}

// Refolding the edited node alone finds what it now holds, and the nodes after it stay found.
void TestFind::followsAnEditedNode()
{
    LinkTree tree;
    for (const char *name : {"a", "bb", "c", "bb"})
        tree.appendLink(nullptr, QLatin1String(name));
    FindIndex index(tree);
    QCOMPARE(index.matches(QStringLiteral("bb")).count(), 2);
    tree.setText(tree.nodeAt(0), QStringLiteral("ａｂｂａ"));
    tree.setText(tree.nodeAt(1), QString());
    index.update(0);
    index.update(1);
    const FindMatches matches = index.matches(QStringLiteral("BB"));
    QCOMPARE(matches.count(), 2);
    QCOMPARE(matches.nodes(), (std::vector<const LinkNode *>{tree.nodeAt(0), tree.nodeAt(3)}));
    QCOMPARE(index.matches(QStringLiteral("c")).count(), 1);
}

QTEST_GUILESS_MAIN(TestFind)
#include "tst_find.moc"
