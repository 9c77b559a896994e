#pragma once

#include "import/ImportResult.h"
#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

#include <QString>

// Builds an import's tree node by node, counting groups and links, with every name and value
// made what the editor itself would keep: on one line, trimmed, and no deeper than
// Import::MaxDepth.
class ImportBuilder
{
public:
    explicit ImportBuilder(QString fileName);

    LinkNode *addGroup(LinkNode *parent, const QString &name);
    LinkNode *addLink(LinkNode *parent, const QString &name, const QString &href);
    void setField(LinkNode *node, NodeField field, const QString &text) { node->record().*fieldInfo(field).member = value(text); }
    // Sets each detail field (see isDetail) to what `valueOf` finds for its row of the table.
    template <typename Lookup>
    void setDetails(LinkNode *node, Lookup valueOf)
    {
        for (const NodeFieldInfo &field : NodeFields) {
            if (isDetail(field))
                node->record().*field.member = value(valueOf(field));
        }
    }
    void skip(const QString &what, int times = 1) { m_result.skipped[what] += times; }
    // Something the file holds that comes in changed or not at all.
    void lose(const QString &what, int times = 1) { m_result.losses[what] += times; }

    ImportResult &result() { return m_result; }
    // The result, its script addresses left out, and each link holding nodes that is left without
    // an address made a group.
    ImportResult take();

private:
    void checkDepth(const LinkNode *parent) const;
    // A value as the editor keeps it; characters a project file cannot hold are counted as lost.
    QString value(const QString &text);

    QString m_fileName;
    ImportResult m_result;
};
