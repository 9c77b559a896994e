#include "app/ExportHTMLForm.h"

#include "app/CommandGuard.h"
#include "app/HelpViewer.h"
#include "app/Named.h"
#include "app/Prompts.h"
#include "text/TextRules.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString DefaultFont = QStringLiteral("ＭＳ ゴシック");

QFrame *plainPanel(QWidget *parent, const char *name)
{
    auto *panel = named(new QFrame(parent), name);
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

} // namespace

QFont FontFamilyDelegate::face(const QStyleOptionViewItem &option, const QString &family)
{
    QFont face = option.font;
    face.setFamily(family);
    return face;
}

void FontFamilyDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QString family = index.data(Qt::DisplayRole).toString();
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
    painter->setFont(face(option, family));
    painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
    painter->drawText(option.rect.adjusted(TextInset, TextInset, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      family);
    painter->restore();
}

QSize FontFamilyDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // Measured in the entry's own face, as it is drawn: many faces are taller than the box's font.
    const QString family = index.data(Qt::DisplayRole).toString();
    const QSize text = QFontMetrics(face(option, family)).size(Qt::TextSingleLine, family);
    return {text.width() + 2 * TextInset, std::max(ItemHeight, text.height() + TextInset)};
}

TExportHTML::TExportHTML(LinkTree &tree, Prompts &prompts, QWidget *owner)
    : QDialog(owner), m_tree(tree), m_prompts(prompts)
{
    setObjectName(QStringLiteral("ExportHTML"));
    setWindowTitle(QStringLiteral("出力設定"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    // Modal to the main window only, so the help it opens stays usable beside it.
    setWindowModality(Qt::WindowModal);
    QFont dialogFont(QStringLiteral("ＭＳ Ｐゴシック"));
    dialogFont.setPixelSize(12);
    setFont(dialogFont);

    auto *layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(1, 0, 1, 5);
    buildOptions();
    buildButtons();
    arrangeTabOrder();
}

QFrame *TExportHTML::optionPanel(QWidget *parent, const char *name, const QString &question,
                                 const AnswerColumns &columns, QRadioButton *&on, const char *onName,
                                 const QString &onText, QRadioButton *&off, const char *offName,
                                 const QString &offText)
{
    // Its own panel makes each pair exclusive on its own.
    QFrame *panel = plainPanel(parent, name);
    auto *caption = named(new QLabel(question, panel), (QByteArray(name) + "Caption").constData());
    on = named(new QRadioButton(onText, panel), onName);
    off = named(new QRadioButton(offText, panel), offName);
    on->setChecked(true);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    // The designed columns are the least widths; text that needs more widens the row. The answers
    // keep to the right edge, so they line up with the answers of the panels above and below.
    const int gap = std::max(0, row->spacing());
    caption->setMinimumWidth(columns.on - gap);
    on->setMinimumWidth(columns.off - columns.on - gap);
    off->setMinimumWidth(columns.width - columns.off);
    row->addWidget(caption);
    row->addStretch();
    row->addWidget(on);
    row->addWidget(off);
    return panel;
}

void TExportHTML::buildOptions()
{
    Panel4 = plainPanel(this, "Panel4");
    Label1 = named(new QLabel(QStringLiteral("グループ要素につけるマーク(&G)"), Panel4), "Label1");
    GroupMarkCmbBox = named(new QComboBox(Panel4), "GroupMarkCmbBox");
    GroupMarkCmbBox->setEditable(true);
    GroupMarkCmbBox->setInsertPolicy(QComboBox::NoInsert);
    GroupMarkCmbBox->addItems({QStringLiteral("□"), QStringLiteral("■"), QStringLiteral("◇"), QStringLiteral("◆"),
                               QStringLiteral("＋"), QStringLiteral("－")});
    GroupMarkCmbBox->setCurrentIndex(-1);
    GroupMarkCmbBox->setEditText(QString());
    GroupMarkCmbBox->setStatusTip(QStringLiteral("無くても可"));
    Label1->setBuddy(GroupMarkCmbBox);

    Label2 = named(new QLabel(QStringLiteral("フォント（固定長フォント推奨）(&F)"), Panel4), "Label2");
    FontsCmbBox = named(new QComboBox(Panel4), "FontsCmbBox");
    FontsCmbBox->setItemDelegate(new FontFamilyDelegate(FontsCmbBox));
    FontsCmbBox->setMaxVisibleItems(12);
    // Some styles open the list over the whole screen and ignore the count; this keeps it to 12.
    FontsCmbBox->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    FontsCmbBox->setStatusTip(QStringLiteral("ＭＳ ゴシックが妥当"));
    Label2->setBuddy(FontsCmbBox);

    Label3 = named(new QLabel(QStringLiteral("グループ要素につけるクラス名(&C)"), Panel4), "Label3");
    ClassNameEdit = named(new QLineEdit(ExportSettings::ClassNamePlaceholder, Panel4), "ClassNameEdit");
    ClassNameEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    ClassNameEdit->setStatusTip(QStringLiteral("特別に指定したい場合はクラス名を入力"));
    Label3->setBuddy(ClassNameEdit);

    // The designed width whatever the entries; as tall as the font needs, never lower than designed.
    for (QWidget *field : {static_cast<QWidget *>(GroupMarkCmbBox), static_cast<QWidget *>(FontsCmbBox),
                           static_cast<QWidget *>(ClassNameEdit)}) {
        field->setFixedWidth(145);
        field->setMinimumHeight(20);
    }

    Panel1 = optionPanel(Panel4, "Panel1", QStringLiteral("   JavaScriptによるツリーの開閉を"), {189, 257, 362},
                         JSONRadioBtn, "JSONRadioBtn", QStringLiteral("する"), JSOFFRadioBtn, "JSOFFRadioBtn",
                         QStringLiteral("しない"));
    Panel2 = optionPanel(Panel4, "Panel2", QStringLiteral(" デフォルトのスタイルシートを使用"), {189, 257, 362},
                         DefCSSONRadioBtn, "DefCSSONRadioBtn", QStringLiteral("する"), DefCSSOFFRadioBtn,
                         "DefCSSOFFRadioBtn", QStringLiteral("しない"));

    auto *fields = new QGridLayout;
    fields->setContentsMargins(8, 4, 37, 4);
    fields->setHorizontalSpacing(8);
    fields->setVerticalSpacing(8);
    fields->addWidget(Label1, 0, 0, Qt::AlignRight);
    fields->addWidget(GroupMarkCmbBox, 0, 1);
    fields->addWidget(Label2, 1, 0, Qt::AlignRight);
    fields->addWidget(FontsCmbBox, 1, 1);
    fields->addWidget(Label3, 2, 0, Qt::AlignRight);
    fields->addWidget(ClassNameEdit, 2, 1);
    auto *panel4Layout = new QVBoxLayout(Panel4);
    panel4Layout->setContentsMargins(0, 0, 0, 0);
    panel4Layout->setSpacing(0);
    panel4Layout->addLayout(fields);
    panel4Layout->addWidget(Panel1);
    panel4Layout->addWidget(Panel2);
    layout()->addWidget(Panel4);

    Bevel1 = named(new QFrame(this), "Bevel1");
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Panel3 = optionPanel(Bevel1, "Panel3", QStringLiteral("出力ファイルにソフト情報を"), {172, 276, 345},
                         SoftInfoONRadioBtn, "SoftInfoONRadioBtn", QStringLiteral("入れる（推奨）"),
                         SoftInfoOFFRadioBtn, "SoftInfoOFFRadioBtn", QStringLiteral("入れない"));
    Panel5 = optionPanel(Bevel1, "Panel5", QStringLiteral("作者ウェブサイトへのリンクを"), {172, 276, 345},
                         AuthorLinkONRadioBtn, "AuthorLinkONRadioBtn", QStringLiteral("入れる（推奨）"),
                         AuthorLinkOFFRadioBtn, "AuthorLinkOFFRadioBtn", QStringLiteral("入れない"));
    auto *bevelLayout = new QVBoxLayout(Bevel1);
    bevelLayout->setContentsMargins(7, 4, 7, 4);
    bevelLayout->addWidget(Panel3);
    bevelLayout->addWidget(Panel5);
    layout()->addWidget(Bevel1);
}

void TExportHTML::buildButtons()
{
    OKBtn = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    CancelBtn = named(new QPushButton(QStringLiteral("キャンセル"), this), "CancelBtn");
    HelpBtn = named(new QPushButton(QStringLiteral("ヘルプ"), this), "HelpBtn");
    OKBtn->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *button : {OKBtn, CancelBtn, HelpBtn}) {
        // The designed size at least; a caption that needs more gets it.
        button->setMinimumSize(81, 21);
        row->addWidget(button);
    }
    row->addStretch();
    static_cast<QVBoxLayout *>(layout())->addLayout(row);

    connect(OKBtn, &QPushButton::clicked, this, [this] {
        // The result is set first, so the dialog closes with OK whatever the export does.
        setResult(QDialog::Accepted);
        OKBtnClick();
        accept();
    });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, &TExportHTML::HelpBtnClick);
}

void TExportHTML::arrangeTabOrder()
{
    const QList<QWidget *> order = {GroupMarkCmbBox,    FontsCmbBox,         ClassNameEdit,        JSONRadioBtn,
                                    JSOFFRadioBtn,      DefCSSONRadioBtn,    DefCSSOFFRadioBtn,    SoftInfoONRadioBtn,
                                    SoftInfoOFFRadioBtn, AuthorLinkONRadioBtn, AuthorLinkOFFRadioBtn, OKBtn,
                                    CancelBtn,          HelpBtn};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order.at(i), order.at(i + 1));
}

ExportSettings TExportHTML::settings() const
{
    ExportSettings settings;
    settings.OutputFileName = OutputFileName;
    settings.FoldingScript = JSONRadioBtn->isChecked();
    settings.DefaultStyleSheet = DefCSSONRadioBtn->isChecked();
    settings.SoftwareInfo = SoftInfoONRadioBtn->isChecked();
    settings.AuthorLink = AuthorLinkONRadioBtn->isChecked();
    settings.GroupMark = GroupMarkCmbBox->currentText();
    settings.FontName = FontsCmbBox->currentIndex() > 0 ? FontsCmbBox->currentText() : QString();
    settings.ClassNameEntry = ClassNameEdit->text();
    return settings;
}

QStringList TExportHTML::fontEntries(const QStringList &families)
{
    // Qt lists a family that two foundries supply once per foundry, as "Family [foundry]"; a
    // style sheet knows the family only.
    static const QRegularExpression foundry(QStringLiteral(" \\[[^\\]]*\\]$"));
    QStringList entries = families;
    entries.replaceInStrings(foundry, QString());
    entries.removeDuplicates();
    entries.prepend(QString());
    return entries;
}

int TExportHTML::defaultFontIndex(const QStringList &entries)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (TextRules::same(entries.at(i), DefaultFont))
            return static_cast<int>(i);
    }
    return -1;
}

void TExportHTML::FormShow()
{
    const QStringList entries = fontEntries(QFontDatabase::families());
    FontsCmbBox->clear();
    FontsCmbBox->addItems(entries);
    FontsCmbBox->setCurrentIndex(defaultFontIndex(entries));
}

void TExportHTML::showEvent(QShowEvent *event)
{
    // Only when the program shows it: a restore from the task bar keeps the user's choice.
    if (!event->spontaneous()) {
        FormShow();
        if (QScreen *display = screen())
            move(display->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

bool TExportHTML::event(QEvent *event)
{
    // Hints reach the main window's status bar, like every other hint of the program.
    if (event->type() == QEvent::StatusTip && parentWidget()) {
        QCoreApplication::sendEvent(parentWidget()->window(), event);
        return true;
    }
    return QDialog::event(event);
}

void TExportHTML::OKBtnClick()
{
    QWidget *owner = parentWidget() ? parentWidget() : this;
    runCommand(m_prompts, owner, [this, owner] {
        PageGenerator::exportPage(m_tree, settings(), SystemStruct);
        m_prompts.information(owner, QStringLiteral("正常に出力しました"));
    });
}

void TExportHTML::HelpBtnClick()
{
    runCommand(m_prompts, this, [this] { HelpViewer::showTopic(this, 15); });
}
