#pragma once

#include <QString>
#include <QStringView>

// Addresses as a browser reads them from a page and writes them back.
namespace WebAddress {

// `address` as a browser serialises it after reading it from an href: without surrounding spaces
// and controls, tabs and line breaks; "\" as "/" before the query where the address is relative
// or of a scheme such as http: or file:; every character that is no URL code point (a space, a
// quote, a control, a lone surrogate, a second "#") percent-encoded as UTF-8. "%" stays as written,
// so the result leads where the browser would have gone.
QString serialised(const QString &address);

// The length of the scheme before its ":", or 0 when `address` names none.
qsizetype schemeLength(QStringView address);

// `address` without the spaces and controls a browser drops around it.
QStringView withoutSurroundings(QStringView address);

// Whether `address` (already serialised) names no scheme, so that the page's own address places it.
bool isRelative(const QString &address);

} // namespace WebAddress
