#pragma once

#include <QDialog>

// The about box: product name, version, author, web addresses and the program file's details.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *owner = nullptr);
};
