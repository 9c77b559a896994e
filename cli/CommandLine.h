#pragma once

#include <QString>

#include <functional>

// What every command-line program of Vormik shares: how a failure reaches the terminal.
namespace CommandLine {

// Prints the message as the user reads it, on standard error; returns `exitCode`.
int fail(const QString &message, int exitCode = 1);
// Runs `command` and returns its exit code; a VormikError, a lack of memory or any other
// exception becomes a message and the exit code `failureCode`.
int run(const std::function<int()> &command, int failureCode = 1);
// Writes a line to standard output in the terminal's encoding.
void printLine(const QString &line);

} // namespace CommandLine
