#include "app/dialogs/Prompts.h"

#include "text/VormikError.h"

#include <QDir>
#include <QFileInfo>

std::optional<QString> Prompts::saveFileName(QWidget *owner, FileDialog dialog)
{
    for (;;) {
        const std::optional<QString> chosen = saveFileDialog(owner, dialog);
        if (!chosen || !dialog.confirmOverwrite || !QFileInfo::exists(*chosen))
            return chosen;
        if (question(owner, QStringLiteral("上書きの確認"),
                     QStringLiteral("%1 は既に存在します。\n置き換えますか？").arg(QDir::toNativeSeparators(*chosen))))
            return chosen;
        dialog.fileName = *chosen;
    }
}

void Prompts::error(QWidget *owner, const QString &text)
{
    message(owner, Icon::Critical, QStringLiteral("Vormik"), shownErrorMessage(text));
}

