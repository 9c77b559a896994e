#include "cli/CommandLine.h"

#include "text/VormikError.h"

#include <QCoreApplication>

#include <cstdio>
#include <new>

namespace CommandLine {

int failAsWritten(const QString &message)
{
    std::fputs(message.toLocal8Bit().constData(), stderr);
    std::fputc('\n', stderr);
    return 1;
}

int fail(const QString &message)
{
    return failAsWritten(shownErrorMessage(message));
}

void warn(const QString &line)
{
    std::fputs(QStringLiteral("%1: 警告: %2\n").arg(QCoreApplication::applicationName(), line).toLocal8Bit().constData(),
               stderr);
}

int run(const std::function<int()> &command, int (*report)(const QString &message))
{
    try {
        return command();
    } catch (const VormikError &failure) {
        return report(failure.message());
    } catch (const std::bad_alloc &) {
        return report(QStringLiteral("メモリが不足しています"));
    } catch (const std::exception &failure) {
        return report(QString::fromLocal8Bit(failure.what()));
    }
}

void printLine(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

} // namespace CommandLine
