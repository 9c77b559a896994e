// The HTML5 page's default style sheet (resources/html5/menu.css): the tree lines are borders of
// pseudo-elements, so they stay joined at any font and zoom and are no part of the text a screen
// reader reads.
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
    // The sheet names the menu ROOT_CLASS and holds the font's place with a comment, so that it
    // stays a style sheet a linter reads.
    const QString font = fontName.isEmpty() ? QString()
                                            : QStringLiteral("\tfont-family: %1;\n").arg(cssString(fontName));
    return QLatin1Char('\n')
        + codeResource(QStringLiteral("menu.css"))
              .replace(QStringLiteral("ROOT_CLASS"), rootClass)
              .replace(QStringLiteral("\t/* FONT_FAMILY */\n"), font);
}

} // namespace Html5Page
