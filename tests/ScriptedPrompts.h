#pragma once

#include "app/dialogs/Prompts.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QWidget>

#include <optional>

// Answers the window's questions from queues and records what was asked, so no test ever
// blocks on a real dialog. An unexpected question fails loudly through `unexpected`.
class ScriptedPrompts : public Prompts
{
public:
    struct Shown
    {
        Icon icon;
        QString caption;
        QString text;
    };
    struct Asked
    {
        QString caption;
        QString prompt;
        int maxLength;
    };

    QQueue<std::optional<QString>> textAnswers;
    QQueue<std::optional<QString>> fileAnswers;
    QQueue<bool> questionAnswers;
    QQueue<SaveChoice> saveAnswers;
    QList<Shown> questions;
    QList<Shown> messages;
    QList<Asked> asked;
    QList<FileDialog> fileDialogs;
    int unexpected = 0;

    std::optional<QString> askText(QWidget *, const QString &caption, const QString &prompt, int maxLength) override
    {
        asked.append({caption, prompt, maxLength});
        if (textAnswers.isEmpty()) {
            ++unexpected;
            return std::nullopt;
        }
        return textAnswers.dequeue();
    }
    std::optional<QString> openFileName(QWidget *, const FileDialog &dialog) override { return file(dialog); }
    std::optional<QString> saveFileDialog(QWidget *, const FileDialog &dialog) override { return file(dialog); }
    void message(QWidget *, Icon icon, const QString &caption, const QString &text) override
    {
        messages.append({icon, caption, text});
    }
    bool question(QWidget *, const QString &caption, const QString &text) override
    {
        questions.append({Icon::Warning, caption, text});
        if (questionAnswers.isEmpty()) {
            ++unexpected;
            return false;
        }
        return questionAnswers.dequeue();
    }

    SaveChoice askSaveChanges(QWidget *, const QString &text) override
    {
        questions.append({Icon::Warning, QString(), text});
        if (saveAnswers.isEmpty()) {
            ++unexpected;
            return SaveChoice::Cancel;
        }
        return saveAnswers.dequeue();
    }

private:
    std::optional<QString> file(const FileDialog &dialog)
    {
        fileDialogs.append(dialog);
        if (fileAnswers.isEmpty()) {
            ++unexpected;
            return std::nullopt;
        }
        return fileAnswers.dequeue();
    }
};
