#pragma once

#include "html/DataExport.h"
#include "html/PageGenerator.h"

#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

// vormik-export's command line: `vormik-export [options] PROJECT PAGE`; PAGE may also be a bookmark
// file, OPML or JSON (--format).
namespace ExportOptions {

struct Command
{
    QString projectPath;
    ExportSettings settings; // outputFileName holds PAGE
    // Set when --format asks for data (bookmarks, OPML, JSON) rather than a page.
    std::optional<DataExport::Format> dataFormat;
    // The site address relative addresses in bookmarks and OPML are resolved against; empty: none.
    QString baseUrl;
    // Print the Content-Security-Policy sources of the inline style and script on standard error.
    bool cspHashes = false;
    bool indented = false; // JSON indented (--pretty)
};

// Declares the options and the two positional arguments on `parser`.
void describe(QCommandLineParser &parser);

// The command a parser that has parsed the arguments stands for. Without options the settings
// are the export dialog's defaults with no font. Throws VormikError when PROJECT or PAGE is
// missing, extra arguments are given, --separate-files is asked of standard output or --base-url
// is no absolute address.
Command commandFrom(const QCommandLineParser &parser);

// Parses `arguments` (the program's name first) and returns the command; any fault in the
// arguments throws VormikError with the parser's or our own message.
Command parse(const QStringList &arguments);

} // namespace ExportOptions
