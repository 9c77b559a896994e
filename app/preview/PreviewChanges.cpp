#include "app/preview/PreviewChanges.h"
#include "app/preview/PreviewBuild.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace PreviewChanges {

namespace {

const QLatin1String Anchor("<a"), AnchorEnd("</a>"), Heading("<summary>"), HeadingEnd("</summary>");

// One element and nothing around it: its start tag, its end tag, and no other tag of its name.
bool isOneElement(const QString &markup, QLatin1String start, QLatin1String end)
{
    return markup.startsWith(start, Qt::CaseInsensitive) && markup.endsWith(end, Qt::CaseInsensitive)
           && markup.indexOf(end.first(end.size() - 1), 0, Qt::CaseInsensitive) == markup.size() - end.size();
}

// The same page and the same files beside it, whose bytes are all frame.
bool sameFiles(const PreviewBuild::Files &a, const PreviewBuild::Files &b)
{
    if (a.pageName != b.pageName || a.pageType != b.pageType || a.files.size() != b.files.size())
        return false;
    for (auto file = a.files.cbegin(); file != a.files.cend(); ++file) {
        if (file.key() != a.pageName && b.files.value(file.key()) != file.value())
            return false;
    }
    return true;
}

bool same(const QString &a, const QString &b)
{
    return a.isSharedWith(b) || a == b;
}

} // namespace

std::optional<QString> between(const PreviewBuild::Page &shown, const PreviewBuild::Page &next)
{
    if (shown.frame.isEmpty() || shown.frame != next.frame || !sameFiles(shown.files, next.files)
        || shown.markup.size() != next.markup.size() || shown.anchorNodes != next.anchorNodes)
        return std::nullopt;
    QJsonArray changes;
    const std::vector<int> &anchors = next.anchorNodes;
    for (size_t node = 0; node < next.markup.size(); ++node) {
        const QString &markup = next.markup[node];
        if (same(shown.markup[node], markup))
            continue;
        const auto [first, end] = std::equal_range(anchors.begin(), anchors.end(), static_cast<int>(node));
        QJsonObject change{{QStringLiteral("markup"), markup}};
        if (end - first == 1 && isOneElement(shown.markup[node], Anchor, AnchorEnd) && isOneElement(markup, Anchor, AnchorEnd))
            change.insert(QStringLiteral("anchor"), static_cast<int>(first - anchors.begin()));
        else if (first == end && !next.groupIds[node].isEmpty() && isOneElement(shown.markup[node], Heading, HeadingEnd)
                 && isOneElement(markup, Heading, HeadingEnd))
            change.insert(QStringLiteral("group"), next.groupIds[node]);
        else
            return std::nullopt;
        changes.append(change);
    }
    return QString::fromUtf8(QJsonDocument(changes).toJson(QJsonDocument::Compact));
}

} // namespace PreviewChanges
