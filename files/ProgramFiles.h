#pragma once

#include <QString>

// Where the program finds the files it ships with, the help file and the ReadMe.
namespace ProgramFiles {

// The place of `name` for a program in `programDir`. When the file is nowhere, the first place it
// was looked for, so that a message can name it.
QString find(const QString &programDir, const QString &name);

// The same for the running program.
QString find(const QString &name);

} // namespace ProgramFiles
