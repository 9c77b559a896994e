#pragma once

#include "html/ExportChoice.h"

#include <QDialog>
#include <QStyledItemDelegate>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Prompts;
class QLineEdit;
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

namespace Ui {
class ExportDialog;
}

// The export settings dialog: the user's choice of how the tree is written to outputFileName.
// It writes nothing itself: OK hands the choice to the export it is given, and closes once that
// has written it. It lives for one command and starts from its defaults, or from the last
// export's choice when it is given one. Its layout is the form ExportDialog.ui; its controls
// are found by their object names.
class ExportDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ExportDialog(Prompts &prompts, QWidget *owner = nullptr);
    ~ExportDialog() override;

    QString outputFileName;

    // Writes what the user chose; a failure it throws is shown and leaves the dialog open.
    using Export = std::function<void(const ExportChoice &choice)>;
    void setExport(Export exportChoice) { m_export = std::move(exportChoice); }

    // The settings as the controls stand now.
    ExportSettings settings() const;
    // Selects the page format; the classic page is selected until this is called.
    void setFormat(PageFormat format);
    // The tree as data instead of a page: bookmarks, OPML or JSON; nothing while a page is chosen.
    std::optional<DataExport::Format> dataFormat() const;
    // The HTML5 page's title starts as the project file's name, without folder and extension.
    void setProjectFileName(const QString &fileName);
    // Shows the options of an earlier export (all but the file name, which is outputFileName).
    void showChoice(const ExportChoice &choice);
    // The choice OK exported, the file's name included; nothing before OK or when the export
    // failed.
    const std::optional<ExportChoice> &chosen() const { return m_chosen; }

    // The font entries for the given installed families: an empty entry first, then each family's
    // name once, in the given order.
    static QStringList fontEntries(const QStringList &families);
    // The entry to select at first: "ＭＳ ゴシック" in any letter case, or -1.
    static int defaultFontIndex(const QStringList &entries);

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private slots:
    // Exports the choice and closes once it is written.
    void acceptSettings();
    void showDialogHelp();

private:
    void fillControls();
    void alignAnswers();
    // The choice of writing the tree as data, below the page formats; the page's own options
    // stand aside while it is taken.
    void addDataFormats();
    // The file data is written to: a page's name takes the data's suffix, asking before it
    // replaces a file; nothing when the user declines.
    std::optional<QString> dataFileName(DataExport::Format format, QWidget *owner) const;
    // Whether the page's style sheet and script may replace the files of those names: yes for
    // files this program wrote, and for others once the user agrees, asked once for all of them.
    bool mayReplaceCompanions(const ExportChoice &chosen, QWidget *owner) const;

    std::unique_ptr<Ui::ExportDialog> ui;
    Export m_export;
    std::optional<ExportChoice> m_chosen;
    // The font a shown choice names, selected once the list of fonts is filled.
    std::optional<QString> m_chosenFont;
    std::vector<std::pair<QRadioButton *, DataExport::Format>> m_dataFormats;
    QLineEdit *m_siteAddress = nullptr; // SiteAddressEdit, for bookmarks and OPML
    Prompts &m_prompts;
};
