#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Why a safe write failed: the file could not be opened, or a later step failed with `reason`.
struct FileWriteFailure
{
    bool opening = false;
    QString reason;
};

// Why, as the user reads it: a full disk, a missing permission, a read-only disk and the like in
// Japanese, anything else as the system words it.
QString failureReason(const FileWriteFailure &failure);

// Writes `bytes` to a file beside `path` that replaces it only once complete, every step checked:
// on any failure the old file stays as it was, no temporary file is left, and the failure is
// returned for the caller to word. An existing device, FIFO or socket is written into in place.
std::optional<FileWriteFailure> writeFileSafely(const QString &path, const QByteArray &bytes);
