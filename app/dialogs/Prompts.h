#pragma once

#include <QString>

#include <optional>

class QWidget;

// Every modal question the program asks goes through here, so that tests can answer them.
class Prompts
{
public:
    enum class Icon { Information, Warning, Critical };

    struct FileDialog
    {
        // The filter as the program writes it: "label|patterns;" pairs, patterns separated by ';'.
        QString filter;
        QString defaultSuffix;
        QString fileName;
        // Where the dialog starts when no file name is proposed.
        QString folder;
        bool confirmOverwrite = false;
    };

    virtual ~Prompts() = default;

    // A one-line input box with OK and Cancel; nothing when cancelled.
    virtual std::optional<QString> askText(QWidget *owner, const QString &caption, const QString &prompt,
                                           int maxLength) = 0;
    virtual std::optional<QString> openFileName(QWidget *owner, const FileDialog &dialog) = 0;
    // The save dialog alone; it never asks about replacing a file itself.
    virtual std::optional<QString> saveFileDialog(QWidget *owner, const FileDialog &dialog) = 0;
    // A modal box with one OK button.
    virtual void message(QWidget *owner, Icon icon, const QString &caption, const QString &text) = 0;
    // A modal question with Yes and No; true for Yes.
    virtual bool question(QWidget *owner, const QString &caption, const QString &text) = 0;
    // Whether to save work that would otherwise be lost: 保存, 保存しない or キャンセル.
    enum class SaveChoice { Save, Discard, Cancel };
    virtual SaveChoice askSaveChanges(QWidget *owner, const QString &text) = 0;

    void warning(QWidget *owner, const QString &text) { message(owner, Icon::Warning, QStringLiteral("警告"), text); }
    void information(QWidget *owner, const QString &text)
    {
        message(owner, Icon::Information, QStringLiteral("情報"), text);
    }
    // The save dialog, and with confirmOverwrite a yes to replacing the very file it names:
    // a platform dialog may add the extension after its own check, so only the final name
    // is asked about. A no shows the dialog again with that name.
    std::optional<QString> saveFileName(QWidget *owner, FileDialog dialog);
    // True when no file `path` exists, or the user agrees to replace it.
    bool mayReplace(QWidget *owner, const QString &path);

    // The application's error box.
    void error(QWidget *owner, const QString &text);
};
