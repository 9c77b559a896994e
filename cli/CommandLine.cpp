#include "cli/CommandLine.h"

#include "text/VormikError.h"

#include <cstdio>
#include <new>

namespace CommandLine {

int fail(const QString &message, int exitCode)
{
    std::fputs(shownErrorMessage(message).toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    return exitCode;
}

int run(const std::function<int()> &command, int failureCode)
{
    try {
        return command();
    } catch (const VormikError &failure) {
        return fail(failure.message(), failureCode);
    } catch (const std::bad_alloc &) {
        return fail(QStringLiteral("メモリが不足しています"), failureCode);
    } catch (const std::exception &failure) {
        return fail(QString::fromLocal8Bit(failure.what()), failureCode);
    }
}

void printLine(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

} // namespace CommandLine
