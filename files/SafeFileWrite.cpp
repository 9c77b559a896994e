#include "files/SafeFileWrite.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>

namespace {

// The failure in the user's words when the system's error is a common one, with the library's
// own text after it.
QString failure(int error, const QString &detail)
{
    const QString known = systemErrorText(error);
    return known.isEmpty() ? detail : QStringLiteral("%1（%2）").arg(known, detail);
}

// A device, FIFO or socket: something that is written into, never replaced.
bool isSpecialFile(const QString &path)
{
    struct stat info{};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

// Unbuffered and in one call: a failure while a buffer is flushed on a save file's commit would
// not stop the rename, whereas a short count here tells of any failure (a full disk, a size limit).
std::optional<QString> writeAll(QFileDevice &file, const QByteArray &bytes)
{
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return failure(errno, file.errorString());
    if (file.write(bytes) != bytes.size())
        return failure(errno, file.errorString());
    return std::nullopt;
}

} // namespace

QString systemErrorText(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("ディスクに空きがありません");
    case EDQUOT:
        return QStringLiteral("ディスクの使用量の上限を超えます");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込む権限がありません");
    case EROFS:
        return QStringLiteral("読み取り専用のファイルシステムです");
    case ENOENT:
        return QStringLiteral("フォルダーがありません");
    default:
        return {};
    }
}

std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes)
{
    // /dev/null, a pipe or a terminal is written into: renaming a new file over it would replace
    // the device itself.
    if (isSpecialFile(path)) {
        QFile device(path);
        return writeAll(device, bytes);
    }
    QSaveFile file(path);
    if (const auto failed = writeAll(file, bytes)) {
        file.cancelWriting();
        return failed;
    }
    if (!file.commit())
        return failure(errno, file.errorString());
    return std::nullopt;
}
