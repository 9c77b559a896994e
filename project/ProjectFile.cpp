#include "project/ProjectFile.h"

#include "project/NodeRecords.h"
#include "project/usexml.h"
#include "files/SafeFileWrite.h"
#include "text/TextRules.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <optional>

namespace ProjectFile {

namespace {
using TextRules::LineEnd;
using TextRules::FullWidthSpace;

// A number (sign, fraction and exponent allowed) is true unless it is zero; otherwise "True" or
// "False" in any letter case. Blanks around the value, as a reformatted file may have, are ignored.
std::optional<bool> truthValue(const QString &value)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]*)(?:\\.([0-9]*))?(?:[eE][+-]?[0-9]+)?$"));
    const QString text = TextRules::trimmed(value);
    const QRegularExpressionMatch match = number.match(text);
    if (match.hasMatch()) {
        const QString digits = match.captured(1) + match.captured(2);
        if (!digits.isEmpty())
            return digits.count(QLatin1Char('0')) != digits.size();
    }
    if (TextRules::same(text, QStringLiteral("True")))
        return true;
    if (TextRules::same(text, QStringLiteral("False")))
        return false;
    return std::nullopt;
}

bool isIndentation(QChar c)
{
    return c == QLatin1Char('\t') || c == QLatin1Char(' ');
}

// The lines of the outline text as the parser gave it, in UTF-8: a line ends at CR LF, a lone CR
// or a lone LF; a break at the very end starts no further line. Each line is decoded only when
// its node is made, so the outline of a large tree is never held as text a second time.
std::vector<QByteArrayView> outlineLines(QByteArrayView all)
{
    std::vector<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const char c = all.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.push_back(all.sliced(start, i - start));
        if (c == '\r' && i + 1 < all.size() && all.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < all.size())
        lines.push_back(all.sliced(start));
    return lines;
}

struct OutlineItem
{
    int level = 0;
    QString text;
};

// Splits a line into indentation and text. When the line ends with the node's own text as its
// `Text` element holds it (a full-width space for an empty one) and only TABs and blanks come
// before, those alone are the indentation, so texts that begin with blanks or TABs come back
// whole. Otherwise every leading TAB and blank counts as a level.
OutlineItem outlineItem(QStringView line, const NodeRecord *record)
{
    if (record && record->has(NodeField::Text)) {
        QString own = (*record)[NodeField::Text];
        if (own.isEmpty())
            own = FullWidthSpace;
        if (line.endsWith(own)) {
            const QStringView indentation = line.first(line.size() - own.size());
            if (std::all_of(indentation.begin(), indentation.end(), isIndentation))
                return {static_cast<int>(indentation.size()), own};
        }
    }
    qsizetype level = 0;
    while (level < line.size() && isIndentation(line.at(level)))
        ++level;
    return {static_cast<int>(level), line.sliced(level).toString()};
}

QString lineNote(long line)
{
    return line > 0 ? QStringLiteral("（%1 行目）").arg(line) : QString();
}

VormikError nodeFault(const QString &fileName, size_t index, const NodeRecord &record, const QString &detail)
{
    return VormikError(QStringLiteral("%1 の %2 番目の Node 要素%3: %4")
                           .arg(fileName, QString::number(index + 1), lineNote(record.line), detail));
}

// Rebuilds the tree's shape from the outline text; returns the nodes in line order, which is
// absolute order.
std::vector<LinkNode *> rebuildShape(LinkTree &tree, QByteArrayView outline, const std::vector<NodeRecord> &records,
                                     const QString &fileName, long firstLine)
{
    const std::vector<QByteArrayView> lines = outlineLines(outline);
    usexml::XmlTextDecoder decoder;
    std::vector<LinkNode *> made;
    made.reserve(lines.size());
    LinkNode *previous = nullptr;
    for (size_t k = 0; k < lines.size(); ++k) {
        const OutlineItem item = outlineItem(decoder.view(lines[k]), k < records.size() ? &records[k] : nullptr);
        // The first line's level does not count; every later node becomes a child of the previous
        // node or of one above it.
        LinkNode *parent = previous;
        if (previous && item.level > previous->level() + 1) {
            const QString where = lineNote(firstLine > 0 ? firstLine + static_cast<long>(k) : 0);
            throw VormikError(QStringLiteral("%1 の Nodes 要素%2: アイテム \"%3\" の階層 (%4) が不正です")
                                  .arg(fileName, where, item.text, QString::number(item.level)));
        }
        while (parent && parent->level() >= item.level)
            parent = parent->parent();
        previous = tree.appendLink(parent, item.text);
        made.push_back(previous);
    }
    return made;
}

void applyRecord(LinkTree &tree, LinkNode *node, const NodeRecord &record, size_t index, const QString &fileName)
{
    for (const NodeFieldInfo &field : NodeFields) {
        if (field.field != NodeField::Text && !record.has(field.field))
            throw nodeFault(fileName, index, record,
                            QStringLiteral("%1 要素がありません").arg(QString::fromLatin1(field.elementName)));
    }
    const QString &groupValue = record[NodeField::Group];
    const std::optional<bool> group = truthValue(groupValue);
    if (!group)
        throw nodeFault(fileName, index, record, QStringLiteral("'%1' は真偽値 (True または False) ではありません").arg(groupValue));
    node->record().Group = *group;
    for (const NodeFieldInfo &field : NodeFields) {
        if (field.member)
            setFieldValue(tree, *node, field.field, record[field.field]);
    }
}

QString cannotCreate(const QString &path)
{
    return QStringLiteral("ファイル %1 を作成できません").arg(path);
}

// Appends the node's line of an outline whose top level is `baseLevel`.
void addOutlineLine(QString &text, const LinkNode *node, int baseLevel)
{
    text += QString(node->level() - baseLevel, QLatin1Char('\t'));
    text += node->text().isEmpty() ? QString(FullWidthSpace) : node->text();
    text += LineEnd;
}

// A run of nodes in absolute order, `baseLevel` written as the top level.
struct Run
{
    std::span<LinkNode *const> nodes;
    int baseLevel;
};

// The subtrees of `roots`, each a run whose root is written at the top level.
std::vector<Run> subtreeRuns(const LinkTree &tree, const std::vector<LinkNode *> &roots)
{
    std::vector<Run> runs;
    runs.reserve(roots.size());
    for (const LinkNode *root : roots)
        runs.push_back({tree.subtree(root), root->level()});
    return runs;
}

QString outlineOf(const std::vector<Run> &runs)
{
    QString text;
    for (const Run &run : runs) {
        for (const LinkNode *node : run.nodes)
            addOutlineLine(text, node, run.baseLevel);
    }
    return text;
}

constexpr char SettingsElement[] = "ExportSettings";

// Gathers the texts of each settings element, and hands every event on to the node collector.
class SettingsCollector final : public usexml::XmlEvents
{
public:
    explicit SettingsCollector(usexml::XmlEvents &nodes) : m_nodes(nodes) {}
    Outputs outputs;

    void elementStarted(const char *localName, long line) override
    {
        m_nodes.elementStarted(localName, line);
        ++m_depth;
        // Each settings element right below the root is an output; each of its children a setting.
        if (m_depth == 2 && std::strcmp(localName, SettingsElement) == 0) {
            m_inside = true;
            outputs.emplace_back();
        } else if (m_depth == 3 && m_inside) {
            outputs.back().push_back({QByteArray(localName), {}});
            m_text.clear();
        }
    }
    void elementEnded() override
    {
        m_nodes.elementEnded();
        if (m_depth == 3 && m_inside)
            outputs.back().back().value = m_decoder(m_text);
        else if (m_depth == 2)
            m_inside = false;
        --m_depth;
    }
    void textFound(const char *utf8, int length) override
    {
        m_nodes.textFound(utf8, length);
        if (m_depth >= 3 && m_inside)
            m_text.append(utf8, length);
    }

private:
    usexml::XmlEvents &m_nodes;
    int m_depth = 0;
    bool m_inside = false;
    QByteArray m_text;
    usexml::XmlTextDecoder m_decoder;
};

QByteArray writeNodes(const std::vector<Run> &runs, const Outputs &outputs = {})
{
    usexml::XmlWriter xml("NodeData");
    xml.startElement("Application");
    xml.textElement("AppTitle", QStringLiteral("Vormik"));
    xml.textElement("AppVersion", QStringLiteral("1.00"));
    xml.endElement();
    // Line by line: a deep tree's outline is mostly TABs, far more than its nodes.
    xml.startElement("Nodes");
    QString line;
    for (const Run &run : runs) {
        for (const LinkNode *node : run.nodes) {
            line.clear();
            addOutlineLine(line, node, run.baseLevel);
            xml.text(line);
        }
    }
    xml.endElement();
    size_t k = 0;
    for (const Run &run : runs) {
        for (const LinkNode *node : run.nodes) {
            xml.startElement("Node");
            xml.textElement("AbsoluteIndex", QString::number(k++));
            for (const NodeFieldInfo &field : NodeFields) {
                if (field.field == NodeField::Group)
                    xml.textElement(field.elementName,
                                    node->isGroup() ? QStringLiteral("True") : QStringLiteral("False"));
                else
                    xml.textElement(field.elementName, fieldValue(*node, field.field));
            }
            xml.endElement();
        }
    }
    for (const Settings &settings : outputs) {
        xml.startElement(SettingsElement);
        for (const Setting &setting : settings)
            xml.textElement(setting.name.constData(), setting.value);
        xml.endElement();
    }
    return xml.finish();
}

} // namespace

QString outlineText(const LinkTree &tree)
{
    return outlineOf({{tree.nodes(), 0}});
}

QByteArray write(const LinkTree &tree, const Outputs &outputs)
{
    return writeNodes({{tree.nodes(), 0}}, outputs);
}

QByteArray writeFragment(const LinkTree &tree, const std::vector<LinkNode *> &roots)
{
    return writeNodes(subtreeRuns(tree, roots));
}

QString outlineFragment(const LinkTree &tree, const std::vector<LinkNode *> &roots)
{
    return outlineOf(subtreeRuns(tree, roots));
}

void save(const LinkTree &tree, const QString &path, const Outputs &outputs)
{
    // Everything is in memory before the file is touched.
    const QByteArray bytes = write(tree, outputs);
    // A file Open would refuse is not written: the old one stays, and the user hears why now.
    if (bytes.size() > MaxFileSize)
        throw VormikError(cannotCreate(path) + QStringLiteral(": %1 MB を超えるプロジェクトは保存できません")
                                                   .arg(MaxFileSize >> 20));
    if (const auto failure = writeFileSafely(path, bytes))
        throw VormikError(cannotCreate(path) + QStringLiteral(": ") + *failure);
}

Project readProject(const QByteArray &bytes, const QString &fileName)
{
    // The outline is read as the parser meets it: it may be longer than one text node can hold.
    usexml::StreamedText outline("Nodes");
    NodeCollector collector;
    SettingsCollector settings(collector);
    usexml::parse(bytes, fileName, outline, settings);
    if (!outline.found)
        throw VormikError(QStringLiteral("%1 に Nodes 要素がありません").arg(fileName));

    const std::vector<NodeRecord> &records = collector.records;
    auto tree = std::make_unique<LinkTree>();
    const std::vector<LinkNode *> made =
        rebuildShape(*tree, outline.utf8, records, fileName, outline.line);
    if (records.size() > made.size())
        throw nodeFault(fileName, made.size(), records[made.size()], QStringLiteral("不正なインデックス"));
    for (size_t i = 0; i < made.size(); ++i) {
        // A lone full-width space in the outline stands for an empty text, unless the Text element
        // says the text is that very space. A line without its Node element reads so too, which
        // keeps a save and an open from changing it.
        if (made[i]->text() == FullWidthSpace && (i >= records.size() || records[i][NodeField::Text].isEmpty()))
            tree->setText(made[i], {});
        if (i < records.size())
            applyRecord(*tree, made[i], records[i], i, fileName);
    }

    return {std::move(tree), std::move(settings.outputs)};
}

std::unique_ptr<LinkTree> read(const QByteArray &bytes, const QString &source)
{
    return readProject(bytes, source).tree;
}

std::unique_ptr<LinkTree> open(const QString &path)
{
    return openProject(path).tree;
}

Project openProject(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw VormikError(QStringLiteral("ファイル %1 を開けません: %2").arg(path, file.errorString()));
    const auto tooLarge = [&] {
        return VormikError(QStringLiteral("ファイル %1 は大きすぎます（%2 MB まで）").arg(path, QString::number(MaxFileSize >> 20)));
    };
    // A regular file is measured before anything is read; the read's own limit covers the rest.
    if (file.size() > MaxFileSize)
        throw tooLarge();
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        throw VormikError(QStringLiteral("ファイル %1 を読み込めません: %2").arg(path, file.errorString()));
    if (bytes.size() > MaxFileSize)
        throw tooLarge();
    return readProject(bytes, QStringLiteral("ファイル %1").arg(path));
}

} // namespace ProjectFile
