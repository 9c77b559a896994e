#pragma once

#include <QDialog>

// The export settings dialog.
class TExportHTML : public QDialog
{
    Q_OBJECT

public:
    explicit TExportHTML(QWidget *owner = nullptr);
    QString OutputFileName;
};
