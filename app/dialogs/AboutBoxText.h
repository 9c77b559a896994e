#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The about box's computed lines, apart from the box so that any size, version or time can be
// checked without a program file of that kind.
namespace AboutBoxText {

// The FileVersion string compiled into the program, or empty when there is none.
QString fileVersion();

// "1.1.0.2" gives "1.10": the first part, a dot, then the second and third parts run together.
QString shortVersion(const QString &fileVersion);
QString versionLine(const QString &fileVersion);

// Whole kilobytes, a half going to the even neighbour.
qint64 kilobytes(qint64 bytes);
QString sizeLine(const QLocale &locale, qint64 bytes);

// The time as a packed file date holds it: local time, seconds down to an even number.
QDateTime packedFileTime(const QDateTime &time);
// The locale's long time format without the time zone, which a file's date does not show.
QString longTimeFormat(const QLocale &locale);
QString dateLine(const QLocale &locale, const QDateTime &lastWrite);

} // namespace AboutBoxText
