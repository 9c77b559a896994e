#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Writes `bytes` to a file beside `path` that replaces it only once complete, every step checked:
// on any failure the old file stays as it was, no temporary file is left, and the reason is
// returned for the caller to word: a common system error in Japanese before the system's own
// text. An existing device, FIFO or socket is written into in place.
std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes);

// The common system errors of a write in the user's words: a full disk, no permission, a
// read-only file system, a missing folder; empty for any other `errno` value.
QString systemErrorText(int error);
