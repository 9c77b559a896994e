#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QPainter;

namespace Ui {
class TAboutBox;
}

// The about box: product name, version, author, web addresses and the program file's details.
// A fresh box is made for every showing; its texts describe the program file at that moment.
// Its layout is the form AboutBoxForm.ui; its controls are found by their object names.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *owner = nullptr);
    ~TAboutBox() override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Fills the version, size, date and path lines.
    void FormShow();
    // Draws the title band over TitleLabel's area.
    void FormPaint(QPainter &painter);
    // The two link labels share these.
    void Label1Click(QLabel *label);
    void Label1MouseEnter(QLabel *label);
    void Label1MouseLeave(QLabel *label);

    void makeLink(QLabel *label);
    // Shows a web address as the label's text, or hides the label when there is none.
    static void showAddress(QLabel *label, const QString &address);
    void centreOnScreen();

    std::unique_ptr<Ui::TAboutBox> ui;
};
