// vormik-export: writes the page of a project file from the command line, for scripts and batch
// jobs. It reads the project as Open does and writes the page as the export dialog's OK does.
#include "cli/CommandLine.h"
#include "cli/ExportOptions.h"
#include "html/ExportReport.h"
#include "html/PageGenerator.h"
#include "project/ProjectFile.h"
#include "text/ProgramFiles.h"
#include "text/SafeFileWrite.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

// PAGE "-" is standard output, for a pipe.
constexpr QLatin1StringView StandardOutput("-");

void writeOut(const QByteArray &bytes)
{
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush())
        throw VormikError(QStringLiteral("標準出力に書き込めません: ") + out.errorString());
}

void writeData(const LinkTree &tree, const ExportOptions::Command &command)
{
    const QString &path = command.settings.outputFileName;
    const QByteArray bytes = DataExport::write(tree, *command.dataFormat, command.baseUrl, command.indented);
    if (path == StandardOutput)
        return writeOut(bytes);
    if (const auto failure = writeFileSafely(path, bytes))
        throw VormikError(QStringLiteral("ファイル %1 に書き込めません: %2").arg(path, failure->reason));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vormik-export"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORMIK_VERSION));

    QCommandLineParser parser;
    ExportOptions::describe(parser);
    parser.addVersionOption();
    if (!parser.parse(QCoreApplication::arguments()))
        return CommandLine::fail(parser.errorText());
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion(); // prints the version and ends the program
    if (parser.isSet(QStringLiteral("help"))) {
        // The help file's export topic explains what each option sets; it is named where found.
        const QString helpFile = ProgramFiles::find(QStringLiteral("VORMIK.hlp"));
        if (QFileInfo(helpFile).isFile())
            parser.setApplicationDescription(parser.applicationDescription()
                                             + QStringLiteral("\nThe editor's help file, which explains the settings: ")
                                             + helpFile);
        parser.showHelp(); // prints the options and ends the program
    }
    return CommandLine::run([&] {
        const ExportOptions::Command command = ExportOptions::commandFrom(parser);
        const std::unique_ptr<LinkTree> tree = ProjectFile::open(command.projectPath);
        if (command.dataFormat) {
            writeData(*tree, command);
            for (const QString &warning : ExportReport::dataWarnings(*tree, *command.dataFormat, command.baseUrl))
                CommandLine::warn(warning);
            return 0;
        }
        const bool toStandardOutput = command.settings.outputFileName == StandardOutput;
        const PageGenerator::Page page = toStandardOutput ? PageGenerator::buildPage(*tree, command.settings)
                                                          : PageGenerator::exportPage(*tree, command.settings);
        if (toStandardOutput)
            writeOut(page.bytes);
        // Warnings only: the page is written and the exit status stays 0.
        for (const QString &warning : ExportReport::warnings(*tree, page.report))
            CommandLine::warn(warning);
        if (command.cspHashes) {
            for (const QString &source : page.report.policySources)
                std::fputs(QStringLiteral("%1\n").arg(source).toLocal8Bit().constData(), stderr);
        }
        return 0;
    });
}
