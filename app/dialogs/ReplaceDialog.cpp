#include "app/dialogs/ReplaceDialog.h"

#include "app/editing/LinkTreeModel.h"
#include "app/dialogs/Prompts.h"
#include "app/editing/TreeTools.h"
#include "app/window/Named.h"
#include "text/VormikError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int CountDelayMs = 200;
} // namespace

ReplaceDialog::ReplaceDialog(LinkTreeModel &model, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_model(model), m_prompts(prompts), m_field(named(new QComboBox(this), "ReplaceFieldCombo1")),
      m_find(named(new QLineEdit(this), "ReplaceFindEdit1")),
      m_replacement(named(new QLineEdit(this), "ReplaceWithEdit1")),
      m_regularExpression(named(new QCheckBox(QStringLiteral("正規表現(&E)"), this), "ReplaceRegexCheck1")),
      m_count(named(new QLabel(this), "ReplaceCountLabel1")),
      m_replace(named(new QPushButton(QStringLiteral("すべて置換(&A)"), this), "ReplaceAllBtn1")),
      m_countDelay(new QTimer(this))
{
    setObjectName(QStringLiteral("ReplaceDialog"));
    setWindowTitle(QStringLiteral("置換"));
    const std::pair<QString, NodeField> fields[] = {
        {QStringLiteral("名前"), NodeField::Text},     {QStringLiteral("リンク先"), NodeField::Href},
        {QStringLiteral("ターゲット"), NodeField::Target}, {QStringLiteral("クラス"), NodeField::Class},
        {QStringLiteral("ID"), NodeField::ObjID},
    };
    for (const auto &[caption, field] : fields)
        m_field->addItem(caption, QVariant::fromValue(static_cast<int>(field)));
    m_field->setCurrentIndex(1);
    m_regularExpression->setToolTip(QStringLiteral("\\1 などで括弧の中身を置換後に使えます"));

    auto *form = new QFormLayout;
    const auto addRow = [form](const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(QStringLiteral("対象(&T):"), m_field);
    addRow(QStringLiteral("検索する文字列(&N):"), m_find);
    addRow(QStringLiteral("置換後の文字列(&P):"), m_replacement);
    form->addRow(QString(), m_regularExpression);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_replace, QDialogButtonBox::ApplyRole);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_count);
    layout->addWidget(buttons);
    setMinimumWidth(420);

    m_countDelay->setSingleShot(true);
    m_countDelay->setInterval(CountDelayMs);
    connect(m_countDelay, &QTimer::timeout, this, &ReplaceDialog::showCount);
    const auto later = [this] { m_countDelay->start(); };
    connect(m_find, &QLineEdit::textChanged, this, later);
    connect(m_regularExpression, &QCheckBox::toggled, this, later);
    connect(m_field, &QComboBox::currentIndexChanged, this, later);
    connect(&m_model, &QAbstractItemModel::dataChanged, this, later);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, later);
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, later);
    connect(&m_model, &QAbstractItemModel::modelReset, this, later);
    connect(m_replace, &QPushButton::clicked, this, &ReplaceDialog::replaceAll);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showCount();
}

ReplaceChoice ReplaceDialog::choice() const
{
    return {static_cast<NodeField>(m_field->currentData().toInt()), m_find->text(), m_replacement->text(),
            m_regularExpression->isChecked()};
}

void ReplaceDialog::showCount()
{
    m_countDelay->stop();
    if (m_find->text().isEmpty()) {
        m_count->setText(QStringLiteral("検索する文字列を入力してください"));
        m_replace->setEnabled(false);
        return;
    }
    try {
        const int count = static_cast<int>(TextReplace::changes(m_model.tree(), choice()).size());
        m_count->setText(TreeTools::replaceCountText(count));
        m_replace->setEnabled(count > 0);
    } catch (const VormikError &error) {
        m_count->setText(error.message());
        m_replace->setEnabled(false);
    }
}

void ReplaceDialog::replaceAll()
{
    try {
        const int count = TreeTools::replace(m_model, choice());
        emit statusMessage(QStringLiteral("%1 件を置換しました").arg(count));
    } catch (const VormikError &error) {
        m_prompts.error(this, error.message());
    }
    showCount();
}
