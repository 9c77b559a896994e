#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Windows-31J (iconv's CP932): the one 8-bit mapping of every file Vormik reads or writes.
namespace Cp932 {

// Every character CP932 cannot hold becomes a decimal character reference "&#N;". So do the yen
// sign and the overline: iconv would write them as the ASCII backslash and tilde, which read back
// as those other characters.
QByteArray encode(const QString &text);
// The same for text that is already UTF-8, as libxml2 writes it.
QByteArray encodeUtf8(QByteArrayView utf8);

// True when encode writes the code point as CP932 bytes, false when it writes a character
// reference instead (a character CP932 lacks, the yen sign, the overline).
bool holds(char32_t codePoint);

// Decodes CP932 bytes; returns false in *ok (when given) for a byte sequence CP932 does not define.
QString decode(const QByteArray &bytes, bool *ok = nullptr);

} // namespace Cp932
