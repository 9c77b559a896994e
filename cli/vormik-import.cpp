// vormik-import: makes a project file of a browser's bookmark file, an OPML outline, Vormik's
// JSON menu data or a page Vormik exported, for scripts. It asks nothing.
#include "cli/CommandLine.h"
#include "import/ImportResult.h"
#include "project/ProjectFile.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vormik-import"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a new Vormik project file holding the groups and links of INPUT: a browser's bookmark file, "
        "an OPML outline, Vormik's JSON menu data, or a page Vormik exported."));
    parser.addHelpOption();
    const QCommandLineOption force(QStringLiteral("force"), QStringLiteral("Replace PROJECT if it exists."));
    parser.addOption(force);
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("The file to read."));
    parser.addPositionalArgument(QStringLiteral("PROJECT"), QStringLiteral("The project file to write."));
    parser.process(app);
    return CommandLine::run([&] {
        const QStringList positional = parser.positionalArguments();
        if (positional.size() != 2)
            throw VormikError(QStringLiteral("Usage: vormik-import [--force] INPUT PROJECT (see --help)"));
        const QString project = positional.at(1);
        if (QFileInfo::exists(project) && !parser.isSet(force))
            throw VormikError(QStringLiteral("ファイル %1 は既にあります（置き換えるには --force）").arg(project));
        const ImportResult result = Import::readFile(positional.at(0));
        ProjectFile::save(*result.tree, project);
        CommandLine::printLine(result.summary());
        // What came in changed or only in part goes where a script sees warnings; the file was still made.
        if (const QString losses = result.lossReport(); !losses.isEmpty())
            std::fprintf(stderr, "%s\n", losses.toLocal8Bit().constData());
        return 0;
    });
}
