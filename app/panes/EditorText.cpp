#include "app/panes/EditorText.h"

#include "text/TextRules.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace EditorText {

QString stepCaption(NodeField field, bool group, bool typing)
{
    switch (field) {
    case NodeField::Text:
        if (group)
            return QStringLiteral("グループ名の変更");
        return typing ? QStringLiteral("リンクテキストの入力") : QStringLiteral("リンクテキストの変更");
    case NodeField::Href:
        return QStringLiteral("リンク先の入力");
    case NodeField::Target:
        return QStringLiteral("ターゲットの入力");
    case NodeField::ObjID:
        return QStringLiteral("IDの入力");
    case NodeField::Class:
        return typing ? QStringLiteral("クラスの入力") : QStringLiteral("クラスの選択");
    case NodeField::Group:
        break;
    }
    Q_UNREACHABLE();
}

void showText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

QString singleLineText(QLineEdit *edit)
{
    const QString text = edit->text();
    const QString single = TextRules::withoutLineBreaks(text);
    if (single != text) {
        const int cursor = int(TextRules::withoutLineBreaks(text.left(edit->cursorPosition())).size());
        edit->setText(single);
        edit->setCursorPosition(cursor);
    }
    return single;
}

bool isReturnKey(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isMouseButtonEvent(QEvent::Type type)
{
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease
           || type == QEvent::MouseButtonDblClick;
}

} // namespace EditorText
