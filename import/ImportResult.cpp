#include "import/ImportResult.h"

#include "import/BookmarkReader.h"
#include "import/HtmlDocument.h"
#include "import/JsonReader.h"
#include "import/OpmlReader.h"
#include "import/PageReader.h"
#include "project/ProjectFile.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QFile>

QString ImportResult::summary() const
{
    QString text = QStringLiteral("グループ %1 個、リンク %2 個を読み込みました").arg(groups).arg(links);
    QStringList left;
    for (const auto &[what, times] : skipped)
        left << QStringLiteral("%1 %2 個").arg(what).arg(times);
    if (!left.isEmpty())
        text += QStringLiteral("（読み込まなかったもの: %1）").arg(left.join(QStringLiteral("、")));
    return text;
}

namespace Import {

ImportResult read(const QByteArray &bytes, const QString &fileName)
{
    if (BookmarkReader::recognises(bytes))
        return BookmarkReader::read(bytes, fileName);
    if (OpmlReader::recognises(bytes))
        return OpmlReader::read(bytes, fileName);
    if (JsonReader::recognises(bytes))
        return JsonReader::read(bytes, fileName);
    return PageReader::read(bytes, fileName);
}

ImportResult readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw VormikError(QStringLiteral("ファイル %1 を開けません: %2").arg(path, file.errorString()));
    // A regular file is measured before anything is read; the read's own limit covers the rest.
    HtmlDocument::checkSize(file.size(), path);
    const QByteArray bytes = file.read(ProjectFile::MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw VormikError(QStringLiteral("ファイル %1 を読み込めません: %2").arg(path, file.errorString()));
    return read(bytes, path);
}

} // namespace Import
