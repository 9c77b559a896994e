#include "app/window/Startup.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSettings>
#include <QTranslator>

#include <algorithm>

bool installJapaneseTranslation(QTranslator &translator)
{
    if (!translator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

void nameTheProgram()
{
    QCoreApplication::setOrganizationName(QStringLiteral("vormik"));
    QCoreApplication::setApplicationName(QStringLiteral("Vormik"));
}

void carryOverOldSettings()
{
    const QString own = QSettings().fileName();
    const QString old = QSettings(QStringLiteral("Unknown Organization"), QCoreApplication::applicationName()).fileName();
    if (QFileInfo::exists(own) || !QFileInfo::exists(old))
        return;
    // Moved whole, so what it holds comes across as it was; a move that fails leaves both as
    // they were and the program starts with fresh settings.
    if (QDir().mkpath(QFileInfo(own).absolutePath()) && QFile::rename(old, own))
        QDir().rmdir(QFileInfo(old).absolutePath()); // only when no other program keeps its settings there
}

QStringList arguments(int argc, char *argv[])
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

bool answeredInText(QCommandLineParser &parser, const QStringList &arguments)
{
    if (parser.parse(arguments)) {
        static const QStringList textOptions = {"h", "help", "?", "help-all", "v", "version"};
        return std::ranges::any_of(parser.optionNames(),
                                   [](const QString &name) { return textOptions.contains(name); });
    }
    // Qt's application objects take these, with one dash or two, whatever follows.
    static const QStringList qtOptions = {
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
        "qwindowicon", "icon", "qwindowtitle", "title", "reverse", "session", "display", "name",
        "style", "stylesheet", "widgetcount", "qmljsdebugger", "nograb", "dograb", "sync", "visual"};
    static const QRegularExpression option(QStringLiteral("^--?([^=]+)"));
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            break;
        if (const auto found = option.match(argument); found.hasMatch() && qtOptions.contains(found.captured(1)))
            return false;
    }
    return true;
}
