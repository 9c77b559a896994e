#pragma once

#include <QObject>
#include <QStringList>

class QFont;
class QListWidget;
class QPushButton;
class QWidget;
class PopupPanel;

// The class picker: a check list of the classes in use that pops up over its button in a
// window of its own; OK hands over the checked classes.
class ClassPicker : public QObject
{
    Q_OBJECT

public:
    ClassPicker(const QFont &font, QObject *parent);
    ~ClassPicker() override;

    // Shows `classes`, none checked, covering `button` and rising above it.
    void popUpOver(QWidget *button, const QStringList &classes);

signals:
    // The checked classes, space-separated and trimmed.
    void picked(const QString &classes);

private:
    void acceptClass();

    PopupPanel *PopupPanel1;
    QListWidget *ClassListBox;
    QPushButton *ClassOKBtn;
};
