#include "treetools/TextReplace.h"

#include "find/FindText.h"
#include "text/TextRules.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QRegularExpression>

#include <algorithm>

namespace TextReplace {

namespace {

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// Whether `c` belongs to the character before it when folded: a combining mark, a half-width
// sound mark (ｶﾞ), the second half of a surrogate pair.
bool joinsPrevious(QChar c)
{
    return c.isMark() || c.isLowSurrogate() || c == u'\uff9e' || c == u'\uff9f';
}

} // namespace

QString replacedFolded(const QString &text, const QString &foldedFind, const QString &replacement)
{
    if (foldedFind.isEmpty())
        return text;
    if (isAscii(text)) {
        // ASCII folds to its lower case, letter for letter, so places need no map.
        if (!isAscii(foldedFind) || !text.contains(foldedFind, Qt::CaseInsensitive))
            return text;
        return QString(text).replace(foldedFind, replacement, Qt::CaseInsensitive);
    }
    // Each character with what joins it is folded alone, so every folded place maps back to
    // the start of a piece of the text.
    QString folded;
    std::vector<qsizetype> starts; // per folded character, where its piece starts in `text`
    qsizetype begin = 0;
    while (begin < text.size()) {
        qsizetype end = begin + 1;
        while (end < text.size() && joinsPrevious(text[end]))
            ++end;
        const QString piece = FindText::folded(text.mid(begin, end - begin));
        folded += piece;
        starts.insert(starts.end(), static_cast<size_t>(piece.size()), begin);
        begin = end;
    }
    starts.push_back(text.size());
    QString result;
    qsizetype copied = 0;
    qsizetype from = 0;
    while (true) {
        const qsizetype at = folded.indexOf(foldedFind, from);
        if (at < 0)
            break;
        const qsizetype matchEnd = at + foldedFind.size();
        // A match must begin and end on the edges of pieces.
        const bool whole = (at == 0 || starts[static_cast<size_t>(at - 1)] != starts[static_cast<size_t>(at)])
            && starts[static_cast<size_t>(matchEnd - 1)] != starts[static_cast<size_t>(matchEnd)];
        if (!whole) {
            from = at + 1;
            continue;
        }
        const qsizetype textBegin = starts[static_cast<size_t>(at)];
        result += QStringView(text).mid(copied, textBegin - copied);
        result += replacement;
        copied = starts[static_cast<size_t>(matchEnd)];
        from = matchEnd;
    }
    if (copied == 0 && result.isEmpty())
        return text;
    result += QStringView(text).mid(copied);
    return result;
}

std::vector<Change> changes(const LinkTree &tree, const ReplaceChoice &choice)
{
    if (choice.find.isEmpty())
        throw VormikError(QStringLiteral("検索する文字列を入力してください"));
    QRegularExpression pattern;
    QString foldedFind;
    if (choice.regularExpression) {
        pattern.setPattern(choice.find);
        if (!pattern.isValid())
            throw VormikError(QStringLiteral("正規表現が正しくありません：%1（%2 文字目）")
                                  .arg(pattern.errorString())
                                  .arg(pattern.patternErrorOffset() + 1));
        pattern.optimize();
    } else {
        foldedFind = FindText::folded(choice.find);
    }
    const bool name = choice.field == NodeField::Text;
    std::vector<Change> result;
    for (LinkNode *node : tree.nodes()) {
        if (!name && node->isGroup())
            continue;
        const QString &value = fieldValue(*node, choice.field);
        if (value.isEmpty())
            continue;
        QString replaced = choice.regularExpression ? QString(value).replace(pattern, choice.replacement)
                                                    : replacedFolded(value, foldedFind, choice.replacement);
        if (replaced == value)
            continue;
        if (name && (replaced.contains(u'\n') || replaced.contains(u'\r')
                     || (node->isGroup() && TextRules::trimmed(replaced).isEmpty())))
            continue;
        result.push_back({node, std::move(replaced)});
    }
    return result;
}

} // namespace TextReplace
