#pragma once

#include <QObject>

class DuplicatesDialog;
class LinkNode;
class QAction;
class QMenu;
class ReplaceDialog;
class TreePane;
class QWidget;
class WindowContext;

// Sorting a group's children, replacing text in every node and listing links to one page.
class TreeToolCommands : public QObject
{
    Q_OBJECT

public:
    struct Actions
    {
        QAction *sortAscending, *sortDescending, *sortGroupsFirst, *replace, *duplicates;
    };

    TreeToolCommands(WindowContext &context, TreePane &tree, QWidget *window, const Actions &actions);

signals:
    void nodePicked(LinkNode *node);
    void statusMessage(const QString &text);

private:
    void sort(bool descending);
    void showReplace();
    void showDuplicates();

    WindowContext &m_context;
    TreePane &m_tree;
    QWidget *m_window;
    Actions m_actions;
    ReplaceDialog *m_replace = nullptr;
    DuplicatesDialog *m_duplicates = nullptr;
};
