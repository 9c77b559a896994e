#pragma once

#include "TreeEdits.h"
#include "app/window/MainWindow.h"
#include "app/editing/LinkTreeModel.h"
#include "tree/LinkTree.h"
#include "tests/Controls.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>

#include <memory>

// A window showing the tree, as the user sees it after Open.
inline std::unique_ptr<MainWindow> windowWith(std::unique_ptr<LinkTree> tree)
{
    auto window = std::make_unique<MainWindow>();
    TreeEdits::replaceTree(window->treeModel(), std::move(tree));
    window->show();
    QCoreApplication::processEvents();
    return window;
}

// A part of the window, or of a window of its own such as the class picker, found by the object
// name the design gives it, as the tests find them.
template<typename T>
T *windowPart(const MainWindow &window, const char *name)
{
    if (T *found = window.findChild<T *>(QLatin1String(name)))
        return found;
    return freeControl<T>(name);
}

// Runs a window's action as its menu item would, and lets the window catch up.
inline void trigger(MainWindow &window, const char *action)
{
    windowPart<QAction>(window, action)->trigger();
    QCoreApplication::processEvents();
}
