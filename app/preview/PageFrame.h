#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// The frame of a preview's page: all of it but its nodes' markup.
namespace PageFrame {

// A digest of `page` with each node's markup, found in order, taken out: two pages of equal
// digests differ only in their nodes' markup. Empty when some markup is not found as written.
QByteArray digest(const QString &page, const std::vector<QString> &markup);

} // namespace PageFrame
