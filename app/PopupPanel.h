#pragma once

#include <QFrame>

// A panel that can leave its window and show itself in a borderless window of its own.
class TPopupPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TPopupPanel(QWidget *parent = nullptr);
};
