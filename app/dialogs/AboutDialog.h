#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QPainter;

namespace Ui {
class AboutDialog;
}

// The about box: product name, version, author, web addresses and the program file's details.
// A fresh box is made for every showing; its texts describe the program file at that moment.
// Its layout is the form AboutDialog.ui; its controls are found by their object names.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *owner = nullptr);
    ~AboutDialog() override;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Fills the version, size, date and path lines.
    void fillControls();
    // Draws the title band over TitleLabel's area.
    void paintContent(QPainter &painter);
    // Shows a web address as the label's text, or hides the label when there is none. The link
    // turns red under the pointer and opens the address when clicked.
    void makeLink(QLabel *label, const QString &address);
    void centreOnScreen();

    std::unique_ptr<Ui::AboutDialog> ui;
};
