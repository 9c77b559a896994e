#include "app/Startup.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

bool installJapaneseTranslation(QTranslator &translator)
{
    if (!translator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
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
        for (const QString &name : parser.optionNames()) {
            if (textOptions.contains(name))
                return true;
        }
        return false;
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
