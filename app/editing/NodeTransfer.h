#pragma once

#include "tree/NodeSet.h"

#include <QString>

#include <memory>
#include <vector>

class QMimeData;

// Nodes between editors (clipboard, drag and drop): a project-file fragment under its own type,
// and the outline as plain text. A drag too large for the display hands its nodes over in a
// temporary file instead.
namespace NodeTransfer {

inline const QString NodesMimeType = QStringLiteral("application/x-vormik-nodes");
// The type that names such a file, for a drag above MaxDragBytes: well below what an X11 display
// takes in one request.
inline const QString NodesFileMimeType = QStringLiteral("application/x-vormik-nodes-file");
constexpr qsizetype MaxDragBytes = 1 << 20;

// True when `data` carries nodes in either form.
bool carriesNodes(const QMimeData *data);
// True for a file a large drag hands over, which only a drop into a tree reads.
bool isHandoverFile(const QString &path);
// The nodes with their subtrees in both forms, for the clipboard; `topmost` as topmostNodes()
// gives them.
QMimeData *fragment(const LinkTree &tree, const NodeList &topmost);
// The same for a drag from `source`, which also names the nodes so that a drop back into the same
// source can move the nodes themselves; null when a large drag's file cannot be written.
QMimeData *drag(const void *source, const LinkTree &tree, const NodeList &topmost);
// The nodes a drag from `source` carries; none for nodes from anywhere else.
NodeList draggedNodes(const void *source, const QMimeData *data);
// New nodes read from such data; a damaged fragment throws VormikError.
std::vector<std::unique_ptr<LinkNode>> nodesFrom(const QMimeData *data);

} // namespace NodeTransfer
