// The tree as JSON menu data for static site generators.
#include "export/DataExport.h"

#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <vector>

namespace DataExport {

QByteArray json(const LinkTree &tree, bool indented)
{
    // Each node's object is finished once its subtree is, so the nodes are built innermost first
    // from a stack of open objects and their children.
    struct Open
    {
        QJsonObject object;
        QJsonArray children;
        bool group;
    };
    std::vector<Open> open;
    QJsonArray top;
    const auto closeTo = [&](size_t depth) {
        while (open.size() > depth) {
            Open done = std::move(open.back());
            open.pop_back();
            if (done.group || !done.children.isEmpty())
                done.object.insert(QStringLiteral("children"), done.children);
            (open.empty() ? top : open.back().children).append(done.object);
        }
    };
    for (const LinkNode *node : tree.nodes()) {
        closeTo(static_cast<size_t>(node->level()));
        QJsonObject object;
        for (const NodeFieldInfo &field : NodeFields) {
            if (field.jsonKey) {
                const bool unwritten = node->isGroup() && field.field == NodeField::Href;
                object.insert(QLatin1StringView(field.jsonKey), unwritten ? QString() : fieldValue(*node, field.field));
            }
        }
        open.push_back({std::move(object), {}, node->isGroup()});
    }
    closeTo(0);
    // Compact unless asked: indenting a large tree's deep levels makes the file several times
    // larger, past what an import reads.
    return QJsonDocument(top).toJson(indented ? QJsonDocument::Indented : QJsonDocument::Compact);
}

} // namespace DataExport
