#include "app/preview/PageFrame.h"

#include <QCryptographicHash>

namespace PageFrame {

namespace {

void addPiece(QCryptographicHash &hash, QStringView piece)
{
    // The length first, so that pieces of a different split never run together into the same digest.
    const qsizetype length = piece.size();
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(&length), sizeof length));
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(piece.data()), piece.size() * qsizetype(sizeof(QChar))));
}

} // namespace

QByteArray digest(const QString &page, const std::vector<QString> &markup)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    qsizetype at = 0;
    for (const QString &piece : markup) {
        const qsizetype found = page.indexOf(piece, at);
        if (found < 0)
            return {};
        addPiece(hash, QStringView(page).mid(at, found - at));
        at = found + piece.size();
    }
    addPiece(hash, QStringView(page).mid(at));
    return hash.result();
}

} // namespace PageFrame
