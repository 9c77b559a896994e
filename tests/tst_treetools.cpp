// Sorting, replacing and finding links to one page, through the model and its undo history.
#include "TreeEdits.h"
#include "TreeSnapshot.h"
#include "app/editing/TreeTools.h"
#include "treetools/SamePage.h"
#include "text/VormikError.h"

#include <QItemSelectionModel>
#include <QTest>
#include <QUndoStack>

Q_DECLARE_METATYPE(NodeField)

namespace {

// A model with its own history, built from "g:Name" (group) and "Name=address" (link) items
// at the top level.
struct History
{
    LinkTreeModel model;
    QUndoStack stack;
    History() { model.setUndoStack(&stack); }

    void add(LinkNode *parent, const QStringList &items)
    {
        for (const QString &item : items) {
            if (item.startsWith("g:"))
                TreeEdits::appendGroup(model, parent, item.mid(2));
            else
                TreeEdits::appendLink(model, parent, item.section('=', 0, 0), {false, item.section('=', 1), {}, {}, {}});
        }
    }
    QStringList names(const LinkNode *parent) const
    {
        QStringList names;
        for (int row = 0; row < model.tree().childCount(parent); ++row)
            names << model.tree().child(parent, row)->text();
        return names;
    }
};

} // namespace

class TestTreeTools : public QObject
{
    Q_OBJECT

private slots:
    void sortsByFoldedName_data();
    void sortsByFoldedName();
    void sortKeepsSelectionAndUndoes();
    void replacesInOneField_data();
    void replacesInOneField();
    void replaceIsOneStepAndRefusesBadPatterns();
    void pageKeys_data();
    void pageKeys();
    void duplicatesAndLinksAlreadyIn();
};

void TestTreeTools::sortsByFoldedName_data()
{
    QTest::addColumn<bool>("descending");
    QTest::addColumn<bool>("groupsFirst");
    QTest::addColumn<QStringList>("expected");
    // Ａ and a fold alike and keep their order; かな sorts with カナ.
    const QString items = "b,g:z,Ａ,カナ,g:C,a,かに";
    QTest::newRow("ascending, groups first") << false << true << QStringList{"C", "z", "Ａ", "a", "b", "カナ", "かに"};
    QTest::newRow("ascending, mixed") << false << false << QStringList{"Ａ", "a", "b", "C", "z", "カナ", "かに"};
    QTest::newRow("descending, groups first") << true << true << QStringList{"z", "C", "かに", "カナ", "b", "Ａ", "a"};
    QTest::newRow("descending, mixed") << true << false << QStringList{"かに", "カナ", "z", "C", "b", "Ａ", "a"};
}

void TestTreeTools::sortsByFoldedName()
{
    QFETCH(bool, descending);
    QFETCH(bool, groupsFirst);
    QFETCH(QStringList, expected);
    History h;
    h.add(nullptr, {"g:Top"});
    LinkNode *top = h.model.tree().topLevel(0);
    h.add(top, QString("b,g:z,Ａ,カナ,g:C,a,かに").split(','));
    // Each group keeps its children through the sort.
    h.add(top->child(1), {"inner=x"});
    QVERIFY(TreeTools::sortChildren(h.model, top, {descending, groupsFirst}));
    QCOMPARE(h.names(top), expected);
    const LinkNode *z = top->child(int(expected.indexOf("z")));
    QCOMPARE(z->childCount(), 1);
    QCOMPARE(h.model.tree().absoluteIndex(z->child(0)), h.model.tree().absoluteIndex(z) + 1);
    QCOMPARE(h.stack.count(), 1);
    QVERIFY(!TreeTools::sortChildren(h.model, top, {descending, groupsFirst}));
    QCOMPARE(h.stack.count(), 1);
}

void TestTreeTools::sortKeepsSelectionAndUndoes()
{
    History h;
    h.add(nullptr, {"c=1", "a=2", "b=3"});
    const QStringList before = snapshotOf(h.model.tree());
    QItemSelectionModel selection(&h.model);
    LinkNode *c = h.model.tree().topLevel(0);
    selection.setCurrentIndex(h.model.indexFromNode(c), QItemSelectionModel::Select);
    QVERIFY(TreeTools::sortChildren(h.model, nullptr, {}));
    QCOMPARE(h.names(nullptr), (QStringList{"a", "b", "c"}));
    QCOMPARE(h.model.nodeFromIndex(selection.currentIndex()), c);
    QCOMPARE(selection.currentIndex().row(), 2);
    h.stack.undo();
    QCOMPARE(snapshotOf(h.model.tree()), before);
    QCOMPARE(selection.currentIndex().row(), 0);
    h.stack.redo();
    QCOMPARE(h.names(nullptr), (QStringList{"a", "b", "c"}));
}

void TestTreeTools::replacesInOneField_data()
{
    QTest::addColumn<NodeField>("field");
    QTest::addColumn<bool>("regex");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QStringList>("expected");
    const QStringList hrefs{"http://old.example.jp/a.html", "HTTP://OLD.example.jp/", "http://other.jp/old.example.jp/"};
    QTest::newRow("address, plain, any case") << NodeField::Href << false << "http://old.example.jp/"
                                              << "https://new.example.jp/" << hrefs
                                              << QStringList{"https://new.example.jp/a.html", "https://new.example.jp/",
                                                             hrefs[2]};
    QTest::newRow("address, expression anchored")
        << NodeField::Href << true << "^http://old\\.example\\.jp/(.*)$" << "https://new.example.jp/\\1" << hrefs
        << QStringList{"https://new.example.jp/a.html", hrefs[1], hrefs[2]};
    QTest::newRow("name, width and kana folded")
        << NodeField::Text << false << "ｶﾞｲﾄﾞ" << "案内" << QStringList{"がいど１", "ガイドガイド", "ｶｲﾄﾞ"}
        << QStringList{"案内１", "案内案内", "ｶｲﾄﾞ"};
    QTest::newRow("name, full-width letters") << NodeField::Text << false << "ＡＢ" << "x"
                                              << QStringList{"ab-AB", "Ａｂ", "a b"} << QStringList{"x-x", "x", "a b"};
    QTest::newRow("target, expression") << NodeField::Target << true << "^_(\\w+)$" << "\\1"
                                        << QStringList{"_blank", "main", "_top"} << QStringList{"blank", "main", "top"};
    QTest::newRow("id, plain") << NodeField::ObjID << false << "old-" << "new-"
                               << QStringList{"old-1", "OLD-2", "x"} << QStringList{"new-1", "new-2", "x"};
    QTest::newRow("class, expression with no case")
        << NodeField::Class << true << "(?i)\\bNAV\\b" << "menu" << QStringList{"nav top", "navy", "Nav"}
        << QStringList{"menu top", "navy", "menu"};
}

void TestTreeTools::replacesInOneField()
{
    QFETCH(NodeField, field);
    QFETCH(bool, regex);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QStringList, values);
    QFETCH(QStringList, expected);
    History h;
    for (const QString &value : values) {
        LinkNode *link = TreeEdits::appendLink(h.model, nullptr, "n");
        TreeEdits::setField(h.model, link, field, value);
    }
    int changed = 0;
    for (int i = 0; i < values.size(); ++i)
        changed += values[i] != expected[i];
    QCOMPARE(int(TextReplace::changes(h.model.tree(), {field, find, replacement, regex}).size()), changed);
    QCOMPARE(TreeTools::replace(h.model, {field, find, replacement, regex}), changed);
    QStringList after;
    for (const LinkNode *node : h.model.tree().nodes())
        after << fieldValue(*node, field);
    QCOMPARE(after, expected);
    h.stack.undo();
    after.clear();
    for (const LinkNode *node : h.model.tree().nodes())
        after << fieldValue(*node, field);
    QCOMPARE(after, values);
}

void TestTreeTools::replaceIsOneStepAndRefusesBadPatterns()
{
    History h;
    h.add(nullptr, {"g:old", "old=http://old.example.jp/", "g:Old site"});
    h.add(h.model.tree().topLevel(0), {"old=old.html"});
    const QStringList before = snapshotOf(h.model.tree());
    // A group's name is never left blank, and addresses are the links' only.
    QCOMPARE(TreeTools::replace(h.model, {NodeField::Text, "old", "", false}), 3);
    QCOMPARE(h.names(nullptr), (QStringList{"old", "", " site"}));
    QCOMPARE(h.stack.count(), 1);
    h.stack.undo();
    QCOMPARE(snapshotOf(h.model.tree()), before);
    QCOMPARE(TreeTools::replace(h.model, {NodeField::Href, "nothing", "x", false}), 0);
    QCOMPARE(h.stack.count(), 1);
    for (const ReplaceChoice &bad : {ReplaceChoice{NodeField::Href, "(", "x", true},
                                     ReplaceChoice{NodeField::Href, "", "x", false}})
        QVERIFY_THROWS_EXCEPTION(VormikError, TreeTools::replace(h.model, bad));
    QCOMPARE(snapshotOf(h.model.tree()), before);
    QCOMPARE(TreeTools::replaceCountText(12), QString("12 件を置換します"));
}

void TestTreeTools::pageKeys_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("fragment and query") << "http://x.jp/a.html#top" << "http://x.jp/a.html?q=1" << true;
    QTest::newRow("folder and index.html") << "http://x.jp/sub/" << "http://x.jp/sub/index.html" << true;
    QTest::newRow("index.htm, relative") << "sub/index.htm" << "sub/" << true;
    QTest::newRow("host case, empty path") << "HTTP://X.JP" << "http://x.jp/" << true;
    QTest::newRow("encoded unreserved") << "/p%61ge.html" << "/page.html" << true;
    QTest::newRow("encoding case, same") << "/%e6%97%a5.html" << "/%E6%97%A5.html" << true;
    QTest::newRow("path case") << "http://x.jp/A.html" << "http://x.jp/a.html" << false;
    QTest::newRow("myindex.html") << "/myindex.html" << "/" << false;
    QTest::newRow("scheme") << "http://x.jp/" << "https://x.jp/" << false;
}

void TestTreeTools::pageKeys()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(SamePage::pageKey(a) == SamePage::pageKey(b), same);
}

void TestTreeTools::duplicatesAndLinksAlreadyIn()
{
    History h;
    h.add(nullptr, {"a=http://x.jp/", "b=http://y.jp/", "g:G", "c=http://x.jp/index.html#k", "d=", "e="});
    h.add(h.model.tree().topLevel(2), {"f=http://y.jp/?p", "g=http://z.jp/"});
    const auto sets = SamePage::duplicateLinks(h.model.tree());
    QCOMPARE(sets.size(), size_t(2));
    QCOMPARE(sets[0].size(), size_t(2));
    QCOMPARE(sets[0][0]->text() + sets[0][1]->text(), QString("ac"));
    QCOMPARE(sets[1][0]->text() + sets[1][1]->text(), QString("bf"));

    LinkTree incoming;
    incoming.appendLink(nullptr, "new")->record().Href = "http://new.jp/";
    incoming.appendLink(nullptr, "old")->record().Href = "HTTP://Z.JP/index.html";
    LinkNode *holder = incoming.appendLink(nullptr, "holder");
    holder->record().Href = "http://x.jp/";
    incoming.appendLink(holder, "inner")->record().Href = "http://y.jp/";
    const auto already = SamePage::linksAlreadyIn(h.model.tree(), incoming);
    QCOMPARE(already.size(), size_t(2));
    QCOMPARE(already[0]->text() + already[1]->text(), QString("oldinner"));
}

QTEST_GUILESS_MAIN(TestTreeTools)
#include "tst_treetools.moc"
