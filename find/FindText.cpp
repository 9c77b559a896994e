#include "find/FindText.h"

#include <algorithm>

namespace FindText {

namespace {
// ぁ..ゖ and ゝゞ sit 0x60 below their katakana.
constexpr char16_t HiraganaFirst = 0x3041;
constexpr char16_t HiraganaLast = 0x3096;
constexpr char16_t IterationMarkFirst = 0x309D;
constexpr char16_t IterationMarkLast = 0x309E;
constexpr char16_t KatakanaOffset = 0x60;
} // namespace

QString folded(const QString &text)
{
    // Most addresses, classes and IDs are ASCII, which has no other form but its case.
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        return text.toCaseFolded();
    QString result = text.normalized(QString::NormalizationForm_KC);
    for (QChar &c : result) {
        const char16_t u = c.unicode();
        if ((u >= HiraganaFirst && u <= HiraganaLast) || (u >= IterationMarkFirst && u <= IterationMarkLast))
            c = QChar(char16_t(u + KatakanaOffset));
    }
    return result.toCaseFolded();
}

} // namespace FindText
