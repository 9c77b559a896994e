#include "app/AboutBoxForm.h"

#include "app/AboutBoxText.h"
#include "app/Named.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStatusTipEvent>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QColor linkColour(0, 0, 255);
const QColor hotLinkColour(255, 0, 0);
constexpr int textLeft = 60;

QFont fontOf(const QStringList &families, int pixels)
{
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixels);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

// One line of the box: a band of fixed height whose widgets start at the text column.
QHBoxLayout *addLine(QVBoxLayout *column, int height, int left = textLeft)
{
    auto *band = new QWidget(column->parentWidget());
    band->setFixedHeight(height);
    auto *line = new QHBoxLayout(band);
    line->setContentsMargins(left, 0, 0, 0);
    line->setSpacing(0);
    line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(band);
    return line;
}

} // namespace

TAboutBox::TAboutBox(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setFont(fontOf({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")}, 12));
    // Button face behind everything; the labels keep their window-text colour.
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
    buildControls();
    setFixedSize(409, 305);
}

void TAboutBox::buildControls()
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    TitleLabel = named(new QLabel(QStringLiteral("Vormik"), this), "TitleLabel");
    TitleLabel->setFont(fontOf({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")}, 27));
    TitleLabel->setAlignment(Qt::AlignCenter);
    TitleLabel->setFixedHeight(49);
    // FormPaint draws the band in the label's place.
    TitleLabel->installEventFilter(this);
    column->addWidget(TitleLabel);
    column->addSpacing(19);

    VersionLabel = named(new QLabel(QStringLiteral("Version"), this), "VersionLabel");
    VersionLabel->setStatusTip(QStringLiteral("バージョン"));
    addLine(column, 24)->addWidget(VersionLabel);

    CpyrghtLabel = named(new QLabel(QStringLiteral("Copyright (C) 2026"), this), "CpyrghtLabel");
    CpyrghtLabel->setFixedSize(157, 14);
    CpyrghtLabel->setStatusTip(QStringLiteral("著作権表示"));
    Label3 = named(new QLabel(QStringLiteral("Kestrune"), this), "Label3");
    Label3->setFont(fontOf({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP")}, 13));
    QHBoxLayout *notice = addLine(column, 36);
    notice->addWidget(CpyrghtLabel);
    notice->addSpacing(3);
    notice->addWidget(Label3);

    Label1 = linkLabel("Label1", QStringLiteral("https://kestrune.example.net/"), QStringLiteral("ホームページ"));
    addLine(column, 24)->addWidget(Label1);
    Label2 = linkLabel("Label2", QStringLiteral("https://kestrune.example.net/vormik/support/"),
                       QStringLiteral("サポートページ"));
    addLine(column, 30)->addWidget(Label2);

    Bevel1 = named(new QFrame(this), "Bevel1");
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    Bevel1->setFixedSize(397, 2);
    addLine(column, 10, 6)->addWidget(Bevel1);

    FileSizeLabel = named(new QLabel(QStringLiteral("FileSize"), this), "FileSizeLabel");
    FileSizeLabel->setStatusTip(QStringLiteral("実行ファイルのサイズ"));
    addLine(column, 24)->addWidget(FileSizeLabel);
    UpdateLabel = named(new QLabel(QStringLiteral("UpDate"), this), "UpdateLabel");
    UpdateLabel->setStatusTip(QStringLiteral("更新日"));
    addLine(column, 24)->addWidget(UpdateLabel);

    Label6 = named(new QLabel(QStringLiteral("FilePath"), this), "Label6");
    Label6->setStatusTip(QStringLiteral("実行ファイルのパス"));
    Label6->setFixedWidth(64);
    FullPathEdit = named(new QLineEdit(QStringLiteral("FullPath"), this), "FullPathEdit");
    FullPathEdit->setReadOnly(true);
    FullPathEdit->setFrame(false);
    FullPathEdit->setFixedSize(253, 18);
    FullPathEdit->setFont(fontOf({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")}, 13));
    FullPathEdit->setStatusTip(QStringLiteral("実行ファイルのパス"));
    QPalette pathPalette = FullPathEdit->palette();
    pathPalette.setColor(QPalette::Base, pathPalette.color(QPalette::Button));
    FullPathEdit->setPalette(pathPalette);
    QHBoxLayout *pathLine = addLine(column, 36);
    pathLine->addWidget(Label6);
    pathLine->addWidget(FullPathEdit);

    OKBtn = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn->setFixedSize(85, 21);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    column->addWidget(OKBtn, 0, Qt::AlignHCenter | Qt::AlignTop);
    column->addStretch(1);

    OKBtn->setFocus();
}

QLabel *TAboutBox::linkLabel(const char *name, const QString &address, const QString &hint)
{
    auto *label = named(new QLabel(address, this), name);
    QFont underlined = font();
    underlined.setUnderline(true);
    label->setFont(underlined);
    setTextColour(label, linkColour);
    label->setCursor(Qt::PointingHandCursor);
    label->setStatusTip(hint);
    label->installEventFilter(this);
    return label;
}

void TAboutBox::centreOnScreen()
{
    QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame counts once the window system has given the box one; move() places the frame.
    const QRect area = screen->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

void TAboutBox::FormShow()
{
    const QLocale locale;
    VersionLabel->setText(AboutBoxText::versionLine(AboutBoxText::fileVersion()));

    const QString program = QCoreApplication::applicationFilePath();
    const QFileInfo file(program);
    // A file that cannot be looked up counts as 0 bytes with no date.
    FileSizeLabel->setText(AboutBoxText::sizeLine(locale, file.exists() ? file.size() : 0));
    UpdateLabel->setText(AboutBoxText::dateLine(locale, file.exists() ? file.lastModified() : QDateTime()));
    FullPathEdit->setText(program);
    FullPathEdit->setCursorPosition(0);
}

void TAboutBox::FormPaint(QPainter &painter)
{
    const QRect band = TitleLabel->rect();
    const int width = band.width();
    const int height = band.height();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(band.adjusted(0, 0, -1, -1));

    painter.setFont(TitleLabel->font());
    const QFontMetrics metrics(TitleLabel->font());
    const QString text = TitleLabel->text();
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    const QRect textBox(width / 2 - textWidth / 2, height / 2 - textHeight / 2, textWidth, textHeight);
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

void TAboutBox::Label1Click(QLabel *label)
{
    // Whatever the desktop makes of the address, the box stays as it is.
    QDesktopServices::openUrl(QUrl(label->text()));
}

void TAboutBox::Label1MouseEnter(QLabel *label)
{
    setTextColour(label, hotLinkColour);
}

void TAboutBox::Label1MouseLeave(QLabel *label)
{
    setTextColour(label, linkColour);
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == TitleLabel && event->type() == QEvent::Paint) {
        QPainter painter(TitleLabel);
        FormPaint(painter);
        return true;
    }
    if (watched == Label1 || watched == Label2) {
        auto *label = static_cast<QLabel *>(watched);
        switch (event->type()) {
        case QEvent::Enter:
            Label1MouseEnter(label);
            break;
        case QEvent::Leave:
            Label1MouseLeave(label);
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
                && label->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
                Label1Click(label);
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TAboutBox::event(QEvent *event)
{
    // The box shows no tooltips of its own; its hints go to the owner's status bar.
    if (event->type() == QEvent::StatusTip && parentWidget())
        return QCoreApplication::sendEvent(parentWidget(), event);
    return QDialog::event(event);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    centreOnScreen();
    FormShow();
    QDialog::showEvent(event);
}

void TAboutBox::keyPressEvent(QKeyEvent *event)
{
    // There is no Cancel button, so Esc does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::closeEvent(QCloseEvent *event)
{
    // The close box ends the box as OK does.
    if (isVisible())
        done(QDialog::Accepted);
    event->accept();
}
