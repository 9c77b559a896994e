// The HTML5 page's script: it marks the link to the page being shown and opens the groups above
// it. It stands right after the menu and defines no global name, so it meets nothing of the
// site's own scripts.
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
    return QStringLiteral(
        "(function () {\n"
        "\t'use strict';\n"
        "\tvar menu = document.currentScript.previousElementSibling;\n"
        "\tvar marked = [];\n"
        "\tfunction pageOf(address) {\n"
        "\t\treturn address.split('#')[0].split('?')[0].replace(/%[0-9a-f]{2}/gi, function (code) {\n"
        "\t\t\tvar c = String.fromCharCode(parseInt(code.slice(1), 16));\n"
        "\t\t\treturn /[\\w.~-]/.test(c) ? c : code.toUpperCase();\n"
        "\t\t}).replace(/\\/index\\.html?$/, '/');\n"
        "\t}\n"
        "\tfunction decoded(text) {\n"
        "\t\ttry {\n"
        "\t\t\treturn decodeURIComponent(text);\n"
        "\t\t} catch (e) {\n"
        "\t\t\treturn text;\n"
        "\t\t}\n"
        "\t}\n"
        "\tfunction mark(links) {\n"
        "\t\tmarked.forEach(function (link) { link.removeAttribute('aria-current'); });\n"
        "\t\tmarked = links;\n"
        "\t\tlinks.forEach(function (link) {\n"
        "\t\t\tlink.setAttribute('aria-current', 'page');\n"
        "\t\t\tfor (var up = link.parentNode; up !== menu; up = up.parentNode) {\n"
        "\t\t\t\tif (up.tagName === 'DETAILS')\n"
        "\t\t\t\t\tup.open = true;\n"
        "\t\t\t}\n"
        "\t\t});\n"
        "\t}\n"
        "\tvar here = pageOf(location.href);\n"
        "\tvar path = location.pathname.replace(/\\/index\\.html?$/, '/');\n"
        "\tvar slash = path.slice(-1) === '/' ? '/' : '';\n"
        "\tvar folder = path.slice(0, path.length - slash.length);\n"
        "\tvar page = decoded(folder.slice(folder.lastIndexOf('/') + 1)) + slash;\n"
        "\tvar current = [];\n"
        "\t[page.replace(/[\\0- %#?\\x7f]/g, encodeURIComponent), '?'].forEach(function (key) {\n"
        "\t\tfor (var n = 1, item; (item = document.getElementById('")
        + indexPrefix
        + QStringLiteral("' + key + (n > 1 ? '#' + n : ''))); n++) {\n"
        "\t\t\tvar link = item.firstElementChild;\n"
        "\t\t\tif (menu.contains(item) && link.href && pageOf(link.href) === here)\n"
        "\t\t\t\tcurrent.push(link);\n"
        "\t\t}\n"
        "\t});\n"
        "\tmark(current);\n"
        "\tmenu.addEventListener('click', function (event) {\n"
        "\t\tvar link = event.target.closest('a[href][target]');\n"
        "\t\tif (link && link.target !== '_blank' && !/^[\\0- ]*#/.test(link.getAttribute('href')) && event.button === 0\n"
        "\t\t\t\t&& !(event.ctrlKey || event.shiftKey || event.altKey || event.metaKey))\n"
        "\t\t\tmark([link]);\n"
        "\t});\n"
        "\tmenu.addEventListener('keydown', function (event) {\n"
        "\t\tvar group = event.key === 'Escape' && event.target.closest('details[open]');\n"
        "\t\tif (!group || !menu.contains(group))\n"
        "\t\t\treturn;\n"
        "\t\tgroup.open = false;\n"
        "\t\tgroup.querySelector('summary').focus();\n"
        "\t\tevent.preventDefault();\n"
        "\t});\n"
        "\tvar closedForPrint = [];\n"
        "\taddEventListener('beforeprint', function () {\n"
        "\t\tclosedForPrint = Array.prototype.filter.call(menu.querySelectorAll('details'), function (group) {\n"
        "\t\t\treturn !group.open;\n"
        "\t\t});\n"
        "\t\tclosedForPrint.forEach(function (group) { group.open = true; });\n"
        "\t});\n"
        "\taddEventListener('afterprint', function () {\n"
        "\t\tclosedForPrint.forEach(function (group) { group.open = false; });\n"
        "\t\tclosedForPrint = [];\n"
        "\t});\n"
        "}());\n");
}

} // namespace Html5Page
