// vormik-export: writes the page of a project file from the command line, for scripts and batch
// jobs. It reads the project as Open does and writes the page as the export dialog's OK does.
#include "cli/ExportOptions.h"
#include "html/ExportReport.h"
#include "html/PageGenerator.h"
#include "project/AllocatorTuning.h"
#include "project/ProjectFile.h"
#include "text/ProgramFiles.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <new>

namespace {

int fail(const QString &message)
{
    std::fputs(shownErrorMessage(message).toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    tuneAllocatorForLargeDocuments();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vormik-export"));

    QCommandLineParser parser;
    ExportOptions::describe(parser);
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        // The help file's export topic explains what each option sets; it is named where found.
        const QString helpFile = ProgramFiles::find(QStringLiteral("VORMIK.hlp"));
        if (QFileInfo(helpFile).isFile())
            parser.setApplicationDescription(parser.applicationDescription()
                                             + QStringLiteral("\nThe editor's help file, which explains the settings: ")
                                             + helpFile);
        parser.showHelp(); // prints the options and ends the program
    }
    try {
        const ExportOptions::Command command = ExportOptions::commandFrom(parser);
        const std::unique_ptr<LinkTree> tree = ProjectFile::open(command.projectPath);
        TSystemStruct system;
        PageGenerator::exportPage(*tree, command.settings, system);
        // Warnings only: the page is written and the exit status stays 0.
        for (const QString &warning : ExportReport::unnamedWarnings(*tree, system.report))
            std::fputs(QStringLiteral("vormik-export: 警告: %1\n").arg(warning).toLocal8Bit().constData(), stderr);
    } catch (const VormikError &failure) {
        return fail(failure.message());
    } catch (const std::bad_alloc &) {
        return fail(QStringLiteral("メモリが不足しています"));
    } catch (const std::exception &failure) {
        return fail(QString::fromLocal8Bit(failure.what()));
    }
    return 0;
}
