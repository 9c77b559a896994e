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

// Where the declaration of the file's encoding lies in its first KB, where browsers look: the XML
// declaration that starts it, or a meta element. An address that only mentions a charset is none.
QByteArrayView declaration(QByteArrayView head, const char **key)
{
    if (head.startsWith("<?xml")) {
        *key = "encoding";
        const qsizetype end = head.indexOf("?>");
        return head.first(end < 0 ? head.size() : end);
    }
    *key = "charset";
    for (qsizetype meta = head.indexOf("<meta"); meta >= 0; meta = head.indexOf("<meta", meta + 1)) {
        const qsizetype end = head.indexOf('>', meta);
        const QByteArrayView element = head.sliced(meta, (end < 0 ? head.size() : end) - meta);
        if (element.contains(*key))
            return element;
    }
    return {};
}

// The encoding the file declares, as iconv knows it; empty for UTF-8 or none.
QByteArray declaredEncoding(QByteArrayView start)
{
    const QByteArray head = start.first(std::min<qsizetype>(start.size(), 1024)).toByteArray().toLower();
    const char *key = nullptr;
    const QByteArrayView found = declaration(head, &key);
    qsizetype at = found.indexOf(key);
    if (at < 0)
        return {};
    at += qstrlen(key);
    const auto inLabel = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'; };
    while (at < found.size() && !inLabel(found.at(at))) // = and quotes
        ++at;
    qsizetype end = at;
    while (end < found.size() && inLabel(found.at(end)))
        ++end;
    const QByteArray label = found.sliced(at, end - at).toByteArray();
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

} // namespace

Decoder::Decoder(QByteArrayView start)
{
    const char *encoding = nullptr;
    QByteArray declared;
    if (start.startsWith("\xEF\xBB\xBF")) {
        m_mark = 3;
    } else if (start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF")) {
        encoding = start.startsWith("\xFF\xFE") ? "UTF-16LE" : "UTF-16BE";
        m_mark = 2;
        m_unit = 2;
    } else if (start.size() >= 2 && (start.at(0) == 0) != (start.at(1) == 0)) {
        // UTF-16 without a mark still starts with a character below 256, such as "<".
        encoding = start.at(0) == 0 ? "UTF-16BE" : "UTF-16LE";
        m_unit = 2;
    } else {
        declared = declaredEncoding(start);
        encoding = declared.isEmpty() ? nullptr : declared.constData();
    }
    if (encoding)
        m_iconv = iconv_open("UTF-8", encoding); // one iconv does not know is read as UTF-8
}

Decoder::~Decoder()
{
    if (m_iconv != reinterpret_cast<iconv_t>(-1))
        iconv_close(m_iconv);
}

void Decoder::noteReplacement(qsizetype newlinesBefore)
{
    if (m_replaced++ == 0)
        m_firstLine = static_cast<int>(m_newlines + newlinesBefore) + 1;
}

QByteArray Decoder::decode(const QByteArray &bytes, bool last)
{
    QByteArray input = m_pending.isEmpty() ? bytes : m_pending + bytes;
    m_pending.clear();
    const qsizetype mark = std::min(m_mark, input.size());
    m_mark -= mark;
    if (mark > 0)
        input = input.sliced(mark);
    QByteArray out = m_iconv == reinterpret_cast<iconv_t>(-1) ? fromUtf8(input, last) : withIconv(input, last);
    m_newlines += out.count('\n');
    return out;
}

QByteArray Decoder::fromUtf8(const QByteArray &bytes, bool last)
{
    QByteArray out;
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype copied = 0; // bytes before this are in `out` already
    qsizetype at = 0;
    bool replaced = false;
    while (at < size) {
        const qsizetype length = utf8Length(data + at, size - at);
        if (length > 0) {
            at += length;
            continue;
        }
        if (!last && at - length == size && data[at] >= 0xC2) {
            m_pending = bytes.sliced(at); // cut by the piece's end, not invalid
            break;
        }
        if (!replaced)
            out.reserve(size + 64);
        replaced = true;
        out.append(bytes.constData() + copied, at - copied);
        noteReplacement(out.count('\n'));
        out += Replacement;
        at -= length;
        copied = at;
    }
    if (!replaced) // the common case: the bytes as they are, shared, not copied
        return at == size ? bytes : bytes.first(at);
    out.append(bytes.constData() + copied, at - copied);
    return out;
}

// A sequence iconv cannot read becomes U+FFFD, and it goes on one code unit on.
QByteArray Decoder::withIconv(QByteArrayView bytes, bool last)
{
    QByteArray out;
    out.resize(bytes.size() * 3 / 2 + 64);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    qsizetype written = 0;
    while (inLeft > 0) {
        if (out.size() - written < 64)
            out.resize(out.size() * 3 / 2);
        char *to = out.data() + written;
        size_t outLeft = static_cast<size_t>(out.size() - written);
        const size_t rc = iconv(m_iconv, &in, &inLeft, &to, &outLeft);
        written = to - out.constData();
        if (rc != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        if (errno == EINVAL && !last) {
            m_pending = QByteArray(in, static_cast<qsizetype>(inLeft));
            break;
        }
        noteReplacement(QByteArrayView(out.constData(), written).count('\n'));
        if (out.size() - written < Replacement.size())
            out.resize(out.size() + 64);
        std::copy(Replacement.begin(), Replacement.end(), out.begin() + written);
        written += Replacement.size();
        const size_t skip = std::min<size_t>(static_cast<size_t>(m_unit), inLeft);
        in += skip;
        inLeft -= skip;
        iconv(m_iconv, nullptr, nullptr, nullptr, nullptr);
    }
    out.truncate(written);
    out.squeeze();
    return out;
}

} // namespace TextDecoding
