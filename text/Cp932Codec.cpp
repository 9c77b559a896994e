#include "text/Cp932Codec.h"

#include <QList>

#include <cerrno>
#include <iconv.h>

namespace {

struct IconvHandle
{
    explicit IconvHandle(const char *to, const char *from) : cd(iconv_open(to, from)) {}
    ~IconvHandle()
    {
        if (valid())
            iconv_close(cd);
    }
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;
    bool valid() const { return cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t cd;
};

// Runs iconv over input, calling onInvalid at each sequence iconv rejects; onInvalid returns how
// many input bytes to skip and appends its own replacement to the output.
template<typename OnInvalid>
QByteArray convert(iconv_t cd, const QByteArray &input, OnInvalid onInvalid)
{
    QByteArray output;
    output.reserve(input.size() * 2 + 16);
    char buffer[4096];
    char *in = const_cast<char *>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    while (inLeft > 0) {
        char *out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<qsizetype>(out - buffer));
        if (rc != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL (a truncated sequence at the end): let the caller decide.
        const size_t skip = onInvalid(in, inLeft, output);
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return output;
}

// Without a CP932 converter nothing is guessed: ASCII stays, every other character becomes a
// reference, which any reader of the page or the project file turns back into the character.
QByteArray asciiWithReferences(const QString &text)
{
    QByteArray out;
    for (const char32_t codePoint : text.toUcs4()) {
        if (codePoint < 0x80)
            out += static_cast<char>(codePoint);
        else
            out += "&#" + QByteArray::number(static_cast<uint>(codePoint)) + ';';
    }
    return out;
}

// UTF-8 has no form for half a surrogate pair and Qt would write "?"; U+FFFD goes on as a reference.
QString withoutLoneSurrogates(const QString &text)
{
    QString result = text;
    for (qsizetype i = 0; i < result.size(); ++i) {
        const QChar ch = result.at(i);
        if (ch.isHighSurrogate() && i + 1 < result.size() && result.at(i + 1).isLowSurrogate())
            ++i;
        else if (ch.isSurrogate())
            result[i] = QChar::ReplacementCharacter;
    }
    return result;
}

} // namespace

namespace Cp932 {

QByteArray encode(const QString &text)
{
    static thread_local IconvHandle cd("CP932", "UTF-8");
    if (!cd.valid())
        return asciiWithReferences(text);
    const QByteArray utf8 = withoutLoneSurrogates(text).toUtf8();
    return convert(cd.cd, utf8, [](const char *in, size_t left, QByteArray &out) -> size_t {
        // Work out the one code point at `in` and write it as a character reference.
        const auto lead = static_cast<unsigned char>(in[0]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (length > left)
            length = left;
        const QString ch = QString::fromUtf8(in, static_cast<qsizetype>(length));
        const char32_t codePoint = ch.isEmpty() ? 0xFFFD : ch.toUcs4().value(0, 0xFFFD);
        out += "&#" + QByteArray::number(static_cast<uint>(codePoint)) + ';';
        return length;
    });
}

QString decode(const QByteArray &bytes, bool *ok)
{
    static thread_local IconvHandle cd("UTF-8", "CP932");
    bool valid = true;
    QByteArray utf8;
    if (cd.valid()) {
        utf8 = convert(cd.cd, bytes, [&valid](const char *, size_t, QByteArray &out) -> size_t {
            valid = false;
            out += "\xEF\xBF\xBD"; // U+FFFD
            return 1;
        });
    } else {
        valid = false;
        utf8 = bytes;
    }
    if (ok)
        *ok = valid;
    return QString::fromUtf8(utf8);
}

} // namespace Cp932
