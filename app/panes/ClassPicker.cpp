#include "app/panes/ClassPicker.h"

#include "app/window/Named.h"
#include "app/panes/PopupPanel.h"
#include "text/TextRules.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

ClassPicker::ClassPicker(const QFont &font, QObject *parent) : QObject(parent)
{
    // Designed on the window, shown only when popped up.
    PopupPanel1 = named(new PopupPanel(), "PopupPanel1");
    PopupPanel1->resize(117, 117);
    PopupPanel1->setFont(font);
    auto *pickerLayout = new QVBoxLayout(PopupPanel1);
    pickerLayout->setContentsMargins(1, 1, 1, 1);
    pickerLayout->setSpacing(0);
    ClassListBox = named(new QListWidget(PopupPanel1), "ClassListBox");
    QFont listFont = ClassListBox->font();
    listFont.setPixelSize(13);
    ClassListBox->setFont(listFont);
    pickerLayout->addWidget(ClassListBox, 1);
    auto *strip = named(new QWidget(PopupPanel1), "Panel1");
    strip->setFixedHeight(20);
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    ClassOKBtn = named(new QPushButton(QStringLiteral("OK"), strip), "ClassOKBtn");
    ClassOKBtn->setDefault(true);
    ClassOKBtn->setAutoDefault(true);
    stripLayout->addWidget(ClassOKBtn);
    pickerLayout->addWidget(strip);
    connect(ClassOKBtn, &QPushButton::clicked, this, &ClassPicker::acceptClass);
}

ClassPicker::~ClassPicker()
{
    // A top-level panel while closed; it goes with its owner.
    delete PopupPanel1;
}

void ClassPicker::popUpOver(QWidget *button, const QStringList &classes)
{
    // The OK button takes the whole strip at the panel's bottom.
    ClassOKBtn->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    ClassOKBtn->setMinimumHeight(0);

    ClassListBox->clear();
    for (const QString &value : classes) {
        // Set up before it joins the list, so the list hears of each item once.
        auto *item = new QListWidgetItem(value);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        ClassListBox->addItem(item);
    }

    // The panel covers the button and rises above it: left edges aligned, its bottom edge one
    // pixel above the button's.
    const QPoint buttonTopLeft = button->mapToGlobal(QPoint(0, 0));
    PopupPanel1->popUpAt(buttonTopLeft.x(), buttonTopLeft.y() + button->height() - PopupPanel1->height() - 1);
}

void ClassPicker::acceptClass()
{
    QString chosen;
    for (int i = 0; i < ClassListBox->count(); ++i) {
        const QListWidgetItem *item = ClassListBox->item(i);
        if (item->checkState() == Qt::Checked)
            chosen += item->text() + QLatin1Char(' ');
    }
    emit picked(TextRules::trimmed(chosen));
    PopupPanel1->closePopup(ClassOKBtn);
}
