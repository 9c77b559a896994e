#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;

// The about box: product name, version, author, web addresses and the program file's details.
// A fresh box is made for every showing; its texts describe the program file at that moment.
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *owner = nullptr);

    // Fills the version, size, date and path lines.
    void FormShow();
    // Draws the title band over TitleLabel's area.
    void FormPaint(QPainter &painter);
    // The two link labels share these.
    void Label1Click(QLabel *label);
    void Label1MouseEnter(QLabel *label);
    void Label1MouseLeave(QLabel *label);

    QLabel *TitleLabel = nullptr;
    QLabel *VersionLabel = nullptr;
    QLabel *CpyrghtLabel = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *FileSizeLabel = nullptr;
    QLabel *UpdateLabel = nullptr;
    QLabel *Label6 = nullptr;
    QLineEdit *FullPathEdit = nullptr;
    QPushButton *OKBtn = nullptr;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    QLabel *linkLabel(const char *name, const QString &address, const QString &hint);
    void centreOnScreen();
};
