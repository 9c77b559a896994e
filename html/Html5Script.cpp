// The HTML5 page's script (resources/html5/menu.js): it marks the link to the page being shown and
// opens the groups above it. It stands right after the menu and defines no global name, so it
// meets nothing of the site's own scripts.
#include "html/Html5Page.h"

namespace Html5Page {

// A page's address is compared without fragment and query, a directory's as its index.html, and
// as a browser compares addresses: percent-encoding in capitals, unreserved characters decoded. The
// candidates come from the page index, a hashed look-up by the last segment of the shown page's
// path: at 100,000 links even one walk over the menu by the browser's selector engine would take
// most of the time allowed. Links only the browser can place are looked at on every page. Links
// into a frame leave this page where it is, so there the mark follows the link last followed,
// unless it is to a fragment (which the browser reads after dropping leading spaces and controls).
// Escape closes the open group around the focus, as a disclosure menu does; a print shows every
// group, and the groups are as they were afterwards.
QString scriptText(const QString &indexPrefix)
{
    // The script holds the prefix's place with INDEX_PREFIX in a string, so that it stays a script
    // a linter reads.
    return codeResource(QStringLiteral("menu.js")).replace(QStringLiteral("INDEX_PREFIX"), indexPrefix);
}

} // namespace Html5Page
