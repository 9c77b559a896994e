#include "linkcheck/LinkAddress.h"

#include "text/TextRules.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

namespace LinkAddress {

namespace {

// Browsers read `\` as `/` before the query in addresses of the web and of files, and in
// relative ones, whose base is one of those.
QString withSlashes(QString address)
{
    static const QRegularExpression schemePattern(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*):"));
    const QRegularExpressionMatch scheme = schemePattern.match(address);
    static const QStringList special{QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file")};
    if (scheme.hasMatch() && !special.contains(scheme.captured(1).toLower()))
        return address;
    qsizetype end = address.indexOf(QRegularExpression(QStringLiteral("[?#]")));
    if (end < 0)
        end = address.size();
    std::replace(address.begin(), address.begin() + end, u'\\', u'/');
    return address;
}

} // namespace

Target classify(const QString &href, const QString &baseFolder, const QString &rootFolder)
{
    QString address = withSlashes(TextRules::trimmed(href));
    // A protocol-relative address takes the scheme of the page, which is https: on today's web.
    if (address.startsWith(QLatin1String("//")))
        address.prepend(QLatin1String("https:"));
    if (address.isEmpty())
        return {.reason = SkipReason::Empty};
    if (address.startsWith(QLatin1Char('#')))
        return {.reason = SkipReason::FragmentOnly};
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("mailto"))
        return {.reason = SkipReason::Mail};
    if (scheme == QLatin1String("javascript"))
        return {.reason = SkipReason::Script};
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return {.kind = Kind::Web, .url = url.adjusted(QUrl::RemoveFragment)};
    if (scheme == QLatin1String("file"))
        return {.kind = Kind::File, .path = QDir(baseFolder).filePath(url.toLocalFile())};
    if (!scheme.isEmpty())
        return {.reason = SkipReason::OtherScheme};
    // A relative address names a file as a browser would: its query and fragment are no part of
    // it, and %-escapes stand for the characters of the name.
    const QString path = QUrl::fromPercentEncoding(url.path(QUrl::FullyEncoded).toUtf8());
    // A root-relative address is under the site's root, and `..` does not climb above it.
    if (path.startsWith(QLatin1Char('/'))) {
        QStringList kept;
        for (const QString &segment : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
            if (segment == QLatin1String(".."))
                kept.erase(kept.end() - std::min<qsizetype>(1, kept.size()), kept.end());
            else if (segment != QLatin1String("."))
                kept << segment;
        }
        const QDir root(rootFolder.isEmpty() ? baseFolder : rootFolder);
        return {.kind = Kind::File, .path = root.filePath(kept.join(QLatin1Char('/')))};
    }
    return {.kind = Kind::File, .path = QDir(baseFolder).filePath(path)};
}

} // namespace LinkAddress
