#pragma once

#include "app/dialogs/Prompts.h"

#include <QStringList>

class QFileDialog;

// The real dialogs.
class QtPrompts : public Prompts
{
public:
    std::optional<QString> askText(QWidget *owner, const QString &caption, const QString &prompt,
                                   int maxLength) override;
    std::optional<QString> openFileName(QWidget *owner, const FileDialog &dialog) override;
    std::optional<QString> saveFileDialog(QWidget *owner, const FileDialog &dialog) override;
    void message(QWidget *owner, Icon icon, const QString &caption, const QString &text) override;
    bool question(QWidget *owner, const QString &caption, const QString &text) override;
    SaveChoice askSaveChanges(QWidget *owner, const QString &text) override;

    // "label (*.a;*.b)|*.a;*.b;" as Qt's file dialog wants it: "label (*.a *.b)".
    static QStringList qtNameFilters(const QString &filter);
    // Gives a Qt file dialog the options a command asks for.
    static void setUpFileDialog(QFileDialog &dialog, const FileDialog &options);
};
