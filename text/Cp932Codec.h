#pragma once

#include <QByteArray>
#include <QString>

// Windows-31J (iconv's CP932): the one 8-bit mapping of every file Vormik reads or writes.
namespace Cp932 {

// Every character CP932 cannot hold becomes a decimal character reference "&#N;".
QByteArray encode(const QString &text);

// Decodes CP932 bytes; returns false in *ok (when given) for a byte sequence CP932 does not define.
QString decode(const QByteArray &bytes, bool *ok = nullptr);

} // namespace Cp932
