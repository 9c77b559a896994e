#pragma once

#include <QString>

// The two rules every user value follows: how it is trimmed, and when two values are the same.
namespace TextRules {

// Removes characters of code 32 or less from both ends; the full-width space U+3000 stays.
QString trimmed(const QString &text);

// Two user values (IDs, class names) are the same when they differ at most in letter case.
bool same(const QString &a, const QString &b);

// Drops every line break, so a pasted text cannot change the shape of a saved outline.
QString withoutLineBreaks(const QString &text);

} // namespace TextRules
