#include "app/window/WindowMemory.h"

#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace {

const QString Group = QStringLiteral("windows/");

QByteArray stored(const QString &key)
{
    return QSettings().value(Group + key).toByteArray();
}

void store(const QString &key, const QByteArray &state)
{
    QSettings().setValue(Group + key, state);
}

// The part of the screen a window's inside may take: the free area less the window's frame, which
// the desktop draws only once the window is shown, so reckoned as the style draws one.
QRect room(const QWidget &window)
{
    const QScreen *screen = window.screen();
    if (!screen)
        return {};
    const int titleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
    const int border = window.style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, &window);
    return screen->availableGeometry().marginsRemoved(QMargins(border, titleBar, border, border));
}

} // namespace

namespace WindowMemory {

void restore(QWidget &window, const QString &key)
{
    const QRect area = room(window);
    const bool placed = window.restoreGeometry(stored(key));
    if (area.isEmpty() || window.isMaximized() || window.isFullScreen())
        return;
    // A window never shown before keeps its size where the screen has room and is placed by the
    // desktop; a stored one, perhaps closed on a larger screen, is also moved inside.
    QRect shape = window.geometry();
    shape.setSize(shape.size().boundedTo(area.size()));
    if (!placed) {
        window.resize(shape.size());
        return;
    }
    shape.moveRight(std::min(shape.right(), area.right()));
    shape.moveBottom(std::min(shape.bottom(), area.bottom()));
    shape.moveLeft(std::max(shape.left(), area.left()));
    shape.moveTop(std::max(shape.top(), area.top()));
    window.setGeometry(shape);
}

void save(const QWidget &window, const QString &key)
{
    store(key, window.saveGeometry());
}

void restore(QSplitter &splitter, const QString &key)
{
    splitter.restoreState(stored(key));
}

void save(const QSplitter &splitter, const QString &key)
{
    store(key, splitter.saveState());
}

void restore(QHeaderView &header, const QString &key)
{
    header.restoreState(stored(key));
}

void save(const QHeaderView &header, const QString &key)
{
    store(key, header.saveState());
}

} // namespace WindowMemory
