#include "cli/CommandLine.h"

#include "text/VormikError.h"

#include <QCoreApplication>

#include <cstdio>
#include <new>

namespace CommandLine {

int fail(const QString &message, int exitCode, Wording wording)
{
    const QString shown = wording == Wording::AsShown ? shownErrorMessage(message) : message;
    std::fputs(shown.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    return exitCode;
}

void warn(const QString &line)
{
    std::fputs(QStringLiteral("%1: 警告: %2\n").arg(QCoreApplication::applicationName(), line).toLocal8Bit().constData(),
               stderr);
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

void printLine(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

} // namespace CommandLine
