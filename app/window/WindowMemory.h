#pragma once

#include <QString>

class QHeaderView;
class QSplitter;
class QWidget;

// What the windows keep between runs in the user's settings: a window's size, place and
// maximised state, and the widths the user gave its dividers and columns.
namespace WindowMemory {

// The window as it was last closed; without that, its own size made to fit the free area of its
// screen. Either way no window opens larger than the screen leaves room for.
void restore(QWidget &window, const QString &key);
void save(const QWidget &window, const QString &key);

void restore(QSplitter &splitter, const QString &key);
void save(const QSplitter &splitter, const QString &key);

void restore(QHeaderView &header, const QString &key);
void save(const QHeaderView &header, const QString &key);

} // namespace WindowMemory
