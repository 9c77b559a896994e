#pragma once

#include "html/PageTypes.h"

#include <QString>
#include <QStringList>

#include <vector>

class LinkNode;
class LinkTree;

// What both pages write alike: the class names, the page-head template and the program's own
// lines, the group ids and a link's attributes.
namespace PageGenerator {

inline const QStringList GroupClassCandidates = {
    QStringLiteral("titem"),  QStringLiteral("items"),  QStringLiteral("tnode"),    QStringLiteral("nodes"),
    QStringLiteral("tlink"),  QStringLiteral("links"),  QStringLiteral("groups"),   QStringLiteral("folder"),
    QStringLiteral("nodeitem"), QStringLiteral("lnkgrp"),
};
inline const QStringList RootClassCandidates = {
    QStringLiteral("tree"),   QStringLiteral("ttree"),  QStringLiteral("root"),    QStringLiteral("troot"),
    QStringLiteral("base"),   QStringLiteral("tbase"),  QStringLiteral("parent"),  QStringLiteral("tparent"),
    QStringLiteral("roots"),  QStringLiteral("troots"),
};

// Sets groupClassName and rootClassName: the trimmed class-name entry when the user gave one,
// otherwise the first candidate no node uses as its class. The root class is the first of its
// candidates that neither a node nor the group class uses.
void chooseClassNames(const LinkTree &tree, const ExportSettings &settings, PageParts &system);

// The page-head template, as lines.
QStringList templateLines();

// The page's title as the template writes it (already HTML text).
QString templateTitle();

// The program as the page names it, in the generator line and the footer.
inline const QString GeneratorName = QStringLiteral("Vormik Ver1.00");
// The maker's notice in the footer, and the web page it links to: the home page the build names
// (VORMIK_HOMEPAGE), or none.
inline const QString MakerNotice = QStringLiteral("このメニューはツリーメニュー作成ソフト Vormik で作りました。");
inline const QString MakerSite = QStringLiteral(VORMIK_HOMEPAGE);
inline const QString MakerSiteLinkText = QStringLiteral("Vormik のウェブサイトへ");

// The footer's link to MakerSite; empty when the build names no home page, so that no page links
// to an address that does not answer.
QString makerSiteLink();

// The id "group-LEVEL-N" of every group (PREFIX-LEVEL-N with another prefix), numbered per level
// across the tree; empty for a link.
std::vector<QString> numberGroups(const LinkTree &tree, const QString &prefix = QStringLiteral("group-"));

// Fills the report's lists of links whose id does not work as written on a page whose groups
// take `groupIds`.
void checkIds(const LinkTree &tree, const std::vector<QString> &groupIds, PageReport &report);

// Appends ` NAME="VALUE"` to `markup`, the value already escaped. Appended piece by piece: this
// runs for every field of every link, and arg() would parse a pattern each time.
void appendAttribute(QString &markup, const char *name, const QString &escapedValue);

// The attributes of a link's anchor: one for each field the page shows, in the table's order, none
// for an empty field. `escaped` makes a value attribute text. With `targetNeedsAddress`, a link
// without an address gets no target either. `address`, when given, rewrites the address before it
// is escaped.
QString linkAttributes(const LinkNode &link, QString (*escaped)(const QString &), bool targetNeedsAddress = false,
                       QString (*address)(const QString &) = nullptr);

} // namespace PageGenerator
