// vormik-check-links: checks every link's address of a project file and prints each broken link
// and each link that has moved for good; the exit code says whether any was broken, for scripts
// and scheduled jobs.
#include "cli/CommandLine.h"
#include "linkcheck/LinkChecker.h"
#include "project/ProjectFile.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdio>

namespace {

// Exit codes: every link fine, a link broken, the check could not run.
constexpr int AllFine = 0;
constexpr int SomeBroken = 1;
constexpr int CouldNotRun = 2;

// The node with the groups above it, outermost first.
QStringList nodePath(const LinkNode *node)
{
    QStringList names;
    for (; node; node = node->parent())
        names.prepend(node->text());
    return names;
}

// A TSV field keeps to its line and its column.
QString tsvField(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return text;
}

// The link's new address when it moved for good, else where redirects led.
QString lastAddress(const LinkCheckResult &result)
{
    return result.movedTo.isEmpty() ? result.finalAddress : result.movedTo;
}

QString folderOption(const QCommandLineParser &parser, const QString &option, const QString &fallback)
{
    if (!parser.isSet(option))
        return fallback;
    const QString folder = parser.value(option);
    if (!QFileInfo(folder).isDir())
        throw VormikError(QStringLiteral("--%1 のフォルダ %2 がありません").arg(option, folder));
    return folder;
}

int timeoutOption(const QCommandLineParser &parser, const QString &option)
{
    if (!parser.isSet(option))
        return LinkChecker::DefaultTimeoutMs;
    bool ok = false;
    const double seconds = parser.value(option).toDouble(&ok);
    // Anything else would turn the timer off or overflow it.
    if (!ok || !std::isfinite(seconds) || seconds < 0.1 || seconds > 300)
        throw VormikError(QStringLiteral("--timeout には 0.1 から 300 までの秒数を指定してください"));
    return static_cast<int>(std::lround(seconds * 1000));
}

void print(const std::vector<const LinkCheckResult *> &reported, bool json)
{
    if (!json) {
        for (const LinkCheckResult *result : reported) {
            CommandLine::printLine(QStringList{tsvField(result->answer), tsvField(nodePath(result->node).join(u" / ")),
                                               tsvField(result->address), tsvField(lastAddress(*result))}
                                       .join(QLatin1Char('\t')));
        }
        return;
    }
    QJsonArray links;
    for (const LinkCheckResult *result : reported) {
        QJsonObject link{{QStringLiteral("answer"), result->answer},
                         {QStringLiteral("status"), result->status},
                         {QStringLiteral("broken"), result->broken},
                         {QStringLiteral("node"), QJsonArray::fromStringList(nodePath(result->node))},
                         {QStringLiteral("address"), result->address},
                         {QStringLiteral("finalAddress"), result->finalAddress}};
        if (!result->movedTo.isEmpty())
            link.insert(QStringLiteral("newAddress"), result->movedTo);
        links.append(link);
    }
    std::fputs(QJsonDocument(links).toJson(QJsonDocument::Indented).constData(), stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vormik-check-links"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Checks every link of a Vormik project file: files relative to the base folder or the site's root, web "
        "addresses over the network. Prints each broken link and each link moved for good (answer, node, "
        "address, final or new address) and a summary on standard error; exits 0 when no link is broken, 1 when "
        "one is, 2 when the check could not run."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption base(QStringLiteral("base"),
                                  QStringLiteral("The folder relative addresses are looked up in (by default the "
                                                 "project file's folder)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption root(QStringLiteral("root"),
                                  QStringLiteral("The site's root folder, where addresses beginning with / are "
                                                 "looked up (by default the base folder)."),
                                  QStringLiteral("DIR"));
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Seconds each web address may take, 0.1 to 300 (10 by default)."),
                                     QStringLiteral("SECONDS"));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("tsv (one line per link, the default) or json (an array)."),
                                    QStringLiteral("FORMAT"), QStringLiteral("tsv"));
    parser.addOptions({base, root, timeout, format});
    parser.addPositionalArgument(QStringLiteral("PROJECT"), QStringLiteral("The project file to check."));
    if (!parser.parse(QCoreApplication::arguments()))
        return CommandLine::fail(parser.errorText(), CouldNotRun);
    if (parser.isSet(help))
        parser.showHelp(AllFine);
    return CommandLine::run(
        [&] {
            const QStringList positional = parser.positionalArguments();
            if (positional.size() != 1)
                throw VormikError(QStringLiteral(
                    "Usage: vormik-check-links [--base DIR] [--root DIR] [--timeout SECONDS] [--format tsv|json] "
                    "PROJECT (see --help)"));
            const QString shape = parser.value(format);
            if (shape != QLatin1String("tsv") && shape != QLatin1String("json"))
                throw VormikError(QStringLiteral("--format は tsv か json です"));
            LinkChecker checker;
            checker.setTimeout(timeoutOption(parser, timeout.names().first()));
            const QString folder =
                folderOption(parser, base.names().first(), QFileInfo(positional.at(0)).absolutePath());
            const QString rootFolder = folderOption(parser, root.names().first(), folder);
            const std::unique_ptr<LinkTree> tree = ProjectFile::open(positional.at(0));
            QObject::connect(&checker, &LinkChecker::finished, &app, [] { QCoreApplication::quit(); });
            checker.start(*tree, folder, rootFolder);
            QCoreApplication::exec();
            std::vector<const LinkCheckResult *> reported;
            for (const LinkCheckResult &result : checker.results()) {
                if (result.broken || !result.movedTo.isEmpty())
                    reported.push_back(&result);
            }
            print(reported, shape == QLatin1String("json"));
            std::fflush(stdout);
            int skipped = 0;
            for (const auto &[reason, count] : checker.skipped())
                skipped += count;
            const QString summary = QStringLiteral("%1 件をチェック、切れているリンク %2 件、移動したリンク %3 件、"
                                                   "チェックしなかったリンク %4 件")
                                        .arg(checker.answeredCount())
                                        .arg(checker.brokenCount())
                                        .arg(checker.movedCount())
                                        .arg(skipped);
            CommandLine::printLine(summary, stderr);
            return checker.brokenCount() > 0 ? SomeBroken : AllFine;
        },
        CouldNotRun);
}
