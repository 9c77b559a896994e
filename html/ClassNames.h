#pragma once

#include "html/ExportSettings.h"
#include "html/PageParts.h"

#include <QStringList>

class LinkTree;

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

} // namespace PageGenerator
