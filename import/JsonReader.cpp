#include "import/JsonReader.h"

#include "import/HtmlDocument.h"
#include "import/ImportBuilder.h"
#include "text/VormikError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <vector>

namespace JsonReader {

bool recognises(const QByteArray &bytes)
{
    const QByteArray start = bytes.first(std::min<qsizetype>(bytes.size(), 64)).trimmed();
    return start.startsWith('[') || start.startsWith('{');
}

ImportResult read(const QByteArray &bytes, const QString &fileName)
{
    HtmlDocument::checkSize(bytes.size(), fileName);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError)
        throw VormikError(QStringLiteral("ファイル %1 を読み込めません（%2 文字目）: %3")
                              .arg(fileName, QString::number(error.offset), error.errorString()));
    if (!document.isArray())
        HtmlDocument::notFormat(fileName, QStringLiteral("JSON のメニューデータ"));
    ImportBuilder builder(fileName);
    // Arrays still to read, with the node their items go under.
    struct Pending
    {
        QJsonArray items;
        qsizetype next;
        LinkNode *parent;
    };
    std::vector<Pending> pending{{document.array(), 0, nullptr}};
    while (!pending.empty()) {
        Pending &top = pending.back();
        if (top.next == top.items.size()) {
            pending.pop_back();
            continue;
        }
        const QJsonValue item = top.items.at(top.next++);
        LinkNode *parent = top.parent;
        if (!item.isObject()) {
            builder.skip(QStringLiteral("ノードでない値"));
            continue;
        }
        const QJsonObject object = item.toObject();
        const QString name = object.value(QStringLiteral("name")).toString();
        const QJsonValue children = object.value(QStringLiteral("children"));
        const QString href = object.value(QStringLiteral("href")).toString();
        LinkNode *made = children.isArray() && href.isEmpty() ? builder.addGroup(parent, name)
                                                              : builder.addLink(parent, name, href);
        builder.setTarget(made, object.value(QStringLiteral("target")).toString());
        builder.setClass(made, object.value(QStringLiteral("class")).toString());
        builder.setId(made, object.value(QStringLiteral("id")).toString());
        if (children.isArray())
            pending.push_back({children.toArray(), 0, made});
    }
    return builder.take();
}

} // namespace JsonReader
