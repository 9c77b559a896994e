#include "app/MainForm.h"
#include "app/Startup.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vormik"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/vormik.png")));
    QApplication::setDesktopFileName(QStringLiteral("vormik"));

    QTranslator qtTranslator;
    installJapaneseTranslation(qtTranslator);

    // Command-line arguments are not read: every run starts with an empty tree.
    TMain window;
    window.show();
    return QApplication::exec();
}
