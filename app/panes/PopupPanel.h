#pragma once

#include <QFrame>
#include <QPointer>

#include <functional>

// A panel that can leave its window and show itself in a borderless window of its own at any
// screen point. The pop-up window closes itself, with the panel taken out again, as soon as it
// stops being the active window.
class PopupPanel : public QFrame
{
    Q_OBJECT

public:
    explicit PopupPanel(QWidget *parent = nullptr);
    ~PopupPanel() override;

    // Shows the panel with its top left corner at the screen point (x, y).
    void popUpAt(int x, int y);
    // Takes the panel out of its pop-up window and releases the window; `sender` asked for it.
    void closePopup(QObject *sender);

    bool isPoppedUp() const { return m_poppedUp; }
    // The window hosting the panel while it is popped up, otherwise null.
    QWidget *popupForm() const { return m_popupForm; }

    // Runs after a close that released a pop-up window, with the close's sender.
    std::function<void(QObject *sender)> onExit;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *makePopupForm();

    QPointer<QWidget> m_popupForm;
    // The window that was active before the pop-up took over, to hand activation back.
    QPointer<QWidget> m_returnTo;
    bool m_poppedUp = false;
};
