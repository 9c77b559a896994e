#pragma once

#include <QString>

// How find compares texts: a Japanese user does not think of letter case, full- and half-width
// forms (half-width katakana included) or hiragana against katakana, so none of them matters.
namespace FindText {

// `text` in the one form those differences vanish in: compatibility forms composed (ｶﾞ → ガ,
// Ａ → A), hiragana as katakana, case folded.
QString folded(const QString &text);

} // namespace FindText
