#include "import/TextDecoding.h"

#include <QByteArrayList>
#include <QByteArrayView>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iconv.h>

namespace TextDecoding {

namespace {

const QByteArray Replacement = "\xEF\xBF\xBD"; // U+FFFD

void noteReplacement(Decoded &decoded, qsizetype newlinesBefore)
{
    if (decoded.replaced++ == 0)
        decoded.firstLine = static_cast<int>(newlinesBefore) + 1;
}

// The length of the valid UTF-8 character at `at`, or minus the length of the longest start of
// one found there (at least 1): what a browser replaces by one U+FFFD.
qsizetype utf8Length(const unsigned char *at, qsizetype left)
{
    const unsigned char lead = at[0];
    if (lead < 0x80)
        return 1;
    int trail;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing past U+10FFFF
    } else {
        return -1;
    }
    qsizetype length = 1;
    for (; length <= trail && length < left; ++length) {
        if (at[length] < low || at[length] > high)
            return -length;
        low = 0x80;
        high = 0xBF;
    }
    return length > trail ? length : -length;
}

Decoded fromUtf8(const QByteArray &bytes, qsizetype start)
{
    Decoded decoded;
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype copied = start; // bytes before this are in decoded.utf8 already
    for (qsizetype at = start; at < size;) {
        const qsizetype length = utf8Length(data + at, size - at);
        if (length > 0) {
            at += length;
            continue;
        }
        if (decoded.replaced == 0)
            decoded.utf8.reserve(size - start + 64);
        decoded.utf8.append(bytes.constData() + copied, at - copied);
        noteReplacement(decoded, decoded.utf8.count('\n'));
        decoded.utf8 += Replacement;
        at -= length;
        copied = at;
    }
    if (decoded.replaced == 0) // the common case: the bytes as they are, shared, not copied
        decoded.utf8 = start == 0 ? bytes : bytes.sliced(start);
    else
        decoded.utf8.append(bytes.constData() + copied, size - copied);
    return decoded;
}

// Converts with iconv; a sequence it cannot read becomes U+FFFD and it goes on one code unit on.
Decoded withIconv(const QByteArray &bytes, qsizetype start, const char *encoding, qsizetype unit)
{
    Decoded decoded;
    const iconv_t cd = iconv_open("UTF-8", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return fromUtf8(bytes, start);
    QByteArray &out = decoded.utf8;
    out.resize((bytes.size() - start) * 3 / 2 + 64);
    char *in = const_cast<char *>(bytes.constData()) + start;
    size_t inLeft = static_cast<size_t>(bytes.size() - start);
    qsizetype written = 0;
    qsizetype newlines = 0; // in out[0, counted)
    qsizetype counted = 0;
    while (inLeft > 0) {
        if (out.size() - written < 64)
            out.resize(out.size() * 3 / 2);
        char *to = out.data() + written;
        size_t outLeft = static_cast<size_t>(out.size() - written);
        const size_t rc = iconv(cd, &in, &inLeft, &to, &outLeft);
        written = to - out.constData();
        if (rc != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        newlines += QByteArrayView(out.constData() + counted, written - counted).count('\n');
        counted = written;
        noteReplacement(decoded, newlines);
        if (out.size() - written < Replacement.size())
            out.resize(out.size() + 64);
        std::copy(Replacement.begin(), Replacement.end(), out.begin() + written);
        written += Replacement.size();
        const size_t skip = std::min<size_t>(static_cast<size_t>(unit), inLeft);
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    out.truncate(written);
    out.squeeze();
    return decoded;
}

// The encoding a charset or encoding declaration names within the first KB (where browsers look
// for it), as iconv knows it; empty for UTF-8 or none.
QByteArray declaredEncoding(const QByteArray &bytes)
{
    const QByteArray head = bytes.first(std::min<qsizetype>(bytes.size(), 1024)).toLower();
    for (const char *key : {"charset=", "encoding="}) {
        qsizetype at = head.indexOf(key);
        if (at < 0)
            continue;
        at += qstrlen(key);
        while (at < head.size() && (head.at(at) == '"' || head.at(at) == '\'' || head.at(at) == ' '))
            ++at;
        qsizetype end = at;
        const auto inLabel = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'; };
        while (end < head.size() && inLabel(head.at(end)))
            ++end;
        const QByteArray label = head.sliced(at, end - at);
        // Browsers read every Shift_JIS label as Windows-31J, and Latin-1 as windows-1252.
        static const QByteArrayList cp932{"shift_jis", "shift-jis", "sjis", "x-sjis", "windows-31j",
                                          "cp932", "ms932", "ms_kanji", "csshiftjis"};
        if (cp932.contains(label))
            return "CP932";
        if (label == "iso-8859-1" || label == "latin1" || label == "us-ascii" || label == "windows-1252")
            return "WINDOWS-1252";
        // A UTF-16 declaration in bytes that are not UTF-16 is read as UTF-8, as browsers do.
        if (label.isEmpty() || label.startsWith("utf"))
            return {};
        return label;
    }
    return {};
}

} // namespace

Decoded decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return fromUtf8(bytes, 3);
    if (bytes.startsWith("\xFF\xFE"))
        return withIconv(bytes, 2, "UTF-16LE", 2);
    if (bytes.startsWith("\xFE\xFF"))
        return withIconv(bytes, 2, "UTF-16BE", 2);
    // UTF-16 without a mark still starts with a character below 256, such as "<".
    if (bytes.size() >= 2 && bytes.at(0) == 0 && bytes.at(1) != 0)
        return withIconv(bytes, 0, "UTF-16BE", 2);
    if (bytes.size() >= 2 && bytes.at(0) != 0 && bytes.at(1) == 0)
        return withIconv(bytes, 0, "UTF-16LE", 2);
    const QByteArray encoding = declaredEncoding(bytes);
    return encoding.isEmpty() ? fromUtf8(bytes, 0) : withIconv(bytes, 0, encoding.constData(), 1);
}

} // namespace TextDecoding
