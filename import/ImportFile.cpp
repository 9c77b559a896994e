#include "import/ImportFile.h"

#include "import/FormatReaders.h"
#include "import/HtmlDocument.h"
#include "import/TextDecoding.h"
#include "text/VormikError.h"

#include <QFile>

namespace Import {

namespace {

// A bookmark file or OPML is read piece by piece and never held whole; the other formats are read
// by parsers that want all of it.
ImportResult readDecoded(const QByteArray &start, const std::function<QByteArray()> &more, const QString &fileName)
{
    if (BookmarkReader::recognises(start))
        return BookmarkReader::read(start, more, fileName);
    if (OpmlReader::recognises(start))
        return OpmlReader::read(start, more, fileName);
    QByteArray all = start;
    for (QByteArray piece = more(); !piece.isEmpty(); piece = more())
        all += piece;
    if (JsonReader::recognises(all))
        return JsonReader::read(all, fileName);
    try {
        ImportResult page = PageReader::read(all, fileName);
        // Every page ends with its html element's end tag; without it the file was cut short.
        if (!all.right(64).toLower().contains("</html>"))
            page.losses[QStringLiteral("途中で切れたファイル（</html> がありません）")] += 1;
        return page;
    } catch (const HtmlDocument::NotFormat &) {
        throw VormikError(QStringLiteral("ファイル %1 は読み込める形式ではありません（試した形式: ブックマークファイル、"
                                         "OPML、JSON のメニューデータ、Vormik が書き出したページ）")
                              .arg(fileName));
    }
}

ImportResult withReplacements(ImportResult result, const TextDecoding::Decoder &decoder)
{
    result.replaced = decoder.replaced();
    result.firstReplacedLine = decoder.firstLine();
    return result;
}

} // namespace

ImportResult read(const QByteArray &bytes, const QString &fileName)
{
    HtmlDocument::checkSize(bytes.size(), fileName);
    TextDecoding::Decoder decoder(bytes);
    const QByteArray text = decoder.decode(bytes, true);
    return withReplacements(readDecoded(text, [] { return QByteArray(); }, fileName), decoder);
}

ImportResult readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw VormikError(QStringLiteral("ファイル %1 を開けません: %2").arg(path, file.errorString()));
    // A regular file is measured before anything is read; the count of what was read covers the rest.
    HtmlDocument::checkSize(file.size(), path);
    qint64 total = 0;
    const auto readPiece = [&] {
        const QByteArray piece = file.read(qint64(1) << 20);
        if (file.error() != QFileDevice::NoError)
            throw VormikError(QStringLiteral("ファイル %1 を読み込めません: %2").arg(path, file.errorString()));
        HtmlDocument::checkSize(total += piece.size(), path);
        return piece;
    };
    const QByteArray head = readPiece();
    TextDecoding::Decoder decoder(head);
    const QByteArray start = decoder.decode(head, false);
    // The next decoded piece, empty only at the file's end.
    const auto more = [&] {
        for (;;) {
            const QByteArray piece = readPiece();
            QByteArray decoded = decoder.decode(piece, piece.isEmpty());
            if (!decoded.isEmpty() || piece.isEmpty())
                return decoded;
        }
    };
    return withReplacements(readDecoded(start, more, path), decoder);
}

} // namespace Import
