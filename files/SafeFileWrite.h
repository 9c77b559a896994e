#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Why a safe write failed: the file could not be opened, or a later step failed with `reason`,
// which names a common system error in Japanese before the system's own text.
struct FileWriteFailure
{
    bool opening = false;
    QString reason;
};

// Writes `bytes` to a file beside `path` that replaces it only once complete, every step checked:
// on any failure the old file stays as it was, no temporary file is left, and the failure is
// returned for the caller to word. An existing device, FIFO or socket is written into in place.
std::optional<FileWriteFailure> writeFileSafely(const QString &path, const QByteArray &bytes);

// The common system errors of a write in the user's words: a full disk, no permission, a
// read-only file system, a missing folder; empty for any other `errno` value.
QString systemErrorText(int error);
