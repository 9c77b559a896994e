#pragma once

#include <QIcon>
#include <QList>

// ImageList1: 0 group, 1 link, 2 delete. Used by the tree, the list, the tool bar and the pop-ups.
QList<QIcon> treeImageList();
// MenuImageList: 0 open folder, 1 floppy disk, 2 help. Used by the main menu.
QList<QIcon> menuImageList();
