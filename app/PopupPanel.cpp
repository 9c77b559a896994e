#include "app/PopupPanel.h"

TPopupPanel::TPopupPanel(QWidget *parent) : QFrame(parent)
{
    hide();
}
