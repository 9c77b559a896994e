#pragma once

#include "import/ImportResult.h"

#include <QString>

class LinkNode;

// Builds an import's tree node by node, counting groups and links, with every name and value
// made what the editor itself would keep: on one line, trimmed, and no deeper than
// Import::MaxDepth.
class ImportBuilder
{
public:
    explicit ImportBuilder(QString fileName);

    LinkNode *addGroup(LinkNode *parent, const QString &name);
    LinkNode *addLink(LinkNode *parent, const QString &name, const QString &href);
    void setTarget(LinkNode *node, const QString &value);
    void setClass(LinkNode *node, const QString &value);
    void setId(LinkNode *node, const QString &value);
    void skip(const QString &what, int times = 1);
    // Something the file holds that comes in changed or not at all.
    void lose(const QString &what, int times = 1);

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
