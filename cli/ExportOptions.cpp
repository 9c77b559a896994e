#include "cli/ExportOptions.h"

#include "html/OutputList.h"
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
const QString NoStored = QStringLiteral("no-stored");
const QString IfChanged = QStringLiteral("if-changed");

const ExportChoices::FormatName &formatNamed(const QString &name)
{
    for (const ExportChoices::FormatName &format : ExportChoices::formatNames()) {
        if (format.name == name)
            return format;
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
        {NoStored, QStringLiteral("Use none of the outputs the project keeps: PAGE is written with the defaults "
                                  "and the options given.")},
        {IfChanged, QStringLiteral("Leave a file untouched, its modification time too, when its bytes would not "
                                   "change.")},
    });
    parser.addPositionalArgument(QStringLiteral("PROJECT"), QStringLiteral("The project file to read."));
    parser.addPositionalArgument(QStringLiteral("PAGE"),
                                 QStringLiteral("The file to write, with its stored output's settings when the project "
                                                "keeps one; without it, every output the project keeps."),
                                 QStringLiteral("[PAGE]"));
}

ExportChoice Command::over(ExportChoice choice) const
{
    for (const auto &change : overrides)
        change(choice);
    return choice;
}

Command commandFrom(const QCommandLineParser &parser)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty() || positional.size() > 2)
        throw VormikError(QStringLiteral("Usage: vormik-export [options] PROJECT [PAGE] (see --help)"));
    Command command;
    command.projectPath = positional.at(0);
    const QString page = positional.value(1);
    command.useStored = !parser.isSet(NoStored);
    command.ifChanged = parser.isSet(IfChanged);
    if (page.isEmpty() && !command.useStored)
        throw VormikError(QStringLiteral("--no-stored needs PAGE: there is nothing else to write"));

    auto &changes = command.overrides;
    const std::pair<const QString &, bool ExportSettings::*> switchedOff[] = {
        {NoScript, &ExportSettings::foldingScript},
        {NoStyle, &ExportSettings::defaultStyleSheet},
        {NoGenerator, &ExportSettings::softwareInfo},
        {NoFooter, &ExportSettings::authorLink},
    };
    for (const auto &[option, member] : switchedOff) {
        if (parser.isSet(option))
            changes.push_back([member](ExportChoice &choice) { choice.settings.*member = false; });
    }
    for (const QString &option : {Html5, FormatOption}) {
        if (!parser.isSet(option))
            continue;
        const ExportChoices::FormatName &format = formatNamed(option == Html5 ? Html5 : parser.value(FormatOption));
        changes.push_back([&format](ExportChoice &choice) {
            choice.dataFormat = format.data;
            if (!format.data)
                choice.settings.format = format.page;
        });
    }
    const std::pair<const QString &, QString ExportSettings::*> texts[] = {
        {Mark, &ExportSettings::groupMark},      {Font, &ExportSettings::fontName},
        {ClassName, &ExportSettings::classNameEntry}, {Title, &ExportSettings::pageTitle},
        {Language, &ExportSettings::pageLanguage},
    };
    for (const auto &[option, member] : texts) {
        if (parser.isSet(option))
            changes.push_back([member, value = parser.value(option)](ExportChoice &choice) { choice.settings.*member = value; });
    }
    if (parser.isSet(SeparateFiles))
        changes.push_back([](ExportChoice &choice) { choice.settings.separateFiles = true; });
    if (parser.isSet(BaseUrl)) {
        const QString address = parser.value(BaseUrl);
        if (!DataExport::isSiteAddress(address))
            throw VormikError(QStringLiteral("--base-url needs an absolute address such as https://example.org/: %1")
                                  .arg(address));
        changes.push_back([address](ExportChoice &choice) { choice.siteAddress = address; });
    }
    command.cspHashes = parser.isSet(CspHashes);
    command.indented = parser.isSet(Pretty);

    // Today's defaults: the dialog's, with no font and the project's name for a title.
    ExportChoice defaults;
    defaults.settings.outputFileName = page;
    defaults.settings.pageTitle = QFileInfo(command.projectPath).completeBaseName();
    command.choice = command.over(defaults);
    // The style and script files are named after the page, which standard output has not.
    if (command.choice.settings.separateFiles && page == StandardOutput)
        throw VormikError(QStringLiteral("--separate-files needs a file for PAGE, not - (standard output)"));
    return command;
}

std::vector<Output> outputsOf(const Command &command, const ProjectFile::Project &project)
{
    const QFileInfo projectFile(command.projectPath);
    const OutputList stored =
        command.useStored ? OutputLists::fromProject(project.outputs, projectFile.absoluteDir()) : OutputList();
    const QString &page = command.choice.settings.outputFileName;
    if (!page.isEmpty()) {
        const int found = page == StandardOutput ? -1 : OutputLists::find(stored, page);
        if (found < 0)
            return {{command.choice, {}}};
        ExportChoice choice = command.over(stored[found].choice);
        choice.settings.outputFileName = page;
        return {{choice, {}}};
    }
    if (stored.empty())
        throw VormikError(QStringLiteral("%1 keeps no outputs: name the file to write as PAGE").arg(command.projectPath));
    std::vector<Output> outputs;
    for (const StoredOutput &output : stored) {
        Output written{command.over(output.choice), {}};
        // A project file may come from anyone: only names inside its own folder are written unasked.
        if (output.choice.settings.outputFileName.isEmpty())
            written.refusal = QStringLiteral("not written: the project names no file this program writes");
        else if (!OutputLists::mayWriteUnseen(output, projectFile.absoluteFilePath(), false))
            written.refusal = QStringLiteral("not written: the project names it outside its own folder, or in a "
                                             "folder that is not there; name it as PAGE to write it");
        outputs.push_back(written);
    }
    return outputs;
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
