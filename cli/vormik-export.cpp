// vormik-export: writes the outputs of a project file from the command line, for scripts and
// builds. It reads the project as Open does and writes each file as the window's export does.
#include "cli/CommandLine.h"
#include "cli/ExportOptions.h"
#include "html/ExportReport.h"
#include "html/PageGenerator.h"
#include "project/ProjectFile.h"
#include "files/ProgramFiles.h"
#include "files/SafeFileWrite.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Exit statuses: every file written (or left as it was), a file not written, and a command line
// or project that could not be used.
enum Status { Written = 0, NotWritten = 1, Unusable = 2 };

void writeOut(const QByteArray &bytes)
{
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush())
        throw VormikError(QStringLiteral("標準出力に書き込めません: ") + out.errorString());
}

// Whether the file at `path` holds exactly `bytes`.
bool holds(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.size() == bytes.size() && file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

// Writes `bytes` to `path`, or to standard output for "-"; with `ifChanged` a file that already
// holds them is not touched, so that its modification time tells no false change.
void writeFile(const QString &path, const QByteArray &bytes, bool ifChanged)
{
    if (path == ExportOptions::StandardOutput)
        return writeOut(bytes);
    if (ifChanged && holds(path, bytes))
        return;
    if (const auto failure = writeFileSafely(path, bytes))
        throw VormikError(QStringLiteral("ファイル %1 に書き込めません: %2").arg(path, *failure));
}

// Writes one output and prints its warnings, each naming it when the command writes several.
void writeOutput(const LinkTree &tree, const ExportChoice &choice, const ExportOptions::Command &command,
                 const QString &name)
{
    const QString &path = choice.settings.outputFileName;
    if (choice.dataFormat) {
        const QString site = DataExport::usesSiteAddress(*choice.dataFormat) ? choice.siteAddress.trimmed() : QString();
        writeFile(path, DataExport::write(tree, *choice.dataFormat, site, command.indented), command.ifChanged);
        for (const QString &warning : ExportReport::dataWarnings(tree, *choice.dataFormat, site))
            CommandLine::warn(name + warning);
        return;
    }
    const PageGenerator::Page page = PageGenerator::buildPage(tree, choice.settings);
    // The page's style and script first, so the page never names a file not yet there.
    for (const auto &[companion, bytes] : page.report.companionFiles)
        writeFile(companion, bytes, command.ifChanged);
    writeFile(path, page.bytes, command.ifChanged);
    // Warnings only: the page is written and the exit status stays 0.
    for (const QString &warning : ExportReport::warnings(tree, page.report))
        CommandLine::warn(name + warning);
    if (command.cspHashes) {
        for (const QString &source : page.report.policySources)
            CommandLine::printLine(name + source, stderr);
    }
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
        return CommandLine::fail(parser.errorText(), Unusable);
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
    ExportOptions::Command command;
    ProjectFile::Project project;
    std::vector<ExportOptions::Output> outputs;
    if (const int status = CommandLine::run(
            [&] {
                command = ExportOptions::commandFrom(parser);
                project = ProjectFile::openProject(command.projectPath);
                outputs = ExportOptions::outputsOf(command, project);
                return int(Written);
            },
            Unusable))
        return status;
    int status = Written;
    for (const ExportOptions::Output &output : outputs) {
        const QString path = output.choice.settings.outputFileName;
        // Every message names its output when there are several; one named on the command line is known.
        const QString name = command.choice.settings.outputFileName.isEmpty()
                                 ? QDir::toNativeSeparators(path.isEmpty() ? QStringLiteral("(no file)") : path)
                                       + QStringLiteral(": ")
                                 : QString();
        const int written = CommandLine::run([&] {
            try {
                if (!output.refusal.isEmpty())
                    throw VormikError(output.refusal);
                writeOutput(*project.tree, output.choice, command, name);
            } catch (const VormikError &failure) {
                throw VormikError(name + failure.message());
            }
            return int(Written);
        });
        // The other outputs are still written.
        if (written != Written)
            status = NotWritten;
    }
    return status;
}
