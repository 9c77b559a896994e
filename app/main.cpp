#include "app/MainForm.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vormik"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vormik"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/vormik.png")));
    QApplication::setDesktopFileName(QStringLiteral("vormik"));

    // The standard dialogs speak Japanese, like the rest of the window.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    // Command-line arguments are not read: every run starts with an empty tree.
    TMain window;
    window.show();
    return QApplication::exec();
}
