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
constexpr char SiteAddress[] = "SiteAddress";

// The page's own settings and their element names, in the order the project file keeps them:
// each a truth or a text.
struct PageSetting
{
    const char *name;
    bool ExportSettings::*truth;
    QString ExportSettings::*text;
};
constexpr PageSetting PageSettings[] = {
    {"FoldingScript", &ExportSettings::foldingScript, nullptr},
    {"DefaultStyleSheet", &ExportSettings::defaultStyleSheet, nullptr},
    {"SoftwareInfo", &ExportSettings::softwareInfo, nullptr},
    {"AuthorLink", &ExportSettings::authorLink, nullptr},
    {"GroupMark", nullptr, &ExportSettings::groupMark},
    {"FontName", nullptr, &ExportSettings::fontName},
    {"ClassName", nullptr, &ExportSettings::classNameEntry},
    {"PageTitle", nullptr, &ExportSettings::pageTitle},
    {"PageLanguage", nullptr, &ExportSettings::pageLanguage},
    {"SeparateFiles", &ExportSettings::separateFiles, nullptr},
};

QString truth(bool value)
{
    return value ? u"True"_s : u"False"_s;
}

// "True" or "False" in any case, spaces around; nothing for any other text.
std::optional<bool> truthOf(const QString &text)
{
    const QString word = TextRules::trimmed(text);
    if (TextRules::same(word, u"True"_s) || TextRules::same(word, u"False"_s))
        return TextRules::same(word, u"True"_s);
    return std::nullopt;
}

// The value the project file keeps under `name`, if any.
std::optional<QString> valueOf(const ProjectFile::Settings &settings, const char *name)
{
    const auto found = std::find_if(settings.begin(), settings.end(),
                                    [name](const ProjectFile::Setting &setting) { return setting.name == name; });
    return found == settings.end() ? std::nullopt : std::optional(found->value);
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
    ExportSettings page = choice.settings;
    // The dialog's stand-in text is no class; the file says so by an empty one.
    if (page.classNameEntry == ExportSettings::ClassNamePlaceholder)
        page.classNameEntry.clear();
    ProjectFile::Settings settings{
        {PageFile, projectFolder.relativeFilePath(page.outputFileName)},
        {Format, formatName(choice).toString()},
    };
    for (const PageSetting &setting : PageSettings)
        settings.push_back({setting.name, setting.truth ? truth(page.*setting.truth) : page.*setting.text});
    // Only where one was given, so that a project exported before it was kept saves as it did.
    if (!choice.siteAddress.isEmpty())
        settings.push_back({SiteAddress, choice.siteAddress});
    return settings;
}

bool namedInsideFolder(const ProjectFile::Settings &settings)
{
    const QString file = valueOf(settings, PageFile).value_or(QString());
    if (file.isEmpty() || !QDir::isRelativePath(file))
        return false;
    const QString clean = QDir::cleanPath(file);
    return clean != u".."_s && !clean.startsWith(u"../"_s);
}

std::optional<ExportChoice> fromSettings(const ProjectFile::Settings &settings, const QDir &projectFolder)
{
    const std::optional<QString> formatName = valueOf(settings, Format);
    const auto format = std::find_if(Formats.begin(), Formats.end(), [&](const FormatName &entry) {
        return formatName && entry.name == TextRules::trimmed(*formatName);
    });
    if (format == Formats.end())
        return std::nullopt;

    ExportChoice choice;
    choice.dataFormat = format->data;
    ExportSettings &page = choice.settings;
    page.format = format->page;
    for (const PageSetting &setting : PageSettings) {
        const std::optional<QString> text = valueOf(settings, setting.name);
        if (!text)
            continue;
        if (setting.text)
            page.*setting.text = *text;
        else
            page.*setting.truth = truthOf(*text).value_or(page.*setting.truth);
    }
    choice.siteAddress = valueOf(settings, SiteAddress).value_or(QString());
    if (page.classNameEntry.isEmpty())
        page.classNameEntry = ExportSettings::ClassNamePlaceholder;
    const QString pageFile = valueOf(settings, PageFile).value_or(QString());
    if (!pageFile.isEmpty() && isWrittenFileName(pageFile, choice))
        page.outputFileName = QDir::cleanPath(projectFolder.absoluteFilePath(pageFile));
    return choice;
}

} // namespace ExportChoices
