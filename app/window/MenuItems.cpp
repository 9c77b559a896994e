#include "app/window/MenuItems.h"

#include "app/window/Named.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QMenu>

namespace {

class StatusTipForwarder : public QObject
{
public:
    StatusTipForwarder(QObject *window, QObject *parent) : QObject(parent), m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::StatusTip)
            return QObject::eventFilter(watched, event);
        QCoreApplication::sendEvent(m_window, event);
        return true;
    }

private:
    QObject *m_window;
};

} // namespace

QAction *addActionItem(QMenu *menu, const char *name, QAction *source, const QIcon &icon)
{
    auto *item = named(new QAction(icon, source->text(), menu), name);
    // The menu shows the source's keys; they act through the source, wherever it is reachable.
    item->setShortcuts(source->shortcuts());
    item->setShortcutContext(Qt::WidgetShortcut);
    auto mirror = [item, source] {
        item->setText(source->text());
        item->setStatusTip(source->statusTip());
        item->setEnabled(source->isEnabled());
    };
    mirror();
    QObject::connect(source, &QAction::changed, item, mirror);
    QObject::connect(item, &QAction::triggered, source, [source] { source->activate(QAction::Trigger); });
    menu->addAction(item);
    return item;
}

void forwardStatusTips(QMenu *menu, QObject *window)
{
    menu->installEventFilter(new StatusTipForwarder(window, menu));
}
