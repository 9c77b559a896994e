#include "text/TextRules.h"

namespace TextRules {

QString trimmed(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

bool same(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

QString withoutLineBreaks(const QString &text)
{
    return QString(text).remove(u'\r').remove(u'\n');
}

QString groupName(const QString &typed)
{
    return trimmed(withoutLineBreaks(typed));
}

} // namespace TextRules
