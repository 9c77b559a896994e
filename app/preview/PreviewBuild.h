#pragma once

#include "html/PageGenerator.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class LinkNode;
class LinkTree;

// The page the preview shows, made from a copy of the tree so that it can be built away from the
// window's thread, with what the preview needs to tie the page's elements back to the nodes.
namespace PreviewBuild {

// The output to show: a page's settings, or nothing for the HTML5 page with default settings.
using Output = std::optional<ExportSettings>;

// The page and the files it loads beside itself, by file name, served from memory.
struct Files
{
    QString pageName;
    QByteArray pageType; // a MIME type with its charset
    QHash<QString, QByteArray> files;
};

// A finished page. Nodes are named by their absolute index in the tree the page was made from;
// `nodes` holds the live nodes of that tree, only to be compared, never followed.
struct Page
{
    Files files;
    // The menu's anchors in document order: each one's node.
    std::vector<int> anchorNodes;
    // Each group's element id, by node; empty for a link.
    std::vector<QString> groupIds;
    QString rootClass;
    // Each node's own markup, and a digest of the rest of the page (see PreviewChanges).
    std::vector<QString> markup;
    QByteArray frame;
    // What turns the page shown before into this one in place, when it can (see PreviewChanges).
    std::optional<QString> changes;
    std::vector<const LinkNode *> nodes;
};

// The tree's nodes and fields, copied; made on the window's thread, read on another.
std::unique_ptr<LinkTree> copyOf(const LinkTree &tree);

// Brings `copy`, made from the nodes `copied` (in absolute order), up to `tree` when the tree
// still has those nodes at the same levels: then only the texts and records that changed are
// copied again. False, leaving `copy` as it was, when the shape has changed.
bool refresh(LinkTree &copy, const std::vector<const LinkNode *> &copied, const LinkTree &tree);

// The settings the preview builds with: the output's, or the HTML5 page's defaults when there is
// none or it is not a page; the page is named as the output's file, placed nowhere on disk.
ExportSettings settingsFor(const Output &output);

// Builds the page; the message of a failure becomes the page shown.
Page build(const LinkTree &copy, const ExportSettings &settings);

// How many anchors each node's own markup holds, in order: the anchors of the menu in document order.
std::vector<int> anchorNodes(const std::vector<QString> &markup);

} // namespace PreviewBuild
