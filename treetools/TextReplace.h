#pragma once

#include "tree/NodeFields.h"

#include <QString>

#include <vector>

class LinkNode;
class LinkTree;

// What the replace command looks for, in which field, and what it writes instead.
struct ReplaceChoice
{
    NodeField field = NodeField::Href;
    QString find;
    QString replacement;
    // A regular expression (QRegularExpression, captures as \1); otherwise plain text found as
    // find finds it, case, width and kana aside.
    bool regularExpression = false;
};

namespace TextReplace {

struct Change
{
    LinkNode *node;
    QString value;
};

// Every node whose field changes, in absolute order, with its new value. Names are replaced in
// groups and links, the other fields in links. A name left blank or broken over lines is not
// changed. An empty or malformed pattern throws VormikError.
std::vector<Change> changes(const LinkTree &tree, const ReplaceChoice &choice);

// `text` with each piece that matches the folded `foldedFind` replaced by `replacement`.
QString replacedFolded(const QString &text, const QString &foldedFind, const QString &replacement);

} // namespace TextReplace
