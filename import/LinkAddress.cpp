#include "import/LinkAddress.h"

#include "text/TextRules.h"

#include <QDir>

namespace LinkAddress {

namespace {

Target skipped(SkipReason reason)
{
    Target target;
    target.reason = reason;
    return target;
}

Target file(const QString &path)
{
    Target target;
    target.kind = Kind::File;
    target.path = path;
    return target;
}

} // namespace

Target classify(const QString &href, const QString &baseFolder)
{
    const QString address = TextRules::trimmed(href);
    if (address.isEmpty())
        return skipped(SkipReason::Empty);
    if (address.startsWith(QLatin1Char('#')))
        return skipped(SkipReason::FragmentOnly);
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("mailto"))
        return skipped(SkipReason::Mail);
    if (scheme == QLatin1String("javascript"))
        return skipped(SkipReason::Script);
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        Target target;
        target.kind = Kind::Web;
        target.url = url.adjusted(QUrl::RemoveFragment);
        return target;
    }
    if (scheme == QLatin1String("file"))
        return file(QDir(baseFolder).filePath(url.toLocalFile()));
    if (!scheme.isEmpty())
        return skipped(SkipReason::OtherScheme);
    // A relative address names a file as a browser would: its query and fragment are no part of
    // it, and %-escapes stand for the characters of the name.
    const QString path = QUrl::fromPercentEncoding(url.path(QUrl::FullyEncoded).toUtf8());
    return file(QDir(baseFolder).filePath(path));
}

QString reasonText(SkipReason reason)
{
    switch (reason) {
    case SkipReason::Empty:
        return QStringLiteral("アドレスなし");
    case SkipReason::FragmentOnly:
        return QStringLiteral("ページ内リンク");
    case SkipReason::Mail:
        return QStringLiteral("mailto:");
    case SkipReason::Script:
        return QStringLiteral("javascript:");
    case SkipReason::OtherScheme:
        return QStringLiteral("その他の形式");
    case SkipReason::None:
        break;
    }
    return {};
}

} // namespace LinkAddress
