#pragma once

#include "import/ImportScreening.h"
#include "tree/LinkTree.h"

#include <QString>

#include <map>
#include <memory>

// What an importer brings: the nodes read (the top-level nodes of `tree` go where the user
// wants them), and what came in and what did not.
struct ImportResult
{
    std::unique_ptr<LinkTree> tree;
    int groups = 0;
    int links = 0;
    // What was left out, by kind ("区切り線", "アイコン" ...), with how often.
    std::map<QString, int> skipped;
    // Names holding markup and script addresses, which come in without their addresses.
    ImportScreening screening;

    // One line for the user: how many groups and links, and what was left out.
    QString summary() const;
};

namespace Import {

// The deepest a read tree may go, so that no file can make a reader or a later walk of the tree
// take time or memory without bound; libxml2 holds a project file's elements to the same depth.
inline constexpr int MaxDepth = 256;

// Reads the file at `path` (held to the project file's size limit) in the format its content
// shows: a browser's bookmark file, OPML, JSON menu data, or a page Vormik exported. Any fault
// throws VormikError naming the file; nothing is returned then.
ImportResult readFile(const QString &path);
// As readFile, from bytes already read.
ImportResult read(const QByteArray &bytes, const QString &fileName);

} // namespace Import
