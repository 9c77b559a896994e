#include "text/SafeFileWrite.h"

#include <QSaveFile>

std::optional<FileWriteFailure> writeFileSafely(const QString &path, const QByteArray &bytes)
{
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
