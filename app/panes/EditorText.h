#pragma once

#include "tree/NodeFields.h"

#include <QEvent>
#include <QString>

class QLineEdit;

// How the link editors treat their text and keys.
namespace EditorText {

// The name of the step that writes a field: by typing, or put in whole (a rename in the tree,
// a class picked from the list).
QString stepCaption(NodeField field, bool group, bool typing);

// Sets an editor's text only when it differs, so that the cursor and the editor's own undo stay
// where the user left them.
void showText(QLineEdit *edit, const QString &text);

// The targets the target editor lists, and what each does, for the status bar.
struct TargetEntry
{
    const char16_t *name;
    const char16_t *description;
};
inline constexpr TargetEntry TargetEntries[] = {
    {u"_blank", u"_blank : 名前無しのウィンドウを新規に開いて表示"},
    {u"_self", u"_self : 自分自身のウィンドウ（フレーム）に表示"},
    {u"_top", u"_top : フレーム分割をすべて解除して表示"},
    {u"_parent", u"_parent : フレームを一段解除してその親フレームに表示"},
};

// The editor's text with any line break dropped, also from the editor itself, so that it shows
// what the node stores. A break in a node's text would split the node in a saved outline.
QString singleLineText(QLineEdit *edit);

bool isReturnKey(const QEvent *event);
bool isMouseButtonEvent(QEvent::Type type);

} // namespace EditorText
