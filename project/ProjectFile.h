#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

class LinkNode;
class LinkTree;

// The project file: the tree's shape as outline text, and every node's fields, in one XML
// document in Shift_JIS.
namespace ProjectFile {

// Open refuses larger files, so that no file can make it take memory without bound.
inline constexpr qint64 MaxFileSize = 256 * 1024 * 1024;

// Named texts a project keeps beside its tree, the settings of one of its outputs: one element of
// their own after the nodes, each text an element in it. A tree without them is written exactly
// as one was before they existed, and a reader that knows only the nodes never meets their names.
// A reader that knows only one output takes the first element, so the current output goes first.
struct Setting
{
    QByteArray name; // the element's name
    QString value;

    bool operator==(const Setting &) const = default;
};
using Settings = std::vector<Setting>;

// What a project file holds.
struct Project
{
    std::unique_ptr<LinkTree> tree;
    std::vector<Settings> outputs; // the settings of every output, in the file's order
};
using Outputs = std::vector<Settings>;

// The outline text: one line per node in absolute order, one TAB per level, CR LF after each.
QString outlineText(const LinkTree &tree);

// The file's bytes for a tree, with the outputs' settings when there are any.
QByteArray write(const LinkTree &tree, const Outputs &outputs = {});

// Nodes with their subtrees (none inside another, in absolute order), written as the file of a
// tree that holds only them, each root at the top level: how nodes travel between editors
// (clipboard, drag and drop). read() reads it back.
QByteArray writeFragment(const LinkTree &tree, const std::vector<LinkNode *> &roots);
// The outline text of those subtrees, each root at the top level: the same nodes for a text editor.
QString outlineFragment(const LinkTree &tree, const std::vector<LinkNode *> &roots);
// Writes the tree to `path` atomically; a failure throws VormikError and leaves the file as it was.
void save(const LinkTree &tree, const QString &path, const Outputs &outputs = {});

// Reads a whole tree from a project file's bytes; any fault throws VormikError naming `source`,
// the bytes as a message calls them ("ファイル menu.xml", "クリップボード").
std::unique_ptr<LinkTree> read(const QByteArray &bytes, const QString &source);
Project readProject(const QByteArray &bytes, const QString &source);
// Reads the file at `path` (with a size limit) and then as read().
std::unique_ptr<LinkTree> open(const QString &path);
Project openProject(const QString &path);

} // namespace ProjectFile
