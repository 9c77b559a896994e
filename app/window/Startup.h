#pragma once

#include <QStringList>

class QCommandLineParser;
class QTranslator;

// Names the program for the desktop; its settings live in a folder of its own (~/.config/vormik/).
void nameTheProgram();
// Moves the settings an older Vormik kept under Qt's stand-in organisation ("Unknown
// Organization") to that folder, once: never over settings already there.
void carryOverOldSettings();

// The program's arguments as the application object reads them, before there is one.
QStringList arguments(int argc, char *argv[]);

// Whether the command line is answered in text alone: help, the version, or a mistake. A line
// holding one of Qt's own options (-platform, -style, ...) waits for the application object,
// which takes them out.
bool answeredInText(QCommandLineParser &parser, const QStringList &arguments);

// Qt's own Japanese strings, so that standard dialogs and buttons speak the window's language.
// Returns false when the translation is not installed; the program then runs in English there.
bool installJapaneseTranslation(QTranslator &translator);
