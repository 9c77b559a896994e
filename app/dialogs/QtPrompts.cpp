#include "app/dialogs/QtPrompts.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

std::optional<QString> QtPrompts::askText(QWidget *owner, const QString &caption, const QString &prompt,
                                          int maxLength)
{
    QDialog dialog(owner);
    dialog.setWindowTitle(caption);
    auto *label = new QLabel(prompt, &dialog);
    auto *edit = new QLineEdit(&dialog);
    edit->setMaxLength(maxLength);
    auto *buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(edit);
    layout->addWidget(buttons);
    dialog.setMinimumWidth(320);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return edit->text();
}

QStringList QtPrompts::qtNameFilters(const QString &filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts.at(i);
        label.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)\\s*$")));
        const QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        result << QStringLiteral("%1 (%2)").arg(label, patterns.join(QLatin1Char(' ')));
    }
    return result;
}

void QtPrompts::setUpFileDialog(QFileDialog &dialog, const FileDialog &options)
{
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(QtPrompts::qtNameFilters(options.filter));
    dialog.setDefaultSuffix(options.defaultSuffix);
    // Replacing is asked about by the caller, for the name the dialog finally returns.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    else if (!options.folder.isEmpty())
        dialog.setDirectory(options.folder);
}

namespace {
std::optional<QString> runFileDialog(QWidget *owner, const Prompts::FileDialog &options, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(mode);
    QtPrompts::setUpFileDialog(dialog, options);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}
} // namespace

std::optional<QString> QtPrompts::openFileName(QWidget *owner, const FileDialog &dialog)
{
    // The command itself checks that the file exists, so a missing name is let through.
    return runFileDialog(owner, dialog, QFileDialog::AcceptOpen);
}

std::optional<QString> QtPrompts::saveFileDialog(QWidget *owner, const FileDialog &dialog)
{
    return runFileDialog(owner, dialog, QFileDialog::AcceptSave);
}

void QtPrompts::message(QWidget *owner, Icon icon, const QString &caption, const QString &text)
{
    const QMessageBox::Icon boxIcon = icon == Icon::Information ? QMessageBox::Information
                                      : icon == Icon::Warning   ? QMessageBox::Warning
                                                                : QMessageBox::Critical;
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

bool QtPrompts::question(QWidget *owner, const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Yes | QMessageBox::No, owner);
    // Replacing a file is the answer that loses something, so it is never the default.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

Prompts::SaveChoice QtPrompts::askSaveChanges(QWidget *owner, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("ヴォルミク"), text, QMessageBox::NoButton, owner);
    QPushButton *save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QStringLiteral("保存しない"), QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChoice::Save;
    return box.clickedButton() == discard ? SaveChoice::Discard : SaveChoice::Cancel;
}
