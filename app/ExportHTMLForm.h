#pragma once

#include "html/PageGenerator.h"

#include <QDialog>
#include <QStyledItemDelegate>

class LinkTree;
class Prompts;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// Draws each entry of the font list in its own typeface.
class FontFamilyDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // The least row height; a face that needs more gets more.
    static constexpr int ItemHeight = 14;
    // The name's distance from the row's top and left edges.
    static constexpr int TextInset = 2;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    static QFont face(const QStyleOptionViewItem &option, const QString &family);
};

// The export settings dialog: the page's options, then OK writes the page to OutputFileName.
// It lives for one command and starts from its defaults every time.
class TExportHTML : public QDialog
{
    Q_OBJECT

public:
    TExportHTML(LinkTree &tree, Prompts &prompts, QWidget *owner = nullptr);

    QString OutputFileName;
    TSystemStruct SystemStruct;

    // The settings as the controls stand now.
    ExportSettings settings() const;

    // The font entries for the given installed families: an empty entry first, then each family's
    // name once, in the given order.
    static QStringList fontEntries(const QStringList &families);
    // The entry to select at first: "ＭＳ ゴシック" in any letter case, or -1.
    static int defaultFontIndex(const QStringList &entries);

    void FormShow();
    void OKBtnClick();
    void HelpBtnClick();

    QFrame *Panel4 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *GroupMarkCmbBox = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *FontsCmbBox = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *ClassNameEdit = nullptr;
    QFrame *Panel1 = nullptr;
    QRadioButton *JSONRadioBtn = nullptr;
    QRadioButton *JSOFFRadioBtn = nullptr;
    QFrame *Panel2 = nullptr;
    QRadioButton *DefCSSONRadioBtn = nullptr;
    QRadioButton *DefCSSOFFRadioBtn = nullptr;
    QFrame *Bevel1 = nullptr;
    QFrame *Panel3 = nullptr;
    QRadioButton *SoftInfoONRadioBtn = nullptr;
    QRadioButton *SoftInfoOFFRadioBtn = nullptr;
    QFrame *Panel5 = nullptr;
    QRadioButton *AuthorLinkONRadioBtn = nullptr;
    QRadioButton *AuthorLinkOFFRadioBtn = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    QPushButton *HelpBtn = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    void buildOptions();
    void buildButtons();
    void arrangeTabOrder();
    // Where a panel's answers stand as designed: the left edges of the "on" and "off" buttons, and
    // the panel's width.
    struct AnswerColumns
    {
        int on;
        int off;
        int width;
    };
    // A panel holding a question and its two answers, "on" selected.
    QFrame *optionPanel(QWidget *parent, const char *name, const QString &question, const AnswerColumns &columns,
                        QRadioButton *&on, const char *onName, const QString &onText, QRadioButton *&off,
                        const char *offName, const QString &offText);

    LinkTree &m_tree;
    Prompts &m_prompts;
};
