#pragma once

#include "app/MainForm.h"
#include "app/LinkTreeModel.h"
#include "ScriptedPrompts.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QMenu>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include <memory>

// A shown main window with scripted prompts, and the ways a user reaches its tree, list and menus.
class EditingFixture
{
public:
    std::unique_ptr<TMain> window;
    ScriptedPrompts *prompts = nullptr;

    bool open()
    {
        window = std::make_unique<TMain>();
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        window->setPrompts(std::move(scripted));
        window->resize(900, 600);
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
    // Every question the window asked was one the test meant to answer.
    void close()
    {
        const int unexpected = prompts->unexpected;
        window.reset();
        QCOMPARE(unexpected, 0);
    }

    LinkTreeModel &model() { return window->treeModel(); }
    const LinkTree &tree() { return window->treeModel().tree(); }

    // The node with this text; texts are unique in every test tree.
    LinkNode *node(const QString &text)
    {
        for (LinkNode *n : tree().nodes()) {
            if (n->text() == text)
                return n;
        }
        return nullptr;
    }

    // A link whose fields all name it, so a write into the wrong node shows.
    LinkNode *addLink(LinkNode *parent, const QString &text)
    {
        LinkNode *link = model().appendLink(parent, text);
        LinkAttr &record = link->record();
        record.Href = "h-" + text;
        record.Target = "_self";
        record.ObjID = "id-" + text;
        record.Class = "c-" + text;
        return link;
    }

    // Every node's text and fields in absolute order; ListIndex and HtmlText are scratch.
    QStringList snapshot() { return snapshotOf(tree()); }
    static QStringList snapshotOf(const LinkTree &tree)
    {
        QStringList lines;
        for (const LinkNode *n : tree.nodes()) {
            const LinkAttr &r = n->record();
            lines << QStringList{QString::number(n->level()), n->text(), r.Group ? "group" : "link", r.Href, r.Target,
                                 r.ObjID, r.Class}
                         .join('|');
        }
        return lines;
    }

    // Clicks the node in the tree, opening its parents first.
    void clickNode(const LinkNode *node)
    {
        const QModelIndex index = model().indexFromNode(node);
        window->TreeView1->scrollTo(index);
        QTest::mouseClick(window->TreeView1->viewport(), Qt::LeftButton, {},
                          window->TreeView1->visualRect(index).center());
    }
    void clickNode(const QString &text) { clickNode(node(text)); }

    void clickRow(int row)
    {
        QTreeWidgetItem *item = window->ListView1->topLevelItem(row);
        QTest::mouseClick(window->ListView1->viewport(), Qt::LeftButton, {},
                          window->ListView1->visualItemRect(item).center());
    }

    QStringList rowCaptions()
    {
        QStringList captions;
        for (int i = 0; i < window->ListView1->topLevelItemCount(); ++i)
            captions << window->ListView1->topLevelItem(i)->text(0);
        return captions;
    }

    // The index of the selected row, or -1.
    int selectedRowIndex()
    {
        const QList<QTreeWidgetItem *> rows = window->ListView1->selectedItems();
        return rows.isEmpty() ? -1 : window->ListView1->indexOfTopLevelItem(rows.first());
    }

    // Opens the menu that holds the item, as the user would, and clicks the item.
    void clickMenuItem(const QString &name)
    {
        auto *item = window->findChild<QAction *>(name);
        QVERIFY2(item, qPrintable(name));
        auto *menu = qobject_cast<QMenu *>(item->parent());
        QVERIFY(menu);
        menu->popup(window->mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        menu->close();
    }

    // Opens a combo box's drop-down list and clicks the entry at `entry`.
    static void pickEntry(QComboBox *box, int entry)
    {
        box->showPopup();
        QAbstractItemView *list = box->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        const QRect item = list->visualRect(list->model()->index(entry, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QTRY_VERIFY(!list->isVisible());
    }

    // The main part of a tool-bar button, not its drop-down arrow.
    void clickButton(QWidget *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
};
