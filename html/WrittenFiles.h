#pragma once

#include "html/ExportChoice.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>

// The files an export writes, and how this program knows the ones it wrote itself: a page by its
// generator line, a style sheet or script beside a page by the comment it opens with. Bookmarks,
// OPML and JSON carry no such mark, so such a file is never taken for this program's own.
namespace WrittenFiles {

// The first line of every style sheet and script written beside a page, without its line end.
QByteArray companionMark();

// Every file an export of `choice` writes: the page or the data file, then the page's style sheet
// and script when they are files of their own.
QStringList paths(const ExportChoice &choice);

// Whether the file at `path` is one this program wrote.
bool isOwn(const QString &path);

// Whether every one of `paths` lies inside `folder` or a folder below it, links followed.
bool allInside(const QStringList &paths, const QString &folder);

// Those of `paths` that exist and that this program did not write: the files an export would
// replace that may hold the user's own work.
QStringList othersIn(const QStringList &paths);

} // namespace WrittenFiles
