#include "app/dialogs/Prompts.h"

#include "text/VormikError.h"

#include <QDir>
#include <QFileInfo>

std::optional<QString> Prompts::saveFileName(QWidget *owner, FileDialog dialog)
{
    for (;;) {
        const std::optional<QString> chosen = saveFileDialog(owner, dialog);
        if (!chosen || !dialog.confirmOverwrite || mayReplace(owner, *chosen))
            return chosen;
        dialog.fileName = *chosen;
    }
}

bool Prompts::mayReplace(QWidget *owner, const QString &path)
{
    return !QFileInfo::exists(path)
        || question(owner, QStringLiteral("上書きの確認"),
                    QStringLiteral("%1 は既に存在します。\n置き換えますか？").arg(QDir::toNativeSeparators(path)));
}

void Prompts::error(QWidget *owner, const QString &text)
{
    message(owner, Icon::Critical, QStringLiteral("Vormik"), shownErrorMessage(text));
}

