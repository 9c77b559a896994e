#pragma once

#include "html/ExportChoice.h"
#include "project/ProjectFile.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QCommandLineParser;

// vormik-export's command line: `vormik-export [options] PROJECT [PAGE]`; PAGE may also be a bookmark
// file, OPML or JSON (--format). Without PAGE every output the project keeps is written.
namespace ExportOptions {

// PAGE "-" is standard output, for a pipe.
inline constexpr QLatin1StringView StandardOutput("-");

struct Command
{
    QString projectPath;
    // Today's defaults with the options given: the page's settings (outputFileName holds PAGE), the
    // data format --format asks for instead of a page, the site address of --base-url.
    ExportChoice choice;
    // Print the Content-Security-Policy sources of the inline style and script on standard error.
    bool cspHashes = false;
    bool indented = false; // JSON indented (--pretty)
    bool useStored = true;  // false with --no-stored: the project's outputs are not read
    bool ifChanged = false; // --if-changed: a file whose bytes would not change is left untouched
    // The options given, in turn: how they change a stored output's choice.
    std::vector<std::function<void(ExportChoice &)>> overrides;

    // `choice` with every option given applied to it.
    ExportChoice over(ExportChoice choice) const;
};

// One file to write: what it is written with, or why it is not written.
struct Output
{
    ExportChoice choice;
    QString refusal; // empty: write it
};

// What the command writes of `project`, read from the file at command.projectPath: PAGE with its
// stored output's settings, or today's defaults, under the options; without PAGE every stored output
// under them. Stored names outside the project's folder are refused, not written. Throws VormikError
// when there is nothing to write.
std::vector<Output> outputsOf(const Command &command, const ProjectFile::Project &project);

// Declares the options and the two positional arguments on `parser`.
void describe(QCommandLineParser &parser);

// The command a parser that has parsed the arguments stands for. Without options the settings
// are the export dialog's defaults with no font. Throws VormikError when PROJECT is missing,
// extra arguments are given, --separate-files is asked of standard output or --base-url
// is no absolute address.
Command commandFrom(const QCommandLineParser &parser);

// Parses `arguments` (the program's name first) and returns the command; any fault in the
// arguments throws VormikError with the parser's or our own message.
Command parse(const QStringList &arguments);

} // namespace ExportOptions
