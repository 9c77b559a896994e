#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <iconv.h>

// Any file an importer reads, made UTF-8 as a browser decodes it: the encoding its byte-order
// mark, its UTF-16 zero bytes or its charset or encoding declaration names (UTF-8 when none),
// and every byte sequence invalid in that encoding read as U+FFFD, with reading going on.
namespace TextDecoding {

// A piece at a time, so that a file need never be held whole.
class Decoder
{
public:
    // The encoding is chosen from the file's first bytes (its first KB, where browsers look).
    explicit Decoder(QByteArrayView start);
    ~Decoder();
    Decoder(const Decoder &) = delete;
    Decoder &operator=(const Decoder &) = delete;

    // The UTF-8 of the next bytes of the file; a character cut by their end waits for the next
    // piece, or is invalid when `last`. Valid UTF-8 comes back shared, not copied.
    QByteArray decode(const QByteArray &bytes, bool last);
    int replaced() const { return m_replaced; }
    int firstLine() const { return m_firstLine; }

private:
    QByteArray fromUtf8(const QByteArray &bytes, bool last);
    QByteArray withIconv(QByteArrayView bytes, bool last);
    void noteReplacement(qsizetype newlinesBefore);

    iconv_t m_iconv = reinterpret_cast<iconv_t>(-1); // none: the file is UTF-8
    qsizetype m_unit = 1;     // the bytes skipped past a sequence iconv cannot read
    qsizetype m_mark = 0;     // byte-order mark still to skip
    QByteArray m_pending;     // the start of a character cut by the last piece's end
    qsizetype m_newlines = 0; // in what came out before
    int m_replaced = 0;
    int m_firstLine = 0;
};

} // namespace TextDecoding
