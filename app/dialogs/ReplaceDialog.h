#pragma once

#include "treetools/TextReplace.h"

#include <QDialog>

class LinkTreeModel;
class Prompts;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// 編集 → 置換: one field of every node, plain text found as find finds it or a regular
// expression, with the count of nodes it would change shown before it is done as one step.
class ReplaceDialog : public QDialog
{
    Q_OBJECT

public:
    ReplaceDialog(LinkTreeModel &model, Prompts &prompts, QWidget *parent);

    ReplaceChoice choice() const;

signals:
    void statusMessage(const QString &text);

private:
    void showCount();
    void replaceAll();

    LinkTreeModel &m_model;
    Prompts &m_prompts;
    QComboBox *m_field;
    QLineEdit *m_find;
    QLineEdit *m_replacement;
    QCheckBox *m_regularExpression;
    QLabel *m_count;
    QPushButton *m_replace;
    // The count waits for a pause in typing: it reads every node.
    QTimer *m_countDelay;
};
