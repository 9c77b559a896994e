#include "app/window/ToolBarButtonDrawing.h"

#include <QBitmap>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionToolButton>

ToolBarButtonDrawing drawToolBarButton(ToolBarButtonKind kind, const QRect &rect, bool hot, bool pressed)
{
    const int L = rect.left();
    const int T = rect.top();
    const int R = rect.right() + 1;
    const int B = rect.bottom() + 1;
    ToolBarButtonDrawing drawing;
    if (kind == ToolBarButtonKind::DropDown && (hot || pressed)) {
        drawing.custom = true;
        drawing.frame = QRect(QPoint(L, T), QPoint(R - 1, B - 1));
        drawing.arrowFrame = QRect(QPoint(R - 12, T), QPoint(R - 1, B - 1));
        drawing.imageAt = QPoint(L + 3, T + 2);
        drawing.arrowAt = QPoint(R - 9, B / 2 - 2);
    } else if (kind == ToolBarButtonKind::Plain && hot) {
        drawing.custom = true;
        drawing.frame = QRect(QPoint(L, T), QPoint(R - 1, B - 1));
        drawing.imageAt = QPoint(L + 2, T + 2);
    }
    return drawing;
}

namespace {
// A filled rectangle whose outline covers its edge pixels, as the window system draws one.
void drawFramedRect(QPainter &painter, const QRect &rect)
{
    painter.fillRect(rect, ToolBarButtonFill);
    painter.setPen(ToolBarButtonOutline);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

const QPixmap &downMenuArrow()
{
    static const QPixmap arrow = [] {
        QPixmap pixmap(QStringLiteral(":/images/DownMenu.bmp"));
        pixmap.setMask(pixmap.createMaskFromColor(DownMenuTransparent));
        return pixmap;
    }();
    return arrow;
}
} // namespace

ToolBarButton::ToolBarButton(ToolBarButtonKind kind, QWidget *parent) : QToolButton(parent), m_kind(kind)
{
    setAutoRaise(true);
    setAttribute(Qt::WA_Hover);
}

void ToolBarButton::paintEvent(QPaintEvent *event)
{
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const bool hot = underMouse() && isEnabled();
    const bool pressed = isDown() || (option.state & QStyle::State_Sunken)
                         || (option.activeSubControls & QStyle::SC_ToolButtonMenu);
    const ToolBarButtonDrawing drawing = drawToolBarButton(m_kind, rect(), hot, pressed);
    if (!drawing.custom) {
        QToolButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFramedRect(painter, drawing.frame);
    if (drawing.arrowFrame)
        drawFramedRect(painter, *drawing.arrowFrame);
    painter.drawPixmap(drawing.imageAt, icon().pixmap(16, 16, QIcon::Normal));
    if (drawing.arrowAt)
        painter.drawPixmap(*drawing.arrowAt, downMenuArrow());
}

void ToolBarButton::enterEvent(QEnterEvent *event)
{
    QToolButton::enterEvent(event);
    update();
}

void ToolBarButton::leaveEvent(QEvent *event)
{
    QToolButton::leaveEvent(event);
    update();
}
