#include "app/panes/PopupPanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

PopupPanel::PopupPanel(QWidget *parent) : QFrame(parent)
{
    // The panel keeps its own font wherever it is put: every property counts as set here.
    QFont own = font();
    own.setResolveMask(QFont::AllPropertiesResolved);
    setFont(own);
    hide();
}

PopupPanel::~PopupPanel()
{
    // A pop-up window still showing the panel goes with it, but must not delete the panel twice.
    if (QWidget *form = m_popupForm) {
        form->removeEventFilter(this);
        setParent(nullptr);
        delete form;
    }
}

QWidget *PopupPanel::makePopupForm()
{
    // Owned by the application: a plain top-level window without border or caption.
    auto *form = new QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint);
    form->setObjectName(QStringLiteral("PopupForm"));
    form->setAttribute(Qt::WA_QuitOnClose, false);
    form->setWindowTitle(QString());
    form->setAutoFillBackground(true);
    form->setBackgroundRole(QPalette::Window);
    form->setFont(font());
    form->setCursor(Qt::ArrowCursor);
    form->installEventFilter(this);
    return form;
}

void PopupPanel::popUpAt(int x, int y)
{
    if (!m_popupForm)
        m_popupForm = makePopupForm();
    QWidget *form = m_popupForm;
    if (QApplication::activeWindow() != form)
        m_returnTo = QApplication::activeWindow();
    form->resize(size());
    form->move(x, y);

    setParent(form);
    move(0, 0);
    show();
    m_poppedUp = true;
    form->show();
    form->raise();
    form->activateWindow();
}

void PopupPanel::closePopup(QObject *sender)
{
    m_poppedUp = false;
    QWidget *form = m_popupForm;
    if (form)
        form->removeEventFilter(this);
    // Out of the window: with no parent and hidden, the panel shows nowhere.
    setParent(nullptr);
    if (!form)
        return;
    m_popupForm = nullptr;
    const bool wasActive = form->isActiveWindow();
    form->hide();
    form->deleteLater();
    if (wasActive && m_returnTo)
        m_returnTo->activateWindow();
    m_returnTo = nullptr;
    if (onExit)
        onExit(sender);
}

void PopupPanel::resizeEvent(QResizeEvent *event)
{
    if (m_poppedUp && m_popupForm)
        m_popupForm->resize(size());
    QFrame::resizeEvent(event);
}

void PopupPanel::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the panel's default button, as it would in a dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        for (QPushButton *button : findChildren<QPushButton *>()) {
            if (button->isDefault() && button->isVisible() && button->isEnabled()) {
                button->click();
                return;
            }
        }
    }
    QFrame::keyPressEvent(event);
}

bool PopupPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_popupForm) {
        switch (event->type()) {
        case QEvent::WindowDeactivate:
            closePopup(watched);
            break;
        case QEvent::ActivationChange:
            // Sent after the change; a window that has just become active stays.
            if (!m_popupForm->isActiveWindow())
                closePopup(watched);
            break;
        case QEvent::Close:
            // The window system closed the window (e.g. a close key): treat it as losing it.
            closePopup(watched);
            break;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}
