// What both pages write alike: class names, the template and the program's own lines, group ids
// and a link's attributes.
#include "html/SharedMarkup.h"

#include "text/Cp932Codec.h"
#include "text/TextRules.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"
#include "tree/NodeFields.h"
#include "tree/UsedValues.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace PageGenerator {

namespace {

QString firstFreeWord(const QStringList &candidates, const QSet<QString> &used)
{
    for (const QString &word : candidates) {
        if (!used.contains(word.toCaseFolded()))
            return word;
    }
    // Every word taken: number the first one until the name is free. At most one try per node.
    for (int n = 1;; ++n) {
        const QString word = candidates.constFirst() + QString::number(n);
        if (!used.contains(word.toCaseFolded()))
            return word;
    }
}

} // namespace

QStringList templateLines()
{
    QFile resource(QStringLiteral(":/HTMLHEAD"));
    if (!resource.open(QIODevice::ReadOnly))
        throw VormikError(QStringLiteral("ページの雛形 HTMLHEAD を読めません"));
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    return Cp932::decode(resource.readAll()).split(lineEnd);
}

QString templateTitle()
{
    static const QRegularExpression title(QStringLiteral("<title>(.*)</title>"));
    for (const QString &line : templateLines()) {
        const QRegularExpressionMatch match = title.match(line);
        if (match.hasMatch())
            return match.captured(1);
    }
    return {};
}

void chooseClassNames(const LinkTree &tree, const ExportSettings &settings, PageParts &system)
{
    QSet<QString> used = UsedValues::foldedClasses(tree);
    const QString entry = TextRules::trimmed(settings.classNameEntry);
    if (settings.classNameEntry != ExportSettings::ClassNamePlaceholder && !entry.isEmpty())
        system.groupClassName = entry;
    else
        system.groupClassName = firstFreeWord(GroupClassCandidates, used);
    // The script hides every block of the group class; the root block must not be one of them.
    used.insert(system.groupClassName.toCaseFolded());
    system.rootClassName = firstFreeWord(RootClassCandidates, used);
}

QString makerSiteLink()
{
    if (MakerSite.isEmpty())
        return {};
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(MakerSite.toHtmlEscaped(), MakerSiteLinkText.toHtmlEscaped());
}

void appendAttribute(QString &markup, const char *name, const QString &escapedValue)
{
    markup += QLatin1Char(' ');
    markup += QLatin1String(name);
    markup += QLatin1String("=\"");
    markup += escapedValue;
    markup += QLatin1Char('"');
}

QString linkAttributes(const LinkNode &link, QString (*escaped)(const QString &), bool targetNeedsAddress,
                       QString (*address)(const QString &))
{
    const bool noTarget = targetNeedsAddress && link.record().Href.isEmpty();
    QString attributes;
    for (const NodeFieldInfo &field : NodeFields) {
        if (noTarget && field.field == NodeField::Target)
            continue;
        const QString &value = field.linkAttribute ? fieldValue(link, field.field) : QString();
        if (value.isEmpty())
            continue;
        if (address && field.field == NodeField::Href)
            appendAttribute(attributes, field.linkAttribute, escaped(address(value)));
        else
            appendAttribute(attributes, field.linkAttribute, escaped(value));
    }
    return attributes;
}

std::vector<QString> numberGroups(const LinkTree &tree, const QString &prefix)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    std::vector<QString> ids(nodes.size());
    std::vector<int> counters(static_cast<size_t>(tree.deepestLevel()) + 1, 0);
    for (size_t row = 0; row < nodes.size(); ++row) {
        if (nodes[row]->isGroup()) {
            const auto level = static_cast<size_t>(nodes[row]->level());
            ids[row] = prefix + QString::number(level) + QLatin1Char('-') + QString::number(counters[level]++);
        }
    }
    return ids;
}

void checkIds(const LinkTree &tree, const std::vector<QString> &groupIds, PageReport &report)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    // Built from the groups alone: a set sized for every node would cost a flat tree dearly.
    QSet<QString> generated;
    for (const QString &id : groupIds) {
        if (!id.isEmpty())
            generated.insert(id);
    }
    QSet<QString> seen;
    for (size_t row = 0; row < nodes.size(); ++row) {
        const QString &id = nodes[row]->record().ObjID;
        // Only a link's anchor carries its id.
        if (nodes[row]->isGroup() || id.isEmpty())
            continue;
        const int index = static_cast<int>(row);
        if (std::any_of(id.begin(), id.end(), [](QChar c) {
                return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
            }))
            report.spacedIds.push_back(index);
        if (generated.contains(id))
            report.groupIdClashes.push_back(index);
        else if (seen.contains(id))
            report.sharedIds.push_back(index);
        seen.insert(id);
    }
}

} // namespace PageGenerator
