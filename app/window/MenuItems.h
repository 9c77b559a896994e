#pragma once

#include <QIcon>
#include <QObject>

class QAction;
class QMenu;

// A menu item that shows an action's caption, hint and enabled state and runs it.
QAction *addActionItem(QMenu *menu, const char *name, QAction *source, const QIcon &icon = QIcon());

// A pop-up menu opened at a screen point hands its items' hints to itself, a window of its own,
// where they would stop; this passes them on to the main window's status bar.
void forwardStatusTips(QMenu *menu, QObject *window);
