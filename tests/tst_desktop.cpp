// The editor among the desktop's programs: its settings in a folder of its own, and windows that
// come back as the user left them and never open larger than the screen. Run on a small screen
// (tests/data/small-screen.json: 800 by 500 at scale 2, a screen of 1600 by 1000 pixels).
#include "WindowFixture.h"
#include "app/Startup.h"

#include <QDialog>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>

class TestDesktop : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> f;
    // The user's settings folder; Qt finds it once, at the first use of settings.
    QTemporaryDir config;

    // A window made as the program makes it, shown at its own size.
    WindowFixture &newWindow(bool freshSettings)
    {
        f = std::make_unique<WindowFixture>();
        f->make(freshSettings);
        f->window->show();
        [&] { QVERIFY(QTest::qWaitForWindowExposed(f->window.get())); }();
        return *f;
    }

    QDialog *linkCheck()
    {
        f->window->findChild<QAction *>("mnCheckLinks1")->trigger();
        auto *dialog = f->window->findChild<QDialog *>("LinkCheckDialog");
        [&] { QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog)); }();
        return dialog;
    }

    static bool fitsTheScreen(const QWidget *window)
    {
        const QRect area = window->screen()->availableGeometry();
        return window->frameGeometry().width() <= area.width() && window->frameGeometry().height() <= area.height();
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path())); }

    void cleanup()
    {
        if (f)
            f->close();
        f.reset();
    }

    void settingsLiveInTheProgramsOwnFolder_data()
    {
        QTest::addColumn<QStringList>("old"); // the recent files an older Vormik kept; empty: no file
        QTest::addColumn<QStringList>("own"); // those already in the program's folder; empty: no file
        QTest::addColumn<QStringList>("kept");
        QTest::newRow("first start after the move") << QStringList{"/a.xml"} << QStringList() << QStringList{"/a.xml"};
        QTest::newRow("moved before") << QStringList{"/aa.xml"} << QStringList{"/bbb.xml"} << QStringList{"/bbb.xml"};
        QTest::newRow("nothing to move") << QStringList() << QStringList{"/cccc.xml"} << QStringList{"/cccc.xml"};
    }

    void settingsLiveInTheProgramsOwnFolder()
    {
        QFETCH(QStringList, old);
        QFETCH(QStringList, own);
        QStandardPaths::setTestModeEnabled(false);
        const QString oldFile = config.filePath("Unknown Organization/Vormik.conf");
        const QString ownFolder = config.filePath("vormik");
        QDir(ownFolder).removeRecursively();
        QFile::remove(oldFile);
        if (!old.isEmpty())
            QSettings(oldFile, QSettings::IniFormat).setValue("recentFiles", old);
        if (!own.isEmpty()) {
            QVERIFY(QDir().mkpath(ownFolder));
            QSettings(ownFolder + "/Vormik.conf", QSettings::IniFormat).setValue("recentFiles", own);
        }

        nameTheProgram();
        carryOverOldSettings();
        QCOMPARE(QFileInfo(QSettings().fileName()).absolutePath(), ownFolder);
        QTEST(QSettings().value("recentFiles").toStringList(), "kept");
        QCOMPARE(QFile::exists(oldFile), !own.isEmpty() && !old.isEmpty());
    }

    void windowsOpenWithinTheScreen_data()
    {
        QTest::addColumn<bool>("remembered");
        QTest::newRow("first start") << false;
        QTest::newRow("last closed on a larger screen") << true;
    }

    void windowsOpenWithinTheScreen()
    {
        QFETCH(bool, remembered);
        if (remembered) {
            newWindow(true).window->resize(f->window->screen()->size() * 2);
            f->window->close();
        }
        QVERIFY(fitsTheScreen(newWindow(!remembered).window.get()));
    }

    void theLookIsKeptForTheNextRun_data()
    {
        QTest::addColumn<bool>("maximised");
        QTest::newRow("normal") << false;
        QTest::newRow("maximised") << true;
    }

    void theLookIsKeptForTheNextRun()
    {
        QFETCH(bool, maximised);
        // Sizes no program would choose, each some way below what it was.
        const auto smaller = [](int size) { return size * 3 / 4; };
        newWindow(true);
        TMain *window = f->window.get();
        window->resize(smaller(window->width()), smaller(window->height()));
        const QList<int> divider{smaller(f->ui->Splitter1->sizes().at(0)),
                                 f->ui->Splitter1->sizes().at(0) + f->ui->Splitter1->sizes().at(1)
                                     - smaller(f->ui->Splitter1->sizes().at(0))};
        f->ui->Splitter1->setSizes(divider);
        f->ui->ListView1->setColumnWidth(1, smaller(f->ui->ListView1->columnWidth(1)));
        QDialog *check = linkCheck();
        check->resize(smaller(check->width()), smaller(check->height()));
        auto *answers = check->findChild<QTreeWidget *>("LinkCheckResults");
        answers->setColumnWidth(2, smaller(answers->columnWidth(2)));
        if (maximised)
            window->showMaximized();
        const QSize size = window->normalGeometry().size();
        const int listColumn = f->ui->ListView1->columnWidth(1);
        const QSize checkSize = check->size();
        const int answerColumn = answers->columnWidth(2);
        window->close();

        newWindow(false);
        QCOMPARE(f->window->isMaximized(), maximised);
        QCOMPARE(f->window->normalGeometry().size(), size);
        if (!maximised)
            QCOMPARE(f->ui->Splitter1->sizes(), divider);
        QCOMPARE(f->ui->ListView1->columnWidth(1), listColumn);
        check = linkCheck();
        QCOMPARE(check->size(), checkSize);
        QCOMPARE(check->findChild<QTreeWidget *>("LinkCheckResults")->columnWidth(2), answerColumn);
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
