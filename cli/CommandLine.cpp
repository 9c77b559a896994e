#include "cli/CommandLine.h"

#include "text/VormikError.h"

#include <QCoreApplication>

#include <new>

namespace CommandLine {

int fail(const QString &message, int exitCode, Wording wording)
{
    printLine(wording == Wording::AsShown ? shownErrorMessage(message) : message, stderr);
    return exitCode;
}

void warn(const QString &line)
{
    printLine(QStringLiteral("%1: 警告: %2").arg(QCoreApplication::applicationName(), line), stderr);
}

int run(const std::function<int()> &command, int failureCode, Wording wording)
{
    try {
        return command();
    } catch (const VormikError &failure) {
        return fail(failure.message(), failureCode, wording);
    } catch (const std::bad_alloc &) {
        return fail(QStringLiteral("メモリが不足しています"), failureCode, wording);
    } catch (const std::exception &failure) {
        return fail(QString::fromLocal8Bit(failure.what()), failureCode, wording);
    }
}

void printLine(const QString &line, FILE *stream)
{
    std::fputs(line.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

} // namespace CommandLine
