// The HTML5 page's style and script and where the page keeps them: inline, with the hashes a
// Content-Security-Policy needs to allow them, or as files beside the page that a policy of 'self'
// allows.
//
// The default style sheet (resources/html5/menu.css) draws the tree lines as borders of
// pseudo-elements, so they stay joined at any font and zoom and are no part of the text a screen
// reader reads. The script (resources/html5/menu.js) marks the link to the page being shown and
// opens the groups above it. It stands right after the menu and defines no global name, so it
// meets nothing of the site's own scripts.
#include "html/Html5Page.h"
#include "html/WrittenFiles.h"

#include "text/VormikError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace Html5Page {

namespace {

QString policySource(const char *directive, const QString &content)
{
    const QByteArray hash = QCryptographicHash::hash(content.toUtf8(), QCryptographicHash::Sha256).toBase64();
    return QStringLiteral("%1 'sha256-%2'").arg(QLatin1String(directive), QString::fromLatin1(hash));
}

// The file beside the page with the page's name and `suffix`, and its address relative to the page.
struct Companion
{
    QString path;
    QString address;
};

QString companionName(const QString &pagePath, const QString &suffix)
{
    return QFileInfo(pagePath).completeBaseName() + suffix;
}

Companion companion(const QString &pagePath, const QString &suffix)
{
    const QFileInfo page(pagePath);
    const QString name = companionName(pagePath, suffix);
    Companion file{page.dir().filePath(name), QString::fromLatin1(QUrl::toPercentEncoding(name))};
    if (QFileInfo(file.path).absoluteFilePath().compare(page.absoluteFilePath(), Qt::CaseInsensitive) == 0)
        throw VormikError(QStringLiteral("ページ %1 と同じ名前のファイルにスタイルやスクリプトは書けません")
                              .arg(QDir::toNativeSeparators(pagePath)));
    return file;
}

// A file's content after the mark that tells it for this program's own; the content starts a line.
QByteArray markedFile(const QString &content)
{
    return WrittenFiles::companionMark() + content.toUtf8();
}

// The text of the style sheet or script resources/html5/`name`, compiled in, with its placeholders.
QString codeResource(const QString &name)
{
    QFile resource(QStringLiteral(":/html5/") + name);
    if (!resource.open(QIODevice::ReadOnly))
        throw VormikError(QStringLiteral("ページの部品 %1 を読めません").arg(name));
    return QString::fromUtf8(resource.readAll());
}

// A CSS string literal, quotes included, that reads back as `text`; it cannot end the style
// element it stands in.
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

// The default style's rules for the menu `.rootClass`, as the style element holds them or a style
// file: tree lines and indentation, and the font when one is named.
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

// The script that marks the link to the page being shown, without the element around it. It finds
// the links by the ids pageIndexIds() gives them with `indexPrefix`.
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

} // namespace

QStringList companionPaths(const ExportSettings &settings)
{
    QStringList paths;
    if (settings.format != PageFormat::Html5 || !settings.separateFiles)
        return paths;
    const QDir folder = QFileInfo(settings.outputFileName).dir();
    if (settings.defaultStyleSheet)
        paths << folder.filePath(companionName(settings.outputFileName, QStringLiteral(".css")));
    if (settings.foldingScript)
        paths << folder.filePath(companionName(settings.outputFileName, QStringLiteral(".js")));
    return paths;
}

QString placeStyleAndScript(const QString &indexPrefix, const ExportSettings &settings, PageParts &system,
                            PageReport &report)
{
    const QString rules = settings.defaultStyleSheet ? styleRules(system.rootClassName, settings.fontName) : QString();
    const QString script = settings.foldingScript ? QStringLiteral("\n") + scriptText(indexPrefix) : QString();
    QString scriptElement;
    if (settings.separateFiles) {
        system.styleSheet.clear();
        if (!rules.isEmpty()) {
            const Companion css = companion(settings.outputFileName, QStringLiteral(".css"));
            system.styleSheet = QStringLiteral("<link rel=\"stylesheet\" href=\"%1\">").arg(css.address);
            report.companionFiles.emplace_back(css.path, markedFile(rules));
        }
        if (!script.isEmpty()) {
            const Companion js = companion(settings.outputFileName, QStringLiteral(".js"));
            scriptElement = QStringLiteral("<script src=\"%1\"></script>").arg(js.address);
            report.companionFiles.emplace_back(js.path, markedFile(script));
        }
        return scriptElement;
    }
    system.styleSheet = rules.isEmpty() ? QString() : QStringLiteral("<style>") + rules + QStringLiteral("</style>");
    if (!rules.isEmpty())
        report.policySources << policySource("style-src", rules);
    if (!script.isEmpty()) {
        report.policySources << policySource("script-src", script);
        scriptElement = QStringLiteral("<script>") + script + QStringLiteral("</script>");
    }
    return scriptElement;
}

} // namespace Html5Page
