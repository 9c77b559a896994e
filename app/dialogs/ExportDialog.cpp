#include "app/dialogs/ExportDialog.h"
#include "ui_ExportDialog.h"

#include "app/window/CommandGuard.h"
#include "app/dialogs/HelpViewer.h"
#include "app/dialogs/Prompts.h"
#include "app/window/Named.h"
#include "html/WrittenFiles.h"
#include "text/TextRules.h"
#include "text/VormikError.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>
#include <tuple>

namespace {

const QString DefaultFont = QStringLiteral("ＭＳ ゴシック");

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

ExportDialog::ExportDialog(Prompts &prompts, QWidget *owner)
    : QDialog(owner), ui(std::make_unique<Ui::ExportDialog>()), m_prompts(prompts)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    // Modal to the main window only, so the help it opens stays usable beside it.
    setWindowModality(Qt::WindowModal);
    // A form's font knows points only; the dialog is designed in pixels.
    QFont dialogFont(QStringLiteral("ＭＳ Ｐゴシック"));
    dialogFont.setPixelSize(12);
    setFont(dialogFont);

    ui->FontsCmbBox->setItemDelegate(new FontFamilyDelegate(ui->FontsCmbBox));
    // Some styles open the list over the whole screen and ignore the count; this keeps it to 12.
    ui->FontsCmbBox->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    // The generator reads this very text as "no class name chosen".
    ui->ClassNameEdit->setText(ExportSettings::ClassNamePlaceholder);
    ui->ClassNameEdit->setAttribute(Qt::WA_InputMethodEnabled, false);
    alignAnswers();
    ui->PageLanguageEdit->setText(ExportSettings().pageLanguage);
    // The HTML5 page's own fields are shown only while it is the chosen format.
    ui->Html5Panel->setVisible(false);
    connect(ui->Html5FormatRadioBtn, &QRadioButton::toggled, ui->Html5Panel, &QWidget::setVisible);
    addDataFormats();

    connect(ui->OKBtn, &QPushButton::clicked, this, &ExportDialog::acceptSettings);
    connect(ui->CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->HelpBtn, &QPushButton::clicked, this, &ExportDialog::showDialogHelp);
}

ExportDialog::~ExportDialog() = default;

void ExportDialog::addDataFormats()
{
    auto *panel = named(new QFrame(ui->FormatPanel->parentWidget()), "DataFormatPanel");
    panel->setStatusTip(QStringLiteral("ページではなく、ブラウザが読み込めるブックマーク・OPML・JSON として書き出す"));
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral(" データとして出力"), panel));
    row->addStretch(1);
    auto *choice = new QButtonGroup(this);
    choice->addButton(ui->ClassicFormatRadioBtn);
    choice->addButton(ui->Html5FormatRadioBtn);
    const std::tuple<const char *, QString, DataExport::Format> formats[] = {
        {"BookmarksFormatRadioBtn", QStringLiteral("ブックマーク"), DataExport::Format::Bookmarks},
        {"OpmlFormatRadioBtn", QStringLiteral("OPML"), DataExport::Format::Opml},
        {"JsonFormatRadioBtn", QStringLiteral("JSON"), DataExport::Format::Json},
    };
    for (const auto &[name, caption, format] : formats) {
        auto *button = named(new QRadioButton(caption, panel), name);
        choice->addButton(button);
        row->addWidget(button);
        m_dataFormats.emplace_back(button, format);
    }
    auto *layout = static_cast<QBoxLayout *>(ui->FormatPanel->parentWidget()->layout());
    layout->insertWidget(layout->indexOf(ui->FormatPanel) + 1, panel);

    // Bookmarks and OPML are read without the page around them, so relative addresses need the
    // site's address to lead anywhere.
    auto *site = named(new QFrame(panel->parentWidget()), "SiteAddressPanel");
    site->setStatusTip(QStringLiteral("ブックマークと OPML の相対アドレスを、このアドレスからの絶対アドレスにする"));
    auto *siteRow = new QHBoxLayout(site);
    siteRow->setContentsMargins(0, 0, 0, 0);
    siteRow->addWidget(new QLabel(QStringLiteral(" サイトのアドレス"), site));
    m_siteAddress = named(new QLineEdit(site), "SiteAddressEdit");
    m_siteAddress->setPlaceholderText(QStringLiteral("https://example.org/menu/"));
    m_siteAddress->setAttribute(Qt::WA_InputMethodEnabled, false);
    siteRow->addWidget(m_siteAddress, 1);
    layout->insertWidget(layout->indexOf(panel) + 1, site);
    site->setEnabled(false);
    // Data has none of a page's options; the formats, which share their panel, stay a choice.
    connect(choice, &QButtonGroup::buttonToggled, this, [this] {
        const std::optional<DataExport::Format> data = dataFormat();
        const QList<QWidget *> options{ui->Label1, ui->GroupMarkCmbBox, ui->Label2, ui->FontsCmbBox, ui->Label3,
                                       ui->ClassNameEdit, ui->Panel1, ui->Panel2, ui->Html5Panel, ui->Panel3,
                                       ui->Panel5};
        for (QWidget *option : options)
            option->setEnabled(!data);
        m_siteAddress->parentWidget()->setEnabled(data && DataExport::usesSiteAddress(*data));
    });
}

std::optional<DataExport::Format> ExportDialog::dataFormat() const
{
    for (const auto &[button, format] : m_dataFormats) {
        if (button->isChecked())
            return format;
    }
    return std::nullopt;
}

std::optional<QString> ExportDialog::dataFileName(DataExport::Format format, QWidget *owner) const
{
    const QFileInfo chosen(outputFileName);
    const QString suffix = DataExport::suggestedSuffix(format);
    if (chosen.suffix().compare(suffix, Qt::CaseInsensitive) == 0
        || !chosen.suffix().startsWith(QLatin1String("htm"), Qt::CaseInsensitive))
        return outputFileName;
    const QString path = chosen.path() + QLatin1Char('/') + chosen.completeBaseName() + QLatin1Char('.') + suffix;
    if (!m_prompts.mayReplace(owner, path))
        return std::nullopt;
    return path;
}

void ExportDialog::setFormat(PageFormat format)
{
    (format == PageFormat::Html5 ? ui->Html5FormatRadioBtn : ui->ClassicFormatRadioBtn)->setChecked(true);
}

void ExportDialog::setProjectFileName(const QString &fileName)
{
    ui->PageTitleEdit->setText(QFileInfo(fileName).completeBaseName());
}

void ExportDialog::showChoice(const ExportChoice &choice)
{
    const ExportSettings &page = choice.settings;
    setFormat(page.format);
    for (const auto &[button, format] : m_dataFormats)
        button->setChecked(choice.dataFormat == format);
    (page.foldingScript ? ui->JSONRadioBtn : ui->JSOFFRadioBtn)->setChecked(true);
    (page.defaultStyleSheet ? ui->DefCSSONRadioBtn : ui->DefCSSOFFRadioBtn)->setChecked(true);
    (page.softwareInfo ? ui->SoftInfoONRadioBtn : ui->SoftInfoOFFRadioBtn)->setChecked(true);
    (page.authorLink ? ui->AuthorLinkONRadioBtn : ui->AuthorLinkOFFRadioBtn)->setChecked(true);
    ui->GroupMarkCmbBox->setEditText(page.groupMark);
    ui->ClassNameEdit->setText(page.classNameEntry);
    ui->PageTitleEdit->setText(page.pageTitle);
    ui->PageLanguageEdit->setText(page.pageLanguage);
    ui->SeparateFilesChkBox->setChecked(page.separateFiles);
    m_siteAddress->setText(choice.siteAddress);
    m_chosenFont = page.fontName;
}

void ExportDialog::alignAnswers()
{
    // Where each panel's answers stand as designed: the left edges of the "on" and "off" buttons,
    // and the panel's width.
    struct Answers
    {
        QLabel *question;
        QRadioButton *on;
        QRadioButton *off;
        int onLeft;
        int offLeft;
        int width;
    };
    const Answers panels[] = {
        {ui->Panel1Caption, ui->JSONRadioBtn, ui->JSOFFRadioBtn, 189, 257, 362},
        {ui->Panel2Caption, ui->DefCSSONRadioBtn, ui->DefCSSOFFRadioBtn, 189, 257, 362},
        {ui->FormatPanelCaption, ui->ClassicFormatRadioBtn, ui->Html5FormatRadioBtn, 189, 257, 362},
        {ui->Panel3Caption, ui->SoftInfoONRadioBtn, ui->SoftInfoOFFRadioBtn, 172, 276, 345},
        {ui->Panel5Caption, ui->AuthorLinkONRadioBtn, ui->AuthorLinkOFFRadioBtn, 172, 276, 345},
    };
    for (const Answers &panel : panels) {
        // The designed columns are the least widths; text that needs more widens the row. The
        // answers keep to the right edge, so they line up with the answers of the panels above and
        // below. The gap between them is the style's, so it is known only here.
        const int gap = std::max(0, panel.question->parentWidget()->layout()->spacing());
        panel.question->setMinimumWidth(panel.onLeft - gap);
        panel.on->setMinimumWidth(panel.offLeft - panel.onLeft - gap);
        panel.off->setMinimumWidth(panel.width - panel.offLeft);
    }
}

ExportSettings ExportDialog::settings() const
{
    ExportSettings settings;
    settings.outputFileName = outputFileName;
    settings.foldingScript = ui->JSONRadioBtn->isChecked();
    settings.defaultStyleSheet = ui->DefCSSONRadioBtn->isChecked();
    settings.softwareInfo = ui->SoftInfoONRadioBtn->isChecked();
    settings.authorLink = ui->AuthorLinkONRadioBtn->isChecked();
    settings.groupMark = ui->GroupMarkCmbBox->currentText();
    settings.fontName = ui->FontsCmbBox->currentIndex() > 0 ? ui->FontsCmbBox->currentText() : QString();
    settings.classNameEntry = ui->ClassNameEdit->text();
    settings.format = ui->Html5FormatRadioBtn->isChecked() ? PageFormat::Html5 : PageFormat::Classic;
    settings.pageTitle = ui->PageTitleEdit->text();
    settings.pageLanguage = ui->PageLanguageEdit->text();
    settings.separateFiles = ui->SeparateFilesChkBox->isChecked();
    return settings;
}

QStringList ExportDialog::fontEntries(const QStringList &families)
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

int ExportDialog::defaultFontIndex(const QStringList &entries)
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (TextRules::same(entries.at(i), DefaultFont))
            return static_cast<int>(i);
    }
    return -1;
}

void ExportDialog::fillControls()
{
    const QStringList entries = fontEntries(QFontDatabase::families());
    ui->FontsCmbBox->clear();
    ui->FontsCmbBox->addItems(entries);
    if (!m_chosenFont) {
        ui->FontsCmbBox->setCurrentIndex(defaultFontIndex(entries));
        return;
    }
    // A font the page named stays its choice, even where this desktop does not have it.
    if (!m_chosenFont->isEmpty() && !entries.contains(*m_chosenFont))
        ui->FontsCmbBox->insertItem(1, *m_chosenFont);
    ui->FontsCmbBox->setCurrentIndex(std::max(0, ui->FontsCmbBox->findText(*m_chosenFont)));
}

void ExportDialog::showEvent(QShowEvent *event)
{
    // Only when the program shows it: a restore from the task bar keeps the user's choice.
    if (!event->spontaneous()) {
        fillControls();
        if (QScreen *display = screen())
            move(display->availableGeometry().center() - rect().center());
    }
    QDialog::showEvent(event);
}

bool ExportDialog::event(QEvent *event)
{
    // Hints reach the main window's status bar, like every other hint of the program.
    if (event->type() == QEvent::StatusTip && parentWidget()) {
        QCoreApplication::sendEvent(parentWidget()->window(), event);
        return true;
    }
    return QDialog::event(event);
}

bool ExportDialog::mayReplaceCompanions(const ExportChoice &chosen, QWidget *owner) const
{
    // The page's own name was confirmed in the file dialog.
    const QStringList others = WrittenFiles::othersIn(WrittenFiles::paths(chosen).mid(1));
    if (others.isEmpty())
        return true;
    QStringList names;
    for (const QString &path : others)
        names << QDir::toNativeSeparators(path);
    return m_prompts.question(owner, QStringLiteral("上書きの確認"),
                              QStringLiteral("次のファイルは既に存在します。\n%1\n置き換えますか？").arg(names.join(u'\n')));
}

void ExportDialog::acceptSettings()
{
    QWidget *owner = parentWidget() ? parentWidget() : this;
    // A failed or declined export leaves the dialog open with every choice, to change one and
    // try again or to cancel.
    runCommand(m_prompts, owner, [this, owner] {
        ExportChoice chosen{settings(), dataFormat(), m_siteAddress->text().trimmed()};
        if (chosen.dataFormat) {
            const std::optional<QString> path = dataFileName(*chosen.dataFormat, owner);
            if (!path)
                return;
            chosen.settings.outputFileName = *path;
        } else if (!mayReplaceCompanions(chosen, owner)) {
            return;
        }
        if (m_export)
            m_export(chosen);
        m_chosen = chosen;
        accept();
    });
}

void ExportDialog::showDialogHelp()
{
    runCommand(m_prompts, this, [this] { HelpViewer::showTopic(this, 15); });
}
