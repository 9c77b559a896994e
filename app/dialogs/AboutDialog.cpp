#include "app/dialogs/AboutDialog.h"

#include "app/dialogs/AboutBoxText.h"
#include "ui_AboutDialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStatusTipEvent>
#include <QUrl>

namespace {

const QColor linkColour(0, 0, 255);
const QColor hotLinkColour(255, 0, 0);

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

} // namespace

AboutDialog::AboutDialog(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::AboutDialog>())
{
    ui->setupUi(this);
    // A form's font knows points and one family only; the box is designed in pixels, with a
    // stand-in for a face the desktop may lack.
    setFont(fontOf({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")}, 12));
    // Button face behind everything; the labels keep their window-text colour.
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);

    ui->TitleLabel->setFont(fontOf({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")}, 27));
    // paintContent draws the band in the label's place.
    ui->TitleLabel->installEventFilter(this);
    ui->Label3->setFont(fontOf({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP")}, 13));
    // The addresses are the ones the build names; a page it names none of shows no link.
    makeLink(ui->Label1, QStringLiteral(VORMIK_HOMEPAGE));
    makeLink(ui->Label2, QStringLiteral(VORMIK_SUPPORT_PAGE));
    ui->FullPathEdit->setFont(fontOf({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")}, 13));
    QPalette pathPalette = ui->FullPathEdit->palette();
    pathPalette.setColor(QPalette::Base, pathPalette.color(QPalette::Button));
    ui->FullPathEdit->setPalette(pathPalette);

    // Each line's widgets keep their own size at the line's top left, whatever the line's height;
    // a form cannot align a layout inside its widget.
    for (QWidget *line : {ui->versionLine, ui->noticeLine, ui->homeLine, ui->supportLine, ui->ruleLine, ui->sizeLine,
                          ui->dateLine, ui->pathLine})
        line->layout()->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    connect(ui->OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(409, 305);
    ui->OKBtn->setFocus();
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::makeLink(QLabel *label, const QString &address)
{
    QFont underlined = font();
    underlined.setUnderline(true);
    label->setFont(underlined);
    setTextColour(label, linkColour);
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
    label->setText(address);
    label->setVisible(!address.isEmpty());
}

void AboutDialog::centreOnScreen()
{
    QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame counts once the window system has given the box one; move() places the frame.
    const QRect area = screen->availableGeometry();
    const QSize outer = frameGeometry().size();
    move(area.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

void AboutDialog::fillControls()
{
    const QLocale locale;
    ui->VersionLabel->setText(AboutBoxText::versionLine(AboutBoxText::fileVersion()));

    const QString program = QCoreApplication::applicationFilePath();
    const QFileInfo file(program);
    // A file that cannot be looked up counts as 0 bytes with no date.
    ui->FileSizeLabel->setText(AboutBoxText::sizeLine(locale, file.exists() ? file.size() : 0));
    ui->UpdateLabel->setText(AboutBoxText::dateLine(locale, file.exists() ? file.lastModified() : QDateTime()));
    ui->FullPathEdit->setText(program);
    ui->FullPathEdit->setCursorPosition(0);
}

void AboutDialog::paintContent(QPainter &painter)
{
    const QRect band = ui->TitleLabel->rect();
    const int width = band.width();
    const int height = band.height();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(band.adjusted(0, 0, -1, -1));

    painter.setFont(ui->TitleLabel->font());
    const QFontMetrics metrics(ui->TitleLabel->font());
    const QString text = ui->TitleLabel->text();
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    const QRect textBox(width / 2 - textWidth / 2, height / 2 - textHeight / 2, textWidth, textHeight);
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

bool AboutDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->TitleLabel && event->type() == QEvent::Paint) {
        QPainter painter(ui->TitleLabel);
        paintContent(painter);
        return true;
    }
    if (watched == ui->Label1 || watched == ui->Label2) {
        auto *label = static_cast<QLabel *>(watched);
        switch (event->type()) {
        case QEvent::Enter:
            setTextColour(label, hotLinkColour);
            break;
        case QEvent::Leave:
            setTextColour(label, linkColour);
            break;
        case QEvent::MouseButtonRelease:
            // Whatever the desktop makes of the address, the box stays as it is.
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
                && label->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint()))
                QDesktopServices::openUrl(QUrl(label->text()));
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool AboutDialog::event(QEvent *event)
{
    // The box shows no tooltips of its own; its hints go to the owner's status bar.
    if (event->type() == QEvent::StatusTip && parentWidget())
        return QCoreApplication::sendEvent(parentWidget(), event);
    return QDialog::event(event);
}

void AboutDialog::showEvent(QShowEvent *event)
{
    centreOnScreen();
    fillControls();
    QDialog::showEvent(event);
}

void AboutDialog::keyPressEvent(QKeyEvent *event)
{
    // There is no Cancel button, so Esc does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AboutDialog::closeEvent(QCloseEvent *event)
{
    // The close box ends the box as OK does.
    if (isVisible())
        done(QDialog::Accepted);
    event->accept();
}
