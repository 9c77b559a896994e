#include "cli/ExportOptions.h"

#include "html/ExportChoice.h"
#include "text/VormikError.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace ExportOptions {

namespace {

const QString Mark = QStringLiteral("mark");
const QString Font = QStringLiteral("font");
const QString ClassName = QStringLiteral("class");
const QString NoScript = QStringLiteral("no-script");
const QString NoStyle = QStringLiteral("no-style");
const QString NoGenerator = QStringLiteral("no-generator");
const QString NoFooter = QStringLiteral("no-footer");
const QString Html5 = QStringLiteral("html5");
const QString FormatOption = QStringLiteral("format");
const QString Title = QStringLiteral("title");
const QString Language = QStringLiteral("lang");
const QString SeparateFiles = QStringLiteral("separate-files");
const QString CspHashes = QStringLiteral("csp-hashes");
const QString BaseUrl = QStringLiteral("base-url");
const QString Pretty = QStringLiteral("pretty");

void setFormat(Command &command, const QString &name)
{
    for (const ExportChoices::FormatName &format : ExportChoices::formatNames()) {
        if (format.name != name)
            continue;
        if (format.data)
            command.dataFormat = format.data;
        else
            command.settings.format = format.page;
        return;
    }
    throw VormikError(QStringLiteral("Unknown format: %1 (classic, html5, bookmarks, opml or json)").arg(name));
}

} // namespace

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Writes the page of a Vormik project file, as the editor's HTML export does."));
    parser.addHelpOption();
    parser.addOptions({
        {Mark, QStringLiteral("The mark put before every group's name (none by default)."), QStringLiteral("TEXT")},
        {Font, QStringLiteral("The font family the page names (none by default)."), QStringLiteral("NAME")},
        {ClassName, QStringLiteral("The class name given to the groups (chosen by the generator by default)."),
         QStringLiteral("NAME")},
        {NoScript, QStringLiteral("Leave out the script that folds the groups open and shut.")},
        {NoStyle, QStringLiteral("Leave out the default style sheet.")},
        {NoGenerator, QStringLiteral("Leave out the software information.")},
        {NoFooter, QStringLiteral("Leave out the link to the author's web site.")},
        {Html5, QStringLiteral("Write an HTML5 page in UTF-8 instead of the classic XHTML page in Shift_JIS.")},
        {FormatOption,
         QStringLiteral("What to write: classic (the XHTML page in Shift_JIS, the default), html5 (the same as --html5), "
                        "bookmarks (a bookmark file browsers import), opml or json (menu data)."),
         QStringLiteral("FORMAT")},
        {Title, QStringLiteral("The HTML5 page's title (the project file's name by default)."), QStringLiteral("TEXT")},
        {Language, QStringLiteral("The HTML5 page's language, a tag such as ja or en-US (ja by default)."),
         QStringLiteral("TAG")},
        {SeparateFiles, QStringLiteral("Write the HTML5 page's style and script as files beside it (PAGE's name "
                                       "with .css and .js), for a site whose Content-Security-Policy allows no "
                                       "inline code.")},
        {CspHashes, QStringLiteral("Print the sha256- sources a Content-Security-Policy needs for the HTML5 page's "
                                   "inline style and script on standard error.")},
        {BaseUrl, QStringLiteral("The site's address, such as https://example.org/menu/: bookmarks and OPML "
                                 "write relative addresses resolved against it."),
         QStringLiteral("URL")},
        {Pretty, QStringLiteral("Indent the JSON data, one member a line (written on one line by default).")},
    });
    parser.addPositionalArgument(QStringLiteral("PROJECT"), QStringLiteral("The project file to read."));
    parser.addPositionalArgument(QStringLiteral("PAGE"), QStringLiteral("The page to write."));
}

Command commandFrom(const QCommandLineParser &parser)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2)
        throw VormikError(QStringLiteral("Usage: vormik-export [options] PROJECT PAGE (see --help)"));
    Command command;
    command.projectPath = positional.at(0);
    ExportSettings &settings = command.settings;
    settings.outputFileName = positional.at(1);
    settings.foldingScript = !parser.isSet(NoScript);
    settings.defaultStyleSheet = !parser.isSet(NoStyle);
    settings.softwareInfo = !parser.isSet(NoGenerator);
    settings.authorLink = !parser.isSet(NoFooter);
    if (parser.isSet(Html5))
        setFormat(command, Html5);
    if (parser.isSet(FormatOption))
        setFormat(command, parser.value(FormatOption));
    if (parser.isSet(Mark))
        settings.groupMark = parser.value(Mark);
    if (parser.isSet(Font))
        settings.fontName = parser.value(Font);
    if (parser.isSet(ClassName))
        settings.classNameEntry = parser.value(ClassName);
    settings.pageTitle = parser.isSet(Title) ? parser.value(Title) : QFileInfo(command.projectPath).completeBaseName();
    if (parser.isSet(Language))
        settings.pageLanguage = parser.value(Language);
    settings.separateFiles = parser.isSet(SeparateFiles);
    // The style and script files are named after the page, which standard output has not.
    if (settings.separateFiles && settings.outputFileName == QLatin1StringView("-"))
        throw VormikError(QStringLiteral("--separate-files needs a file for PAGE, not - (standard output)"));
    command.cspHashes = parser.isSet(CspHashes);
    if (parser.isSet(BaseUrl)) {
        command.baseUrl = parser.value(BaseUrl);
        if (!DataExport::isSiteAddress(command.baseUrl))
            throw VormikError(QStringLiteral("--base-url needs an absolute address such as https://example.org/: %1")
                                  .arg(command.baseUrl));
    }
    command.indented = parser.isSet(Pretty);
    return command;
}

Command parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments))
        throw VormikError(parser.errorText());
    return commandFrom(parser);
}

} // namespace ExportOptions
