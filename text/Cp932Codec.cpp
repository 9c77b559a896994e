#include "text/Cp932Codec.h"

#include <QList>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <string_view>
#include <utility>
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

// Runs iconv over input and appends the result to output, calling onInvalid at each sequence
// iconv rejects; onInvalid returns how many input bytes to skip and appends its own replacement.
template<typename OnInvalid>
void convertInto(QByteArray &output, iconv_t cd, QByteArrayView input, OnInvalid onInvalid)
{
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
}

QByteArray reference(char32_t codePoint)
{
    return "&#" + QByteArray::number(static_cast<uint>(codePoint)) + ';';
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
            out += reference(codePoint);
    }
    return out;
}

// UTF-8 has no form for half a surrogate pair and Qt would write "?"; U+FFFD goes on as a reference.
QString withoutLoneSurrogates(const QString &text)
{
    // Almost every text has no surrogate at all, and is passed on as it is.
    const auto isSurrogate = [](QChar ch) { return ch.isSurrogate(); };
    if (std::none_of(text.begin(), text.end(), isSurrogate))
        return text;
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

// The code point that starts at `in` and the bytes it takes. Decoded with ConvertInitialBom, since
// QString::fromUtf8 would drop a lone U+FEFF as a byte-order mark.
std::pair<char32_t, size_t> utf8CodePoint(const char *in, size_t left)
{
    const auto lead = static_cast<unsigned char>(in[0]);
    const size_t length = std::min<size_t>(lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4, left);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom | QStringDecoder::Flag::Stateless);
    const QString ch = decoder.decode(QByteArrayView(in, qsizetype(length)));
    return {ch.isEmpty() ? char32_t(0xFFFD) : ch.toUcs4().value(0, 0xFFFD), length};
}

// Converts with iconv; every character CP932 lacks becomes a character reference. ASCII is the
// same in both and is copied as it stands: in markup it is most of the text, and iconv's CP932
// takes many times longer over it.
QByteArray encodeRun(iconv_t cd, QByteArrayView utf8)
{
    QByteArray out;
    out.reserve(utf8.size() + 16);
    const auto isAscii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
    const char *at = utf8.begin();
    while (at != utf8.end()) {
        const char *wide = std::find_if_not(at, utf8.end(), isAscii);
        out.append(at, wide - at);
        // A byte below 0x80 never lies inside a longer character, so the run ends on a whole one.
        at = std::find_if(wide, utf8.end(), isAscii);
        convertInto(out, cd, QByteArrayView(wide, at - wide), [](const char *in, size_t left, QByteArray &o) -> size_t {
            const auto [codePoint, length] = utf8CodePoint(in, left);
            o += reference(codePoint);
            return length;
        });
    }
    return out;
}

// iconv writes these as the ASCII backslash and tilde, which read back as other characters than
// were written; so they go out as references, like the characters CP932 lacks.
struct OneWayCharacter
{
    QByteArrayView utf8;
    QByteArrayView reference;
};
constexpr OneWayCharacter OneWayCharacters[] = {
    {"\xC2\xA5", "&#165;"},       // YEN SIGN
    {"\xE2\x80\xBE", "&#8254;"}, // OVERLINE
};

// Where `character` next stands in `text` from `from`, or -1. The standard library looks for the
// first byte with memchr; Qt's general search for a short pattern reads each byte many times over.
qsizetype nextAt(QByteArrayView text, QByteArrayView character, qsizetype from)
{
    const auto at = std::string_view(text.data(), size_t(text.size()))
                        .find(std::string_view(character.data(), size_t(character.size())), size_t(from));
    return at == std::string_view::npos ? -1 : qsizetype(at);
}

} // namespace

namespace Cp932 {

QByteArray encode(const QString &text)
{
    return encodeUtf8(withoutLoneSurrogates(text).toUtf8());
}

QByteArray encodeUtf8(QByteArrayView utf8)
{
    static thread_local IconvHandle cd("CP932", "UTF-8");
    if (!cd.valid())
        return asciiWithReferences(QString::fromUtf8(utf8.data(), utf8.size()));
    QByteArray out;
    qsizetype done = 0;
    // Where each one-way character comes next; each is searched for again only once passed, so
    // the text is read once however many there are. UTF-8 never finds one inside another character.
    qsizetype next[std::size(OneWayCharacters)];
    for (size_t k = 0; k < std::size(OneWayCharacters); ++k)
        next[k] = nextAt(utf8, OneWayCharacters[k].utf8, 0);
    for (;;) {
        const auto nearest = std::min_element(std::begin(next), std::end(next), [](qsizetype a, qsizetype b) {
            return quint64(a) < quint64(b); // -1, not found, sorts last
        });
        if (*nearest < 0)
            break;
        const OneWayCharacter &found = OneWayCharacters[nearest - std::begin(next)];
        out += encodeRun(cd.cd, utf8.sliced(done, *nearest - done));
        out += found.reference;
        done = *nearest + found.utf8.size();
        *nearest = nextAt(utf8, found.utf8, done);
    }
    if (done == 0)
        return encodeRun(cd.cd, utf8);
    out += encodeRun(cd.cd, utf8.sliced(done));
    return out;
}

bool holds(char32_t codePoint)
{
    // Asked of encode itself, so the answer always matches what the files hold.
    if (QChar::isSurrogate(codePoint) || codePoint > QChar::LastValidCodePoint)
        return false;
    return encode(QString::fromUcs4(&codePoint, 1)) != reference(codePoint);
}

QString decode(const QByteArray &bytes, bool *ok)
{
    static thread_local IconvHandle cd("UTF-8", "CP932");
    bool valid = true;
    QByteArray utf8;
    if (cd.valid()) {
        utf8.reserve(bytes.size() * 2 + 16);
        convertInto(utf8, cd.cd, bytes, [&valid](const char *, size_t, QByteArray &out) -> size_t {
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
