// Settings in the program's own folder; windows come back as they were left and never open
// larger than the screen, a small one here (tests/data/small-screen.json).
#include "WindowFixture.h"
#include "app/window/Startup.h"

#include <QScreen>
#include <QTemporaryDir>
#include <QTreeWidget>

class TestDesktop : public QObject
{
    Q_OBJECT

    WindowFixture f;
    QTemporaryDir config; // Qt finds the settings folder once, at their first use

    // A window as the program shows it, with its link check, and what it looks like.
    QVariantList show(bool freshSettings)
    {
        f.make(freshSettings);
        f.window->show();
        f.window->findChild<QAction *>("mnCheckLinks1")->trigger();
        const QSize area = f.window->screen()->availableGeometry().size();
        [&] { QCOMPARE(area.expandedTo(f.window->frameGeometry().size()), area); }();
        return look();
    }

    QVariantList look()
    {
        const QWidget *check = f.window->findChild<QWidget *>("LinkCheckDialog");
        return {f.window->isMaximized(), f.window->normalGeometry().size(), f.ui->Splitter1->sizes().at(0),
                f.ui->ListView1->columnWidth(1), check->size(), check->findChild<QTreeWidget *>()->columnWidth(2)};
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path())); }
    void cleanup() { f.window ? f.close() : void(); }

    void settingsMoveToTheProgramsFolderOnce()
    {
        QStandardPaths::setTestModeEnabled(false);
        nameTheProgram();
        for (const char *left : {"first", "second"}) {
            QSettings(config.filePath("Unknown Organization/Vormik.conf"), QSettings::IniFormat).setValue("recent", left);
            carryOverOldSettings();
            QCOMPARE(QSettings().value("recent").toString(), "first");
        }
        QCOMPARE(QSettings().fileName(), config.filePath("vormik/Vormik.conf"));
    }

    void windowsComeBackWithinTheScreen_data()
    {
        QTest::addColumn<bool>("maximised");
        QTest::addColumn<int>("percent"); // of each size at the first start
        QTest::newRow("smaller") << false << 75;
        QTest::newRow("maximised") << true << 75;
        QTest::newRow("larger than the screen") << false << 200;
    }

    void windowsComeBackWithinTheScreen()
    {
        QFETCH(bool, maximised);
        QFETCH(int, percent);
        show(true);
        auto *check = f.window->findChild<QWidget *>("LinkCheckDialog");
        for (QWidget *window : {static_cast<QWidget *>(f.window.get()), check})
            window->resize(window->size() * percent / 100);
        f.ui->Splitter1->setSizes({f.ui->Splitter1->sizes().at(0) / 2, f.ui->Splitter1->sizes().at(1)});
        f.ui->ListView1->setColumnWidth(1, f.ui->ListView1->columnWidth(1) / 2);
        check->findChild<QTreeWidget *>()->setColumnWidth(2, 33);
        if (maximised)
            f.window->showMaximized();
        const QVariantList before = look();
        f.window->close();
        if (const QVariantList after = show(false); percent < 100)
            QCOMPARE(after, before);
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
