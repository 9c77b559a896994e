// vormik-check-links: checks every link's address of a project file and prints one line per
// broken link; the exit code says whether any was broken, for scripts and scheduled jobs.
#include "cli/CommandLine.h"
#include "import/LinkChecker.h"
#include "project/ProjectFile.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace {

// The node with the groups above it: "Docs / Guide / Setup".
QString nodePath(const LinkNode *node)
{
    QStringList names;
    for (; node; node = node->parent())
        names.prepend(node->text());
    return names.join(QStringLiteral(" / "));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vormik-check-links"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Checks every link of a Vormik project file: files relative to the base folder, web addresses over the "
        "network. Prints one line per broken link (answer, node, address, final address, TAB between them) and "
        "exits 1 if any link is broken, 0 if none is."));
    parser.addHelpOption();
    const QCommandLineOption base(QStringLiteral("base"),
                                  QStringLiteral("The folder relative addresses are looked up in (by default the "
                                                 "project file's folder)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Seconds to wait for each web address (10 by default)."),
                                     QStringLiteral("SECONDS"));
    parser.addOptions({base, timeout});
    parser.addPositionalArgument(QStringLiteral("PROJECT"), QStringLiteral("The project file to check."));
    parser.process(app);
    return CommandLine::run([&] {
        const QStringList positional = parser.positionalArguments();
        if (positional.size() != 1)
            throw VormikError(QStringLiteral("Usage: vormik-check-links [--base DIR] PROJECT (see --help)"));
        const std::unique_ptr<LinkTree> tree = ProjectFile::open(positional.at(0));
        LinkChecker checker;
        if (parser.isSet(timeout)) {
            bool ok = false;
            const double seconds = parser.value(timeout).toDouble(&ok);
            if (!ok || seconds <= 0)
                throw VormikError(QStringLiteral("--timeout には正の秒数を指定してください"));
            checker.setTimeout(static_cast<int>(seconds * 1000));
        }
        const QString folder = parser.isSet(base) ? parser.value(base) : QFileInfo(positional.at(0)).absolutePath();
        QObject::connect(&checker, &LinkChecker::finished, &app, [] { QCoreApplication::quit(); });
        checker.start(*tree, folder);
        QCoreApplication::exec();
        for (const LinkCheckResult &result : checker.results()) {
            if (result.broken)
                CommandLine::printLine(QStringList{result.answer, nodePath(result.node), result.address,
                                                   result.finalAddress}.join(QLatin1Char('\t')));
        }
        return checker.brokenCount() > 0 ? 1 : 0;
    });
}
