#pragma once

#include <QString>

#include <functional>

// What every command-line program of Vormik shares: how a failure reaches the terminal.
namespace CommandLine {

// Prints the message as the editor's error box shows it, on standard error; returns the exit code 1.
int fail(const QString &message);
// Prints the message as it is written, a Japanese one without a period; returns the exit code 1.
int failAsWritten(const QString &message);
// Runs `command` and returns its exit code; a VormikError, a lack of memory or any other
// exception becomes a message printed by `report` and the exit code 1.
int run(const std::function<int()> &command, int (*report)(const QString &message) = fail);
// Prints "PROGRAM: 警告: LINE" on standard error.
void warn(const QString &line);
// Writes a line to standard output in the terminal's encoding.
void printLine(const QString &line);

} // namespace CommandLine
