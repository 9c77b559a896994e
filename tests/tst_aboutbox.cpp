#include "app/dialogs/AboutDialog.h"
#include "app/dialogs/AboutBoxText.h"
#include "app/window/MainWindow.h"
#include "Controls.h"
#include "UrlCatcher.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>


namespace {
const QLocale english(QLocale::English, QLocale::UnitedStates);
const QLocale japanese(QLocale::Japanese, QLocale::Japan);
const QLocale german(QLocale::German, QLocale::Germany);

// The links' behaviour is seen in a build that names both pages (tools/run-tests' sanitizer build).
constexpr bool buildNamesBothPages = sizeof(VORMIK_HOMEPAGE) > 1 && sizeof(VORMIK_SUPPORT_PAGE) > 1;
constexpr const char *noLinks = "the build names no home or support page, so the box shows no link";

// What one showing of the box displayed.
struct Shown
{
    QString version, size, date, path;
};
} // namespace

class TestAboutBox : public QObject
{
    Q_OBJECT

    // Opens the box through the Help menu, reads it and closes it with OK, all while it runs modally.
    Shown showThroughMenu(MainWindow &window)
    {
        Shown shown;
        QTimer closer;
        closer.setInterval(10);
        connect(&closer, &QTimer::timeout, this, [&] {
            auto *box = qobject_cast<AboutDialog *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            closer.stop();
            shown = {control<QLabel>(*box, "VersionLabel")->text(), control<QLabel>(*box, "FileSizeLabel")->text(),
                     control<QLabel>(*box, "UpdateLabel")->text(), control<QLineEdit>(*box, "FullPathEdit")->text()};
            control<QPushButton>(*box, "OKBtn")->click();
        });
        closer.start();
        control<QAction>(window, "mnAbout1")->trigger();
        return shown;
    }

    // The colour the label's text is drawn in: its most saturated pixel, pure where the glyphs are solid.
    static QColor inkOf(QLabel *label)
    {
        const QImage image = label->grab().toImage();
        QColor ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                if (!ink.isValid() || pixel.hsvSaturation() > ink.hsvSaturation())
                    ink = pixel;
            }
        return ink;
    }

    static QRect darkArea(const QImage &image, const QRect &inside)
    {
        QRect area;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    area |= QRect(x, y, 1, 1);
        return area;
    }

private slots:
    void sizeLine_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("line");

        QTest::newRow("826.5 KB, tie to even") << english << qint64(846336) << "FileSize    826 KB  (846,336 Byte)";
        QTest::newRow("Japanese separators") << japanese << qint64(846336) << "FileSize    826 KB  (846,336 Byte)";
        QTest::newRow("the locale's own separator") << german << qint64(846336) << "FileSize    826 KB  (846.336 Byte)";
        QTest::newRow("1.5 KB rounds up to even") << english << qint64(1536) << "FileSize    2 KB  (1,536 Byte)";
        QTest::newRow("2.5 KB rounds down to even") << english << qint64(2560) << "FileSize    2 KB  (2,560 Byte)";
        QTest::newRow("3.5 KB rounds up to even") << english << qint64(3584) << "FileSize    4 KB  (3,584 Byte)";
        QTest::newRow("just over a half") << english << qint64(2561) << "FileSize    3 KB  (2,561 Byte)";
        QTest::newRow("under half a KB") << english << qint64(511) << "FileSize    0 KB  (511 Byte)";
        QTest::newRow("a million: KB without separators") << english << qint64(1000000)
                                                          << "FileSize    977 KB  (1,000,000 Byte)";
        QTest::newRow("beyond 2 GiB") << english << qint64(3221225472) << "FileSize    3145728 KB  (3,221,225,472 Byte)";
        QTest::newRow("no file") << english << qint64(0) << "FileSize    0 KB  (0 Byte)";
    }

    void sizeLine()
    {
        QFETCH(QLocale, locale);
        QFETCH(qint64, bytes);
        QFETCH(QString, line);
        QCOMPARE(AboutBoxText::sizeLine(locale, bytes), line);
    }

    void versionLine_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("line");

        QTest::newRow("1.1.0.2") << "1.1.0.2" << "Version    1.10  [ 1.1.0.2 ]";
        QTest::newRow("2.3.4.5") << "2.3.4.5" << "Version    2.34  [ 2.3.4.5 ]";
        QTest::newRow("parts of two digits") << "10.2.11.0" << "Version    10.211  [ 10.2.11.0 ]";
        QTest::newRow("two parts") << "3.1" << "Version    3.1  [ 3.1 ]";
        QTest::newRow("one part") << "7" << "Version    7  [ 7 ]";
        QTest::newRow("none") << "" << "Version    unknown";
    }

    void versionLine()
    {
        QFETCH(QString, version);
        QFETCH(QString, line);
        QCOMPARE(AboutBoxText::versionLine(version), line);
    }

    void versionIsCompiledIn() { QCOMPARE(AboutBoxText::fileVersion(), QString("1.1.0.2")); }

    void dateLine_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDateTime>("lastWrite");
        QTest::addColumn<QString>("line");

        const QDate day(2026, 12, 7);
        QTest::newRow("midnight: the date alone") << english << QDateTime(day, QTime(0, 0)) << "UpDate    12/7/26";
        QTest::newRow("one second past midnight is midnight to a packed date")
            << english << QDateTime(day, QTime(0, 0, 1, 999)) << "UpDate    12/7/26";
        QTest::newRow("two seconds past midnight") << english << QDateTime(day, QTime(0, 0, 2))
                                                   << "UpDate    12/7/26 12:00:02 AM";
        QTest::newRow("odd seconds go down") << english << QDateTime(day, QTime(13, 45, 59, 500))
                                             << "UpDate    12/7/26 1:45:58 PM";
        QTest::newRow("Japanese") << japanese << QDateTime(day, QTime(9, 5, 6)) << "UpDate    2026/12/07 9時05分06秒";
        QTest::newRow("Japanese midnight") << japanese << QDateTime(day, QTime(0, 0)) << "UpDate    2026/12/07";
        QTest::newRow("no file") << english << QDateTime() << "UpDate    unknown";
    }

    void dateLine()
    {
        QFETCH(QLocale, locale);
        QFETCH(QDateTime, lastWrite);
        QFETCH(QString, line);
        QCOMPARE(AboutBoxText::dateLine(locale, lastWrite), line);
    }

    void boxAsDesigned()
    {
        AboutDialog box;
        box.show();
        QCOMPARE(box.windowTitle(), QString("バージョン情報"));
        QCOMPARE(box.size(), QSize(409, 305));
        QCOMPARE(box.minimumSize(), box.maximumSize());
        QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(box.windowFlags() & Qt::WindowCloseButtonHint);
        for (const char *name : {"TitleLabel", "VersionLabel", "CpyrghtLabel", "Label3", "Label1", "Label2", "Bevel1",
                                 "FileSizeLabel", "UpdateLabel", "Label6", "FullPathEdit", "OKBtn"})
            QVERIFY2(box.findChild<QWidget *>(name), name);
        auto *title = control<QLabel>(box, "TitleLabel");
        auto *ok = control<QPushButton>(box, "OKBtn");
        auto *path = control<QLineEdit>(box, "FullPathEdit");
        QCOMPARE(title->text(), QString("Vormik"));
        QCOMPARE(title->geometry(), QRect(0, 0, 409, 49));
        QCOMPARE(control<QLabel>(box, "Label3")->text(), QString("Kestrune"));
        QVERIFY(ok->isDefault());
        QVERIFY(path->isReadOnly());
        QVERIFY(!path->hasFrame());
        // OK has the focus first; Tab moves between it and the path.
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QCOMPARE(QApplication::focusWidget(), ok);
        QTest::keyClick(ok, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), path);
        QTest::keyClick(path, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ok);
        // Centred on the screen, give or take the frame, which the window system adds after showing.
        const QPoint offCentre = box.frameGeometry().center() - box.screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 8, qPrintable(QString("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
        for (QLabel *link : {control<QLabel>(box, "Label1"), control<QLabel>(box, "Label2")}) {
            QVERIFY(link->font().underline());
            QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
            QVERIFY(!link->isVisible() || QUrl(link->text()).isValid());
        }
    }

    // The box shows the pages the build names, and no link for a page it names none of.
    void addressesAreTheBuildsPages_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("address");
        QTest::newRow("home page") << "Label1" << QStringLiteral(VORMIK_HOMEPAGE);
        QTest::newRow("support page") << "Label2" << QStringLiteral(VORMIK_SUPPORT_PAGE);
    }
    void addressesAreTheBuildsPages()
    {
        QFETCH(QString, label);
        QFETCH(QString, address);
        AboutDialog box;
        box.show();
        auto *link = control<QLabel>(box, qPrintable(label));
        QCOMPARE(link->text(), address);
        QCOMPARE(link->isVisible(), !address.isEmpty());
    }

    void titleBandIsPainted()
    {
        AboutDialog box;
        box.show();
        const QImage band = control<QLabel>(box, "TitleLabel")->grab().toImage();
        QCOMPARE(band.size(), QSize(409, 49));
        // A black outline around white, the title in the middle.
        QCOMPARE(qGray(band.pixel(0, 0)), 0);
        QCOMPARE(qGray(band.pixel(408, 48)), 0);
        QCOMPARE(qGray(band.pixel(1, 1)), 255);
        QCOMPARE(qGray(band.pixel(407, 24)), 255);
        const QRect text = darkArea(band, QRect(1, 1, 407, 47));
        QVERIFY(!text.isEmpty());
        QVERIFY2(qAbs(text.center().x() - 204) <= 3, qPrintable(QString::number(text.center().x())));
        QVERIFY2(qAbs(text.center().y() - 24) <= 5, qPrintable(QString::number(text.center().y())));
    }

    void linksLightUpUnderThePointer()
    {
        if (!buildNamesBothPages)
            QSKIP(noLinks);
        AboutDialog box;
        box.show();
        auto *home = control<QLabel>(box, "Label1");
        auto *support = control<QLabel>(box, "Label2");
        QCOMPARE(inkOf(home), QColor(0, 0, 255));
        QCOMPARE(inkOf(support), QColor(0, 0, 255));

        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), support->mapToGlobal(QPointF(2, 2)));
        QCoreApplication::sendEvent(support, &enter);
        QCOMPARE(inkOf(support), QColor(255, 0, 0));
        QCOMPARE(inkOf(home), QColor(0, 0, 255));

        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(support, &leave);
        QCOMPARE(inkOf(support), QColor(0, 0, 255));

        QCoreApplication::sendEvent(home, &enter);
        QCOMPARE(inkOf(home), QColor(255, 0, 0));
        QCOMPARE(inkOf(support), QColor(0, 0, 255));
    }

    void linkClickOpensTheAddress()
    {
        if (!buildNamesBothPages)
            QSKIP(noLinks);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        AboutDialog box;
        box.show();
        auto *home = control<QLabel>(box, "Label1");
        auto *support = control<QLabel>(box, "Label2");
        QTest::mouseClick(support, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseClick(home, Qt::LeftButton, {}, QPoint(3, 3));
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(catcher.urls, QList<QUrl>({QUrl(support->text()), QUrl(home->text())}));
        QVERIFY(box.isVisible());
    }

    void hintsReachTheStatusBar()
    {
        MainWindow window;
        AboutDialog box(&window);
        auto *home = control<QLabel>(box, "Label1");
        QStatusTipEvent tip(home->statusTip());
        QCoreApplication::sendEvent(home, &tip);
        QCOMPARE(control<QStatusBar>(window, "StatusBar1")->currentMessage(), QString("ホームページ"));
    }

    void closing_data()
    {
        QTest::addColumn<int>("key"); // 0: the close box
        QTest::addColumn<bool>("closes");
        QTest::newRow("Enter") << int(Qt::Key_Return) << true;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
        QTest::newRow("close box") << 0 << true;
    }

    void closing()
    {
        QFETCH(int, key);
        QFETCH(bool, closes);
        AboutDialog box;
        box.setResult(-1);
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        if (key)
            QTest::keyClick(&box, Qt::Key(key));
        else
            box.close();
        QCOMPARE(box.isVisible(), !closes);
        QCOMPARE(box.result(), closes ? int(QDialog::Accepted) : -1);
    }

    void menuShowsAFreshBoxEachTime()
    {
        QLocale::setDefault(english);
        const QString program = QCoreApplication::applicationFilePath();
        QFile file(program);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QDateTime original = file.fileTime(QFileDevice::FileModificationTime);
        const QDateTime first(QDate(2025, 3, 14), QTime(15, 9, 26));
        const QDateTime second(QDate(2026, 12, 7), QTime(0, 0));

        MainWindow window;
        QVERIFY(file.setFileTime(first, QFileDevice::FileModificationTime));
        const Shown before = showThroughMenu(window);
        QVERIFY(file.setFileTime(second, QFileDevice::FileModificationTime));
        const Shown after = showThroughMenu(window);
        file.setFileTime(original, QFileDevice::FileModificationTime);
        QLocale::setDefault(QLocale::system());

        QCOMPARE(before.date, QString("UpDate    3/14/25 3:09:26 PM"));
        QCOMPARE(after.date, QString("UpDate    12/7/26"));
        for (const Shown &shown : {before, after}) {
            QCOMPARE(shown.version, QString("Version    1.10  [ 1.1.0.2 ]"));
            QCOMPARE(shown.size, AboutBoxText::sizeLine(english, QFileInfo(program).size()));
            QCOMPARE(shown.path, program);
        }
        // Nothing of either box is left.
        QTRY_VERIFY(window.findChildren<AboutDialog *>().isEmpty());
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<AboutDialog *>(top));
    }
};

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
