#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QToolButton>

#include <optional>

class QPainter;

enum class ToolBarButtonKind { DropDown, Plain, Divider };

// What drawToolBarButton paints for one button. Coordinates follow the window system's
// (L, T, R, B) convention: R and B lie just outside the button.
struct ToolBarButtonDrawing
{
    bool custom = false; // false: the default look is painted
    QRect frame;
    std::optional<QRect> arrowFrame;
    QPoint imageAt;
    std::optional<QPoint> arrowAt;
};

inline const QColor ToolBarButtonFill{240, 240, 243};
inline const QColor ToolBarButtonOutline{178, 180, 191};
inline const QColor DownMenuTransparent{255, 0, 128};

// The geometry of a hot or pressed button; `rect` holds L, T as its top left and R, B as
// rect.right() + 1 and rect.bottom() + 1.
ToolBarButtonDrawing drawToolBarButton(ToolBarButtonKind kind, const QRect &rect, bool hot, bool pressed);

// A tool-bar button that paints itself flat while hot or pressed.
class ToolBarButton : public QToolButton
{
    Q_OBJECT

public:
    ToolBarButton(ToolBarButtonKind kind, QWidget *parent = nullptr);
    ToolBarButtonKind kind() const { return m_kind; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    ToolBarButtonKind m_kind;
};
