#include "html/ExportChoice.h"

#include "text/TextRules.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace ExportChoices {

namespace {

using namespace Qt::Literals::StringLiterals;

constexpr std::array Formats{
    FormatName{"classic"_L1, PageFormat::Classic, std::nullopt},
    FormatName{"html5"_L1, PageFormat::Html5, std::nullopt},
    FormatName{"bookmarks"_L1, PageFormat::Classic, DataExport::Format::Bookmarks},
    FormatName{"opml"_L1, PageFormat::Classic, DataExport::Format::Opml},
    FormatName{"json"_L1, PageFormat::Classic, DataExport::Format::Json},
};

// The settings' element names. None is a name the node reader looks for.
constexpr char PageFile[] = "PageFile";
constexpr char Format[] = "Format";
constexpr char FoldingScript[] = "FoldingScript";
constexpr char DefaultStyleSheet[] = "DefaultStyleSheet";
constexpr char SoftwareInfo[] = "SoftwareInfo";
constexpr char AuthorLink[] = "AuthorLink";
constexpr char GroupMark[] = "GroupMark";
constexpr char FontName[] = "FontName";
constexpr char ClassName[] = "ClassName";
constexpr char PageTitle[] = "PageTitle";
constexpr char PageLanguage[] = "PageLanguage";
constexpr char SeparateFiles[] = "SeparateFiles";
constexpr char SiteAddress[] = "SiteAddress";

QString truth(bool value)
{
    return value ? u"True"_s : u"False"_s;
}

// The suffixes an export's file dialog or its data formats give a written file.
bool isWrittenFileName(const QString &path, const ExportChoice &choice)
{
    const QString suffix = QFileInfo(path).suffix();
    QStringList known{u"html"_s, u"htm"_s, u"xhtml"_s};
    if (choice.dataFormat)
        known << DataExport::suggestedSuffix(*choice.dataFormat);
    return known.contains(suffix, Qt::CaseInsensitive);
}

} // namespace

std::span<const FormatName> formatNames()
{
    return Formats;
}

QLatin1StringView formatName(const ExportChoice &choice)
{
    const auto format = std::find_if(Formats.begin(), Formats.end(), [&](const FormatName &entry) {
        return entry.data == choice.dataFormat && (choice.dataFormat || entry.page == choice.settings.format);
    });
    return format->name;
}

ProjectFile::Settings toSettings(const ExportChoice &choice, const QDir &projectFolder)
{
    const ExportSettings &page = choice.settings;
    ProjectFile::Settings settings{
        {PageFile, projectFolder.relativeFilePath(page.outputFileName)},
        {Format, formatName(choice).toString()},
        {FoldingScript, truth(page.foldingScript)},
        {DefaultStyleSheet, truth(page.defaultStyleSheet)},
        {SoftwareInfo, truth(page.softwareInfo)},
        {AuthorLink, truth(page.authorLink)},
        {GroupMark, page.groupMark},
        {FontName, page.fontName},
        // The dialog's stand-in text is no class; the file says so by an empty one.
        {ClassName, page.classNameEntry == ExportSettings::ClassNamePlaceholder ? QString() : page.classNameEntry},
        {PageTitle, page.pageTitle},
        {PageLanguage, page.pageLanguage},
        {SeparateFiles, truth(page.separateFiles)},
    };
    // Only where one was given, so that a project exported before it was kept saves as it did.
    if (!choice.siteAddress.isEmpty())
        settings.push_back({SiteAddress, choice.siteAddress});
    return settings;
}

bool namedInsideFolder(const ProjectFile::Settings &settings)
{
    const auto found = std::find_if(settings.begin(), settings.end(),
                                    [](const ProjectFile::Setting &setting) { return setting.name == PageFile; });
    if (found == settings.end() || found->value.isEmpty() || !QDir::isRelativePath(found->value))
        return false;
    const QString clean = QDir::cleanPath(found->value);
    return clean != u".."_s && !clean.startsWith(u"../"_s);
}

std::optional<ExportChoice> fromSettings(const ProjectFile::Settings &settings, const QDir &projectFolder)
{
    const auto value = [&settings](const char *name) -> std::optional<QString> {
        const auto found = std::find_if(settings.begin(), settings.end(),
                                        [name](const ProjectFile::Setting &setting) { return setting.name == name; });
        return found == settings.end() ? std::nullopt : std::optional(found->value);
    };
    const std::optional<QString> formatName = value(Format);
    const auto format = std::find_if(Formats.begin(), Formats.end(), [&](const FormatName &entry) {
        return formatName && entry.name == TextRules::trimmed(*formatName);
    });
    if (format == Formats.end())
        return std::nullopt;

    ExportChoice choice;
    choice.dataFormat = format->data;
    ExportSettings &page = choice.settings;
    page.format = format->page;
    const auto readTruth = [&](const char *name, bool &target) {
        if (const std::optional<QString> text = value(name)) {
            const QString word = TextRules::trimmed(*text);
            if (TextRules::same(word, u"True"_s) || TextRules::same(word, u"False"_s))
                target = TextRules::same(word, u"True"_s);
        }
    };
    readTruth(FoldingScript, page.foldingScript);
    readTruth(DefaultStyleSheet, page.defaultStyleSheet);
    readTruth(SoftwareInfo, page.softwareInfo);
    readTruth(AuthorLink, page.authorLink);
    readTruth(SeparateFiles, page.separateFiles);
    const std::pair<const char *, QString *> texts[] = {
        {GroupMark, &page.groupMark},     {FontName, &page.fontName},         {ClassName, &page.classNameEntry},
        {PageTitle, &page.pageTitle},     {PageLanguage, &page.pageLanguage}, {SiteAddress, &choice.siteAddress},
    };
    for (const auto &[name, target] : texts) {
        if (const std::optional<QString> text = value(name))
            *target = *text;
    }
    if (page.classNameEntry.isEmpty())
        page.classNameEntry = ExportSettings::ClassNamePlaceholder;
    const QString pageFile = value(PageFile).value_or(QString());
    if (!pageFile.isEmpty() && isWrittenFileName(pageFile, choice))
        page.outputFileName = QDir::cleanPath(projectFolder.absoluteFilePath(pageFile));
    return choice;
}

} // namespace ExportChoices
