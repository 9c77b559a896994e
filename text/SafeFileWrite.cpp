#include "text/SafeFileWrite.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>

#include <sys/stat.h>

namespace {

// A device, FIFO or socket: something that is written into, never replaced.
bool isSpecialFile(const QString &path)
{
    struct stat info{};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

std::optional<FileWriteFailure> writeInPlace(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return FileWriteFailure{true, file.errorString()};
    if (file.write(bytes) != bytes.size())
        return FileWriteFailure{false, file.errorString()};
    return std::nullopt;
}

} // namespace

QString failureReason(const FileWriteFailure &failure)
{
    // Qt words a failure as the system does (strerror), so that wording tells which it was.
    static const std::pair<int, const char16_t *> Known[] = {
        {ENOSPC, u"ディスクに空きがありません"},
        {EDQUOT, u"ディスクの割り当てを超えました"},
        {EFBIG, u"ファイルが大きすぎます"},
        {EACCES, u"書き込む権限がありません"},
        {EPERM, u"書き込む権限がありません"},
        {EROFS, u"読み取り専用のディスクです"},
        {ENOENT, u"フォルダがありません"},
        {EISDIR, u"フォルダです"},
    };
    for (const auto &[code, words] : Known) {
        if (failure.reason.contains(qt_error_string(code)))
            return QString::fromUtf16(words);
    }
    return failure.reason.isEmpty() ? QStringLiteral("原因不明のエラー") : failure.reason;
}

std::optional<FileWriteFailure> writeFileSafely(const QString &path, const QByteArray &bytes)
{
    // /dev/null, a pipe or a terminal is written into: renaming a new file over it would replace
    // the device itself.
    if (isSpecialFile(path))
        return writeInPlace(path, bytes);

    // Unbuffered and in one call: a failure while a buffer is flushed on commit would not stop the
    // rename, whereas a short count here tells of any failure (a full disk, a size limit).
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return FileWriteFailure{true, file.errorString()};
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return FileWriteFailure{false, reason};
    }
    if (!file.commit())
        return FileWriteFailure{false, file.errorString()};
    return std::nullopt;
}
