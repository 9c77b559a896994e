#include "app/window/MainWindow.h"
#include "app/window/Startup.h"
#ifdef VORMIK_HAS_PREVIEW
#include "app/preview/PreviewScheme.h"
#endif

#include <QApplication>
#include <QCommandLineParser>
#include <QTranslator>

#include <algorithm>

#include <memory>
#include <vector>

namespace {

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("ヴォルミク (Vormik): 折りたたみ式のリンクメニューを作るエディタ"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("開くプロジェクトファイル（いくつでも）"),
                                 QStringLiteral("[FILE...]"));
}

void nameAndNumberTheProgram()
{
    nameTheProgram();
    QCoreApplication::setApplicationVersion(QStringLiteral(VORMIK_VERSION));
}

} // namespace

int main(int argc, char *argv[])
{
    // Help, the version and a mistyped option are answered before a display is needed, so they
    // work on a machine without one.
    QCommandLineParser early;
    describe(early);
    if (answeredInText(early, arguments(argc, argv))) {
        QCoreApplication app(argc, argv);
        nameAndNumberTheProgram();
        QTranslator qtTranslator;
        installJapaneseTranslation(qtTranslator);
        QCommandLineParser parser;
        describe(parser);
        parser.process(app); // prints and ends the program
        return 0;
    }

#ifdef VORMIK_HAS_PREVIEW
    PreviewScheme::registerScheme();
#endif
    QApplication app(argc, argv);
    nameAndNumberTheProgram();
    carryOverOldSettings();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/vormik.png")));
    QApplication::setDesktopFileName(QStringLiteral("vormik"));

    QTranslator qtTranslator;
    installJapaneseTranslation(qtTranslator);

    QCommandLineParser parser;
    describe(parser);
    parser.process(app);

    // One window for each file named, or one empty window.
    const QStringList files = parser.positionalArguments();
    std::vector<std::unique_ptr<MainWindow>> windows;
    for (qsizetype i = 0; i < std::max<qsizetype>(files.size(), 1); ++i) {
        windows.push_back(std::make_unique<MainWindow>());
        windows.back()->show();
        if (i < files.size())
            windows.back()->openAtStart(files.at(i));
    }
    return QApplication::exec();
}
