#pragma once

#include <QByteArray>

// Any file an importer reads, made UTF-8 as a browser decodes it: the encoding its byte-order
// mark, its UTF-16 zero bytes or its charset or encoding declaration names (UTF-8 when none),
// and every byte sequence invalid in that encoding read as U+FFFD, with reading going on.
namespace TextDecoding {

struct Decoded
{
    QByteArray utf8;   // without a byte-order mark
    int replaced = 0;  // invalid sequences read as U+FFFD
    int firstLine = 0; // the line of the first of them, counted from 1
};

Decoded decode(const QByteArray &bytes);

} // namespace TextDecoding
