// vormik-import: makes a project file of a browser's bookmark file, an OPML outline, Vormik's
// JSON menu data or a page Vormik exported, for scripts. It asks nothing.
#include "cli/CommandLine.h"
#include "import/ImportFile.h"
#include "project/ProjectFile.h"
#include "files/SafeFileWrite.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace {

// Exit statuses: 0 imported, 1 nothing could be read or the project not written, 2 bad usage.
constexpr int BadUsage = 2;

int usage(const QString &message)
{
    const QString usage = QStringLiteral("\nUsage: vormik-import [--force] [--keep-script-links] INPUT PROJECT (see --help)");
    return CommandLine::fail(message + usage, BadUsage, CommandLine::Wording::AsWritten);
}

void writeProject(const LinkTree &tree, const QString &path)
{
    const QByteArray bytes = ProjectFile::write(tree);
    if (bytes.size() > ProjectFile::MaxFileSize)
        throw VormikError(QStringLiteral("ファイル %1 に書き込めません: %2 MB を超えるプロジェクトは保存できません")
                              .arg(path)
                              .arg(ProjectFile::MaxFileSize >> 20));
    if (const auto failure = writeFileSafely(path, bytes))
        throw VormikError(QStringLiteral("ファイル %1 に書き込めません: %2").arg(path, *failure));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vormik-import"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a new Vormik project file holding the groups and links of INPUT: a browser's bookmark file, "
        "an OPML outline, Vormik's JSON menu data, or a page Vormik exported. Exit status: 0 imported, "
        "1 nothing could be read or PROJECT could not be written, 2 bad usage."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption force(QStringLiteral("force"), QStringLiteral("Replace PROJECT if it exists."));
    const QCommandLineOption keepScript(
        QStringLiteral("keep-script-links"),
        QStringLiteral("Keep the addresses that run script (javascript:, vbscript:, data:), which are left out."));
    parser.addOptions({force, keepScript});
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The file to read."));
    parser.addPositionalArgument(QStringLiteral("PROJECT"), QStringLiteral("The project file to write."));
    if (!parser.parse(QCoreApplication::arguments()))
        return usage(parser.errorText());
    if (parser.isSet(help))
        parser.showHelp(); // prints the options and ends the program
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2)
        return usage(QStringLiteral("INPUT and PROJECT are needed"));
    return CommandLine::run([&] {
        const QString project = positional.at(1);
        if (QFileInfo::exists(project) && !parser.isSet(force))
            throw VormikError(QStringLiteral("ファイル %1 は既にあります（置き換えるには --force）").arg(project));
        ImportResult result = Import::readFile(positional.at(0));
        if (parser.isSet(keepScript))
            result.keepScriptAddresses();
        writeProject(*result.tree, project);
        CommandLine::printLine(result.summary());
        // What came in changed or only in part goes where a script sees warnings; the file was still made.
        if (const QString losses = result.lossReport(); !losses.isEmpty())
            CommandLine::printLine(losses, stderr);
        // Warnings only: the project is written and the exit status stays 0.
        for (const QString &line : result.screening.lines())
            CommandLine::warn(line);
        if (result.screening.hasScriptAddresses() && !parser.isSet(keepScript))
            CommandLine::warn(QStringLiteral("スクリプトを実行するアドレスを残すには --keep-script-links"));
        return 0;
    }, 1, CommandLine::Wording::AsWritten);
}
