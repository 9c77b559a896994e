#include "app/editing/NodeTransfer.h"

#include "project/ProjectFile.h"
#include "tree/LinkTree.h"
#include "text/VormikError.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QTemporaryFile>
#include <QUrl>

#include <algorithm>

namespace NodeTransfer {

namespace {

// Lives only while the drag does, when no node can go; so does the file that hands a large
// fragment to another program.
class DraggedNodes : public QMimeData
{
public:
    DraggedNodes(const void *source, NodeList nodes) : source(source), nodes(std::move(nodes)) {}
    const void *source;
    NodeList nodes;
    std::unique_ptr<QTemporaryFile> handover;
};

// The name a handed-over fragment's file has, so that no drop makes Vormik read any other file.
const QString HandoverPattern = QStringLiteral("vormik-drag-XXXXXX.xml");

} // namespace

bool carriesNodes(const QMimeData *data)
{
    return data && (data->hasFormat(NodesMimeType) || data->hasFormat(NodesFileMimeType));
}

bool isHandoverFile(const QString &path)
{
    const QFileInfo file(path);
    return file.isFile() && QDir(file.absolutePath()) == QDir(QDir::tempPath())
           && file.fileName().startsWith(QLatin1String("vormik-drag-")) && file.suffix() == QLatin1String("xml");
}

QMimeData *fragment(const LinkTree &tree, const NodeList &topmost)
{
    auto *data = new QMimeData;
    data->setData(NodesMimeType, ProjectFile::writeFragment(tree, topmost));
    data->setText(ProjectFile::outlineFragment(tree, topmost));
    return data;
}

QMimeData *drag(const void *source, const LinkTree &tree, const NodeList &topmost)
{
    auto data = std::make_unique<DraggedNodes>(source, topmost);
    const QByteArray bytes = ProjectFile::writeFragment(tree, topmost);
    const QString outline = ProjectFile::outlineFragment(tree, topmost);
    if (bytes.size() + outline.size() * 2 <= MaxDragBytes) {
        data->setData(NodesMimeType, bytes);
        data->setText(outline);
        return data.release();
    }
    // More than the display carries in one piece, which would end the connection to it: another
    // window gets the nodes from a file named in the drag, a file manager or editor the file.
    data->handover = std::make_unique<QTemporaryFile>(QDir(QDir::tempPath()).filePath(HandoverPattern));
    // No drag starts rather than one that would end the window.
    if (!data->handover->open() || data->handover->write(bytes) != bytes.size() || !data->handover->flush())
        return nullptr;
    data->setData(NodesFileMimeType, QFile::encodeName(data->handover->fileName()));
    data->setUrls({QUrl::fromLocalFile(data->handover->fileName())});
    return data.release();
}

NodeList draggedNodes(const void *source, const QMimeData *data)
{
    const auto *dragged = dynamic_cast<const DraggedNodes *>(data);
    return dragged && dragged->source == source ? dragged->nodes : NodeList();
}

std::vector<std::unique_ptr<LinkNode>> nodesFrom(const QMimeData *data)
{
    std::vector<std::unique_ptr<LinkNode>> nodes;
    if (!carriesNodes(data))
        return nodes;
    // The nodes come as a project file; a fault is told as such, with what it was.
    const QString refused = QStringLiteral("受け取ったノードを読めません: ");
    QByteArray bytes = data->data(NodesMimeType);
    if (data->hasFormat(NodesFileMimeType)) {
        // A large drag from another window hands the nodes over in a file of its own.
        const QString path = QString::fromUtf8(data->data(NodesFileMimeType));
        QFile file(path);
        if (!isHandoverFile(path) || !file.open(QIODevice::ReadOnly) || file.size() > ProjectFile::MaxFileSize)
            throw VormikError(refused + QStringLiteral("渡されたファイルを読めません"));
        bytes = file.readAll();
    }
    if (bytes.size() > ProjectFile::MaxFileSize)
        throw VormikError(refused + QStringLiteral("%1 MB を超えています").arg(ProjectFile::MaxFileSize >> 20));
    std::unique_ptr<LinkTree> fragment;
    try {
        fragment = ProjectFile::read(bytes, data->hasFormat(NodesFileMimeType) ? QStringLiteral("ドラッグされたノード")
                                                                                : QStringLiteral("クリップボード"));
    } catch (const VormikError &fault) {
        throw VormikError(refused + fault.message());
    }
    // From the back, so that no node's leaving renumbers the others.
    for (int i = fragment->topLevelCount(); i-- > 0;)
        nodes.push_back(fragment->take(fragment->topLevel(i)));
    std::reverse(nodes.begin(), nodes.end());
    return nodes;
}

} // namespace NodeTransfer
