#include "import/FormatReaders.h"

#include "import/HtmlDocument.h"
#include "import/ImportBuilder.h"
#include "text/VormikError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <vector>

namespace JsonReader {

namespace {

// Members as written: every one has the only colon outside a string.
qsizetype membersWritten(const QByteArray &bytes)
{
    qsizetype members = 0;
    bool inString = false;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (inString && c == '\\')
            ++i;
        else if (c == '"')
            inString = !inString;
        else if (!inString && c == ':')
            ++members;
    }
    return members;
}

// Members as read: the parser keeps one of each name in an object, the last.
qsizetype membersRead(const QJsonDocument &document)
{
    qsizetype members = 0;
    std::vector<QJsonValue> pending{document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object())};
    while (!pending.empty()) {
        const QJsonValue value = std::move(pending.back());
        pending.pop_back();
        if (value.isArray()) {
            for (const QJsonValue item : value.toArray())
                pending.push_back(item);
        } else if (value.isObject()) {
            const QJsonObject object = value.toObject();
            members += object.size();
            for (const QJsonValue item : object)
                pending.push_back(item);
        }
    }
    return members;
}

// Qt's parser drops a U+FEFF that starts a string written without escapes, taking it for a
// byte-order mark; written as an escape it stays. Outside a string it is a fault either way.
QByteArray withMarksEscaped(const QByteArray &bytes)
{
    const QByteArray mark = "\xEF\xBB\xBF";
    const QByteArray text = bytes.startsWith(mark) ? bytes.sliced(mark.size()) : bytes;
    return text.contains(mark) ? QByteArray(text).replace(mark, "\\ufeff") : text;
}

} // namespace

bool recognises(const QByteArray &bytes)
{
    const QByteArray start = bytes.first(std::min<qsizetype>(bytes.size(), 64)).trimmed();
    return start.startsWith('[') || start.startsWith('{');
}

ImportResult read(const QByteArray &bytes, const QString &fileName)
{
    HtmlDocument::checkSize(bytes.size(), fileName);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(withMarksEscaped(bytes), &error);
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
        const auto member = [&](const NodeFieldInfo &field) { return object.value(QLatin1StringView(field.jsonKey)).toString(); };
        const QString name = member(fieldInfo(NodeField::Text));
        const QJsonValue children = object.value(QStringLiteral("children"));
        const QString href = member(fieldInfo(NodeField::Href));
        LinkNode *made = children.isArray() && href.isEmpty() ? builder.addGroup(parent, name)
                                                              : builder.addLink(parent, name, href);
        builder.setDetails(made, member);
        if (children.isArray())
            pending.push_back({children.toArray(), 0, made});
    }
    if (const qsizetype duplicates = membersWritten(bytes) - membersRead(document); duplicates > 0)
        builder.lose(QStringLiteral("JSON の重複したキー（最後の値を使用）"), static_cast<int>(duplicates));
    return builder.take();
}

} // namespace JsonReader
