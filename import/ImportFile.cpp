#include "import/ImportFile.h"

#include "import/BookmarkReader.h"
#include "import/HtmlDocument.h"
#include "import/JsonReader.h"
#include "import/OpmlReader.h"
#include "import/PageReader.h"
#include "import/TextDecoding.h"
#include "text/VormikError.h"

#include <QFile>

namespace Import {

namespace {

ImportResult readUtf8(const QByteArray &utf8, const QString &fileName)
{
    if (BookmarkReader::recognises(utf8))
        return BookmarkReader::read(utf8, fileName);
    if (OpmlReader::recognises(utf8))
        return OpmlReader::read(utf8, fileName);
    if (JsonReader::recognises(utf8))
        return JsonReader::read(utf8, fileName);
    try {
        ImportResult page = PageReader::read(utf8, fileName);
        // Every page ends with its html element's end tag; without it the file was cut short.
        if (!utf8.right(64).toLower().contains("</html>"))
            page.losses[QStringLiteral("途中で切れたファイル（</html> がありません）")] += 1;
        return page;
    } catch (const HtmlDocument::NotFormat &) {
        throw VormikError(QStringLiteral("ファイル %1 は読み込める形式ではありません（試した形式: ブックマークファイル、"
                                         "OPML、JSON のメニューデータ、Vormik が書き出したページ）")
                              .arg(fileName));
    }
}

} // namespace

ImportResult read(const QByteArray &bytes, const QString &fileName)
{
    HtmlDocument::checkSize(bytes.size(), fileName);
    const TextDecoding::Decoded text = TextDecoding::decode(bytes);
    ImportResult result = readUtf8(text.utf8, fileName);
    result.replaced = text.replaced;
    result.firstReplacedLine = text.firstLine;
    return result;
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
    const std::function<QByteArray()> more = [&] {
        for (;;) {
            const QByteArray piece = readPiece();
            QByteArray decoded = decoder.decode(piece, piece.isEmpty());
            if (!decoded.isEmpty() || piece.isEmpty())
                return decoded;
        }
    };
    // A bookmark file or OPML is read piece by piece and never held whole; the other formats are
    // read by parsers that want all of it.
    ImportResult result;
    if (BookmarkReader::recognises(start)) {
        result = BookmarkReader::read(start, more, path);
    } else if (OpmlReader::recognises(start)) {
        result = OpmlReader::read(start, more, path);
    } else {
        QByteArray all = start;
        for (QByteArray piece = more(); !piece.isEmpty(); piece = more())
            all += piece;
        result = readUtf8(all, path);
    }
    result.replaced = decoder.replaced();
    result.firstReplacedLine = decoder.firstLine();
    return result;
}

} // namespace Import
