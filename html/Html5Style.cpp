// The HTML5 page's default style sheet: the tree lines are borders of pseudo-elements, so they
// stay joined at any font and zoom and are no part of the text a screen reader reads.
#include "html/Html5Page.h"

namespace Html5Page {

QString cssString(const QString &text)
{
    QString result = QStringLiteral("\"");
    for (const char32_t codePoint : text.toUcs4()) {
        // A quote or backslash would end or bend the string; a control character cannot stand
        // in it; "<" could start the element's end tag. The space after a hex escape ends it.
        if (codePoint == U'"' || codePoint == U'\\')
            result += QLatin1Char('\\') + QChar(codePoint);
        else if (codePoint < 0x20 || codePoint == 0x7F || codePoint == U'<')
            result += QStringLiteral("\\%1 ").arg(static_cast<uint>(codePoint), 0, 16);
        else
            result += QString::fromUcs4(&codePoint, 1);
    }
    return result + QLatin1Char('"');
}

QString styleRules(const QString &rootClass, const QString &fontName)
{
    // Nested items hang half an em in from their parent's text: the vertical line runs down the
    // left edge of each item (only to the middle of the first line for the last one), the branch
    // runs from it to the item's text. 0.75em is the middle of a 1.5em line. A long name wraps,
    // anywhere if it must, and its further lines hang 1em in, clear of the lines below its item.
    // Lines, marks and the focus ring take the text's colour, so they keep its contrast in the
    // dark scheme as well. A link fills its line, so each target is a whole line high. A link
    // whose name runs right to left starts at the right edge, where the hanging indent would push
    // its first line out of view: there the padding takes the indent back.
    // Chromium walks the whole document to renumber counters whenever an element with a counter
    // or with style containment comes or goes; a group's click did that twice over (its content's
    // containment switches with content-visibility, the headings it shows carry the browser's
    // counter-increment), some 40 ms at 100,000 nodes. Headings count nothing here and the
    // content is always contained, so opening and closing a group touches only that group.
    QString css = QStringLiteral("\n.%1 {\n").arg(rootClass);
    if (!fontName.isEmpty())
        css += QStringLiteral("\tfont-family: %1;\n").arg(cssString(fontName));
    css += QStringLiteral(
               "\tline-height: 1.5;\n"
               "\toverflow-wrap: anywhere;\n"
               "\tmargin-left: 3px;\n"
               "}\n"
               ".%1 ul {\n"
               "\tlist-style: none;\n"
               "\tmargin: 0;\n"
               "\tpadding: 0;\n"
               "}\n"
               ".%1 li {\n"
               "\tpadding-left: 1em;\n"
               "\ttext-indent: -1em;\n"
               "}\n"
               ".%1 ul ul {\n"
               "\tmargin-left: -0.5em;\n"
               "}\n"
               ".%1 ul ul > li {\n"
               "\tposition: relative;\n"
               "\tpadding-left: 1.75em;\n"
               "}\n"
               ".%1 ul ul > li::before {\n"
               "\tcontent: \"\";\n"
               "\tposition: absolute;\n"
               "\tleft: 0;\n"
               "\ttop: 0;\n"
               "\tbottom: 0;\n"
               "\tborder-left: 1px solid;\n"
               "}\n"
               ".%1 ul ul > li:last-child::before {\n"
               "\tbottom: auto;\n"
               "\theight: 0.75em;\n"
               "}\n"
               ".%1 ul ul > li::after {\n"
               "\tcontent: \"\";\n"
               "\tposition: absolute;\n"
               "\tleft: 0;\n"
               "\ttop: 0.75em;\n"
               "\twidth: 0.6em;\n"
               "\tborder-top: 1px solid;\n"
               "}\n"
               ".%1 summary {\n"
               "\tcursor: pointer;\n"
               "\tcounter-increment: none;\n"
               "}\n"
               ".%1 details::details-content {\n"
               "\tcontain: style;\n"
               "}\n"
               ".%1 li > a {\n"
               "\tdisplay: block;\n"
               "}\n"
               ".%1 li > a:dir(rtl) {\n"
               "\tpadding-right: 1em;\n"
               "}\n"
               ".%1 a[href] {\n"
               "\tcolor: #000080;\n"
               "\ttext-decoration: none;\n"
               "}\n"
               ".%1 a[href]:hover, .%1 a[href]:focus {\n"
               "\ttext-decoration: underline;\n"
               "}\n"
               ".%1 a[aria-current=\"page\"] {\n"
               "\tfont-weight: bold;\n"
               "}\n"
               ".%1 a:focus-visible, .%1 summary:focus-visible {\n"
               "\toutline: 2px solid;\n"
               "\toutline-offset: 1px;\n"
               "}\n"
               ":root {\n"
               "\tcolor-scheme: light dark;\n"
               "}\n"
               "@media (prefers-color-scheme: dark) {\n"
               "\t:root {\n"
               "\t\tbackground: #121212;\n"
               "\t\tcolor: #e8e8e8;\n"
               "\t}\n"
               "\ta[href], .%1 a[href] {\n"
               "\t\tcolor: #9fc5ff;\n"
               "\t}\n"
               "}\n")
               .arg(rootClass);
    return css;
}

} // namespace Html5Page
