#pragma once

#include "import/ImportScreening.h"
#include "tree/LinkTree.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

// What an importer brings: the nodes read (the top-level nodes of `tree` go where the user
// wants them), and what came in and what did not.
struct ImportResult
{
    std::unique_ptr<LinkTree> tree;
    int groups = 0;
    int links = 0;
    // What was left out, by kind ("区切り線", "アイコン" ...), with how often.
    std::map<QString, int> skipped;
    // What came in changed or only in part, by kind, with how often: the user is told each.
    std::map<QString, int> losses;
    // Byte sequences invalid in the file's encoding, read as U+FFFD, and the line of the first.
    int replaced = 0;
    int firstReplacedLine = 0;
    // Names holding markup and script addresses, which come in without their addresses.
    ImportScreening screening;

    // One line for the user: how many groups and links, and what was left out.
    QString summary() const;
    // One line per kind of loss, or an empty string when nothing was lost.
    QString lossReport() const;
    // Puts back the script addresses left out, as the user asked: a link holding nodes that came
    // in as a group for want of its address is a link again.
    void keepScriptAddresses();
    // Links holding nodes that have no address come in as groups: that is what they show as, and
    // what every data format writes them as.
    void groupAddresslessHolders();

    // The links made groups when their script address was left out.
    std::vector<LinkNode *> holdersGrouped;
};

namespace Import {

// The deepest a read tree may go, so that no file can make a reader or a later walk of the tree
// take time or memory without bound; libxml2 holds a project file's elements to the same depth.
inline constexpr int MaxDepth = 256;
// The largest file read; a larger one is refused before it is read. Names and addresses take more
// room in a project file than in the formats read (a bookmark file of 50 MB makes one of about
// 70 MB, compact JSON about twice its size), so a file this large is already near what a project
// file may hold.
inline constexpr qint64 MaxFileSize = 192 * 1024 * 1024;

} // namespace Import
