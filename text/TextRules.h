#pragma once

#include <QString>

// The two rules every user value follows: how it is trimmed, and when two values are the same.
namespace TextRules {

// Removes characters of code 32 or less from both ends; the full-width space U+3000 stays.
QString trimmed(const QString &text);

// Two user values (IDs, class names) are the same when they differ at most in letter case.
bool same(const QString &a, const QString &b);

// Both files end every line with CR LF.
inline const QString LineEnd = QStringLiteral("\r\n");
// The full-width space (Shift_JIS 81 40): kept by trimming, and the stand-in for an empty text
// and an empty tree-line cell.
inline constexpr QChar FullWidthSpace(0x3000);

// Drops every line break, so a pasted text cannot change the shape of a saved outline.
QString withoutLineBreaks(const QString &text);

// A group's name as typed into the name prompt or in place: on one line, trimmed. Blank means
// no name, which the callers refuse.
QString groupName(const QString &typed);

} // namespace TextRules
