#include "app/dialogs/AboutBoxText.h"

#include "text/TextRules.h"

#include <QFile>

namespace AboutBoxText {

namespace {
const QString unknown = QStringLiteral("unknown");
}

QString fileVersion()
{
    QFile resource(QStringLiteral(":/StringFileInfo/041103A4/FileVersion"));
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    return TextRules::trimmed(QString::fromLatin1(resource.readAll()));
}

QString shortVersion(const QString &fileVersion)
{
    // A version of fewer than three parts shows the parts it has.
    const QStringList parts = fileVersion.split(QLatin1Char('.'));
    QString result = parts.value(0);
    if (parts.size() > 1)
        result += QLatin1Char('.') + parts.at(1) + parts.value(2);
    return result;
}

QString versionLine(const QString &fileVersion)
{
    if (fileVersion.isEmpty())
        return QStringLiteral("Version    ") + unknown;
    return QStringLiteral("Version    ") + shortVersion(fileVersion) + QStringLiteral("  [ ") + fileVersion
        + QStringLiteral(" ]");
}

qint64 kilobytes(qint64 bytes)
{
    qint64 whole = bytes / 1024;
    const qint64 rest = bytes % 1024;
    if (rest > 512 || (rest == 512 && whole % 2 == 1))
        ++whole;
    return whole;
}

QString sizeLine(const QLocale &locale, qint64 bytes)
{
    return QStringLiteral("FileSize    ") + QString::number(kilobytes(bytes)) + QStringLiteral(" KB  (")
        + locale.toString(bytes) + QStringLiteral(" Byte)");
}

QDateTime packedFileTime(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    const QTime clock = local.time();
    return QDateTime(local.date(), QTime(clock.hour(), clock.minute(), clock.second() - clock.second() % 2));
}

QString longTimeFormat(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == QLatin1Char('t'))
            continue;
        result += c;
    }
    return TextRules::trimmed(result);
}

QString dateLine(const QLocale &locale, const QDateTime &lastWrite)
{
    const QString head = QStringLiteral("UpDate    ");
    if (!lastWrite.isValid())
        return head + unknown;
    const QDateTime packed = packedFileTime(lastWrite);
    QString text = head + locale.toString(packed.date(), QLocale::ShortFormat);
    // Midnight shows the date alone.
    if (packed.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(packed.time(), longTimeFormat(locale));
    return text;
}

} // namespace AboutBoxText
