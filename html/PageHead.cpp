// The page's head and footer: class names, stylesheet and the processed template.
#include "html/ClassicPage.h"
#include "html/SharedMarkup.h"

#include "text/Cp932Codec.h"
#include "text/TextRules.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"
#include "tree/UsedValues.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace PageGenerator {

namespace {
using TextRules::LineEnd;

QStringList splitLines(const QString &text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineEnd);
}

QString firstFreeWord(const QStringList &candidates, const QSet<QString> &used)
{
    for (const QString &word : candidates) {
        if (!used.contains(word.toCaseFolded()))
            return word;
    }
    // Every word taken: number the first one until the name is free. At most one try per node.
    for (int n = 1;; ++n) {
        const QString word = candidates.constFirst() + QString::number(n);
        if (!used.contains(word.toCaseFolded()))
            return word;
    }
}

// Script and style elements do not read character references, the form the page gives a
// character Shift_JIS cannot hold; there such a character takes the language's own escape.
// The escape is also told the code point after it (0 at the end).
QString withEscapes(const QString &text, QString (*escape)(char32_t codePoint, char32_t next))
{
    const QList<uint> codePoints = text.toUcs4();
    QString result;
    for (qsizetype i = 0; i < codePoints.size(); ++i) {
        const char32_t codePoint = codePoints.at(i);
        if (Cp932::holds(codePoint))
            result += QString::fromUcs4(&codePoint, 1);
        else
            result += escape(codePoint, codePoints.value(i + 1, 0));
    }
    return result;
}

QString upperHex(uint value, int digits)
{
    return QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

// "\uXXXX" for each UTF-16 unit, so a pair of them above U+FFFF.
QString scriptEscape(char32_t codePoint, char32_t /*next*/)
{
    QString result;
    for (const QChar unit : QString::fromUcs4(&codePoint, 1))
        result += QStringLiteral("\\u") + upperHex(unit.unicode(), 4);
    return result;
}

// Six hex digits need no space after them to end the escape; but one white space after an escape
// is always taken as its end, so a space or tab that follows gets a space before it.
QString styleEscape(char32_t codePoint, char32_t next)
{
    QString result = QLatin1Char('\\') + upperHex(codePoint, 6);
    if (next == U' ' || next == U'\t')
        result += QLatin1Char(' ');
    return result;
}

QString styleSheet(const QString &rootClass, const QString &fontName)
{
    QStringList lines;
    lines << QStringLiteral("<style type=\"text/css\">") << QStringLiteral(".%1{").arg(rootClass);
    if (!fontName.isEmpty())
        lines << QStringLiteral("\tfont-family : \"%1\";").arg(withEscapes(fontName, styleEscape));
    lines << QStringLiteral("\twhite-space : nowrap;") << QStringLiteral("\tline-height : 94%;")
          << QStringLiteral("\tmargin-left : 3px;") << QStringLiteral("}") << QString()
          << QStringLiteral(".%1 a{").arg(rootClass) << QStringLiteral("\ttext-decoration : none;")
          << QStringLiteral("\tcolor : #000080;") << QStringLiteral("}") << QString()
          << QStringLiteral(".%1 a:hover{").arg(rootClass) << QStringLiteral("\tcolor : #ff0000;")
          << QStringLiteral("}");
    return lines.join(LineEnd) + LineEnd + QStringLiteral("</style>");
}

// Removes the one line that equals `placeholder` regardless of case, when there is one.
void removePlaceholderLine(QStringList &lines, const QString &placeholder)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (QString::compare(lines.at(i), placeholder, Qt::CaseInsensitive) == 0) {
            lines.removeAt(i);
            return;
        }
    }
}

void removeScript(QStringList &lines)
{
    const qsizetype start = lines.indexOf(QStringLiteral("<script language=\"javascript\" type=\"text/javascript\">"));
    const qsizetype end = start < 0 ? -1 : lines.indexOf(QStringLiteral("</script>"), start);
    if (end >= 0)
        lines.remove(start, end - start + 1);
}

} // namespace

QStringList templateLines()
{
    QFile resource(QStringLiteral(":/HTMLHEAD"));
    if (!resource.open(QIODevice::ReadOnly))
        throw VormikError(QStringLiteral("ページの雛形 HTMLHEAD を読めません"));
    return splitLines(Cp932::decode(resource.readAll()));
}

QString templateTitle()
{
    static const QRegularExpression title(QStringLiteral("<title>(.*)</title>"));
    for (const QString &line : templateLines()) {
        const QRegularExpressionMatch match = title.match(line);
        if (match.hasMatch())
            return match.captured(1);
    }
    return {};
}

void chooseClassNames(const LinkTree &tree, const ExportSettings &settings, PageParts &system)
{
    QSet<QString> used = UsedValues::foldedClasses(tree);
    const QString entry = TextRules::trimmed(settings.classNameEntry);
    if (settings.classNameEntry != ExportSettings::ClassNamePlaceholder && !entry.isEmpty())
        system.groupClassName = entry;
    else
        system.groupClassName = firstFreeWord(GroupClassCandidates, used);
    // The script hides every block of the group class; the root block must not be one of them.
    used.insert(system.groupClassName.toCaseFolded());
    system.rootClassName = firstFreeWord(RootClassCandidates, used);
}

QString footerText()
{
    return QStringLiteral("<blockquote style=\"border:1px dashed #999;font-size:90%;"
                          "font-family:Verdana,Chicago,sans-serif;width:25em;\">"
                          "<strong>Generated by %1</strong><br />"
                          "<span>%2%3</span>"
                          "</blockquote>")
        .arg(GeneratorName, MakerNotice, makerSiteLink());
}

QString makerSiteLink()
{
    if (MakerSite.isEmpty())
        return {};
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(MakerSite.toHtmlEscaped(), MakerSiteLinkText.toHtmlEscaped());
}

} // namespace PageGenerator

namespace ClassicPage {

// The head is written with the helpers above.
using namespace PageGenerator;

void buildPageHead(const LinkTree &tree, const ExportSettings &settings, PageParts &system)
{
    chooseClassNames(tree, settings, system);
    QStringList lines = templateLines();

    if (settings.defaultStyleSheet) {
        system.styleSheet = styleSheet(system.rootClassName, settings.fontName);
    } else {
        system.styleSheet.clear();
        removePlaceholderLine(lines, QStringLiteral("[%R StyleSheet]"));
    }

    QString generator;
    if (settings.softwareInfo)
        generator = QStringLiteral(" <meta name=\"generator\" content=\"%1\">").arg(GeneratorName);
    else
        removePlaceholderLine(lines, QStringLiteral("[%R Generate]"));

    if (!settings.foldingScript) {
        removeScript(lines);
        if (!lines.isEmpty())
            lines.last() = QStringLiteral("<body>");
    }

    QString text = lines.join(LineEnd);
    if (settings.foldingScript)
        text.replace(QStringLiteral("[%R ClassName]"), withEscapes(system.groupClassName, scriptEscape));
    text.replace(QStringLiteral("[%R Generate]"), generator);
    text.replace(QStringLiteral("[%R StyleSheet]"), system.styleSheet);

    system.headText.clear();
    for (const QString &line : splitLines(text))
        system.headText += line + LineEnd;

    system.footerText = settings.authorLink ? footerText() : QString();
}

} // namespace ClassicPage
