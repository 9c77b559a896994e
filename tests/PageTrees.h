#pragma once

#include "tree/LinkTree.h"

// A link with its fields, for the page tests.
inline LinkNode *link(LinkTree &tree, LinkNode *parent, const QString &text, const QString &href = {},
                      const QString &target = {}, const QString &id = {}, const QString &cls = {})
{
    LinkNode *node = tree.appendLink(parent, text);
    node->record().Href = href;
    node->record().Target = target;
    node->record().ObjID = id;
    node->record().Class = cls;
    return node;
}

// The tree of the worked example: Docs { FAQ, Guide { Intro, Setup } }, News.
inline void buildWorkedExample(LinkTree &tree)
{
    LinkNode *docs = tree.appendGroup(nullptr, QStringLiteral("Docs"));
    link(tree, docs, QStringLiteral("FAQ"), QStringLiteral("faq.html"), {}, QStringLiteral("faq"), QStringLiteral("hot"));
    LinkNode *guide = tree.appendGroup(docs, QStringLiteral("Guide"));
    link(tree, guide, QStringLiteral("Intro"), QStringLiteral("intro.html"));
    link(tree, guide, QStringLiteral("Setup"), QStringLiteral("setup.html"), QStringLiteral("_blank"));
    link(tree, nullptr, QStringLiteral("News"), QStringLiteral("news.html"));
}
