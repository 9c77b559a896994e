#pragma once

#include <QString>

#include <cstdio>
#include <functional>

// What every command-line program of Vormik shares: how a failure reaches the terminal.
namespace CommandLine {

// How a failure's message is printed: as the editor's error box shows it (a period added), or as
// it is written (a Japanese message ends without an ASCII period).
enum class Wording { AsShown, AsWritten };

// Prints the message on standard error in the given wording; returns `exitCode`.
int fail(const QString &message, int exitCode = 1, Wording wording = Wording::AsShown);
// Runs `command` and returns its exit code; a VormikError, a lack of memory or any other
// exception becomes a message and the exit code `failureCode`.
int run(const std::function<int()> &command, int failureCode = 1, Wording wording = Wording::AsShown);
// Prints "PROGRAM: 警告: LINE" on standard error.
void warn(const QString &line);
// Writes a line to `stream` in the terminal's encoding.
void printLine(const QString &line, FILE *stream = stdout);

} // namespace CommandLine
