#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>

class LinkTree;

// The project file: the tree's shape as outline text, and every node's fields, in one XML
// document in Shift_JIS.
namespace ProjectFile {

// Open refuses larger files, so that no file can make it take memory without bound.
inline constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

// The outline text: one line per node in absolute order, one TAB per level, CR LF after each.
QString outlineText(const LinkTree &tree);

// The file's bytes for a tree.
QByteArray write(const LinkTree &tree);
// Writes the tree to `path` atomically; a failure throws VormikError and leaves the file as it was.
void save(const LinkTree &tree, const QString &path);

// Reads a whole tree from the file's bytes; any fault throws VormikError naming `fileName`.
std::unique_ptr<LinkTree> read(const QByteArray &bytes, const QString &fileName);
// Reads the file at `path` (with a size limit) and then as read().
std::unique_ptr<LinkTree> open(const QString &path);

} // namespace ProjectFile
