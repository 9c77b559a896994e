#include "TreeEdits.h"
#include "TreeSnapshot.h"
#include "import/ImportFile.h"
#include "app/dialogs/HelpViewer.h"
#include "app/window/MainWindow.h"
#include "app/document/ProjectDocument.h"
#include "app/dialogs/ExportDialog.h"
#include "text/Cp932Codec.h"
#include "app/editing/LinkTreeModel.h"
#include "html/WrittenFiles.h"
#include "project/ProjectFile.h"
#include "HelpWindow.h"
#include "ModalLoop.h"
#include "ScriptedPrompts.h"
#include "UrlCatcher.h"
#include "Controls.h"
#include "FileHelpers.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QPointer>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QItemSelectionRange>
#include <QUndoStack>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

struct Fixture
{
    MainWindow window;
    ScriptedPrompts *prompts = nullptr;
    QTemporaryDir dir;

    Fixture()
    {
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        window.setPrompts(std::move(scripted));
        LinkTreeModel &model = window.treeModel();
        LinkNode *group = TreeEdits::appendGroup(model, nullptr, QStringLiteral("資料"));
        LinkNode *link = TreeEdits::appendLink(model, group, QStringLiteral("案内"));
        link->record().Href = QStringLiteral("guide.html");
    }
    QString path(const QString &name) const { return dir.filePath(name); }

    // Runs the command with the save dialog answering `answer`; true when the settings dialog showed.
    bool run(const std::optional<QString> &answer, const std::function<void(ExportDialog &)> &action)
    {
        prompts->fileAnswers.enqueue(answer);
        // The command returns once the action has closed the dialog.
        return actWhileShown([] { return qobject_cast<ExportDialog *>(QApplication::activeModalWidget()); },
                             [&](QWidget &dialog) { action(static_cast<ExportDialog &>(dialog)); },
                             [this] { control<QAction>(window, "mnOutPutHTML1")->trigger(); });
    }
};

} // namespace

class TestExportDialog : public QObject
{
    Q_OBJECT

private slots:
    void saveDialogAsksForAnHtmlFile()
    {
        Fixture f;
        QVERIFY(f.run(f.path(QStringLiteral("a.htm")), [](ExportDialog &dialog) { dialog.reject(); }));
        QCOMPARE(f.prompts->fileDialogs.size(), 1);
        const Prompts::FileDialog &asked = f.prompts->fileDialogs.constFirst();
        QCOMPARE(asked.filter, QStringLiteral("HTMLドキュメント (*.html;*.htm)|*.html;*.htm;"));
        QCOMPARE(asked.defaultSuffix, QStringLiteral("htm"));
        QVERIFY(asked.confirmOverwrite);
        QVERIFY(asked.fileName.isEmpty());
    }

    void cancelledSaveDialogShowsNoSettings()
    {
        Fixture f;
        const QString existing = f.path(QStringLiteral("menu.htm"));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
        file.close();
        // A dialog that did show would be closed at once by the poll, and counted.
        QVERIFY(!f.run(std::nullopt, [](ExportDialog &dialog) { dialog.accept(); }));
        QCOMPARE(readAll(existing), QByteArray("keep"));
        QVERIFY(f.prompts->messages.isEmpty());
    }

    void defaultsOnEveryOpening()
    {
        Fixture f;
        auto checkDefaultsThenChangeAll = [](ExportDialog &d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("出力設定"));
            QVERIFY(d.outputFileName.endsWith(QStringLiteral("menu.htm")));
            for (const char *on : {"JSONRadioBtn", "DefCSSONRadioBtn", "SoftInfoONRadioBtn", "AuthorLinkONRadioBtn"})
                QVERIFY2(control<QRadioButton>(d, on)->isChecked(), on);
            auto *mark = control<QComboBox>(d, "GroupMarkCmbBox");
            auto *fonts = control<QComboBox>(d, "FontsCmbBox");
            auto *className = control<QLineEdit>(d, "ClassNameEdit");
            QCOMPARE(mark->currentText(), QString());
            QCOMPARE(mark->count(), 6);
            QCOMPARE(className->text(), QStringLiteral("指定したい場合のみ設定"));
            QCOMPARE(fonts->currentIndex(), ExportDialog::defaultFontIndex(ExportDialog::fontEntries(QFontDatabase::families())));
            const ExportSettings defaults;
            const ExportSettings shown = d.settings();
            QCOMPARE(shown.foldingScript, defaults.foldingScript);
            QCOMPARE(shown.classNameEntry, defaults.classNameEntry);

            for (const char *off : {"JSOFFRadioBtn", "DefCSSOFFRadioBtn", "SoftInfoOFFRadioBtn", "AuthorLinkOFFRadioBtn"})
                control<QRadioButton>(d, off)->setChecked(true);
            mark->setEditText(QStringLiteral("◆"));
            fonts->setCurrentIndex(fonts->count() - 1);
            className->setText(QStringLiteral("menu"));
            control<QPushButton>(d, "CancelBtn")->click();
        };
        QVERIFY(f.run(f.path(QStringLiteral("menu.htm")), checkDefaultsThenChangeAll));
        QVERIFY(f.run(f.path(QStringLiteral("menu.htm")), checkDefaultsThenChangeAll));
        QVERIFY(!QFile::exists(f.path(QStringLiteral("menu.htm"))));
    }

    void controlsAndHints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        QTest::newRow("Label1") << "Label1" << "グループ要素につけるマーク(&G)" << "";
        QTest::newRow("Label2") << "Label2" << "フォント（固定長フォント推奨）(&F)" << "";
        QTest::newRow("Label3") << "Label3" << "グループ要素につけるクラス名(&C)" << "";
        QTest::newRow("GroupMarkCmbBox") << "GroupMarkCmbBox" << "" << "無くても可";
        QTest::newRow("FontsCmbBox") << "FontsCmbBox" << "" << "ＭＳ ゴシックが妥当";
        QTest::newRow("ClassNameEdit") << "ClassNameEdit" << "" << "特別に指定したい場合はクラス名を入力";
        QTest::newRow("Panel1") << "Panel1Caption" << "   JavaScriptによるツリーの開閉を" << "";
        QTest::newRow("Panel2") << "Panel2Caption" << " デフォルトのスタイルシートを使用" << "";
        QTest::newRow("Panel3") << "Panel3Caption" << "出力ファイルにソフト情報を" << "";
        QTest::newRow("Panel5") << "Panel5Caption" << "作者ウェブサイトへのリンクを" << "";
        QTest::newRow("JSONRadioBtn") << "JSONRadioBtn" << "する" << "";
        QTest::newRow("JSOFFRadioBtn") << "JSOFFRadioBtn" << "しない" << "";
        QTest::newRow("SoftInfoONRadioBtn") << "SoftInfoONRadioBtn" << "入れる（推奨）" << "";
        QTest::newRow("AuthorLinkOFFRadioBtn") << "AuthorLinkOFFRadioBtn" << "入れない" << "";
        QTest::newRow("OKBtn") << "OKBtn" << "OK" << "";
        QTest::newRow("CancelBtn") << "CancelBtn" << "キャンセル" << "";
        QTest::newRow("HelpBtn") << "HelpBtn" << "ヘルプ" << "";
    }
    void controlsAndHints()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, hint);
        ScriptedPrompts prompts;
        ExportDialog dialog(prompts);
        auto *widget = dialog.findChild<QWidget *>(name);
        QVERIFY(widget);
        if (auto *label = qobject_cast<QLabel *>(widget))
            QCOMPARE(label->text(), text);
        else if (auto *button = qobject_cast<QAbstractButton *>(widget))
            QCOMPARE(button->text(), text);
        QCOMPARE(widget->statusTip(), hint);
        QVERIFY(widget->toolTip().isEmpty());
    }

    void tabOrderAndDefaultButton()
    {
        ScriptedPrompts prompts;
        ExportDialog dialog(prompts);
        auto *mark = control<QComboBox>(dialog, "GroupMarkCmbBox");
        auto *fonts = control<QComboBox>(dialog, "FontsCmbBox");
        QVERIFY(control<QPushButton>(dialog, "OKBtn")->isDefault());
        QCOMPARE(fonts->maxVisibleItems(), 12);
        QVERIFY(!fonts->isEditable());
        QVERIFY(mark->isEditable());
        const QStringList expected = {"GroupMarkCmbBox",     "FontsCmbBox",         "ClassNameEdit",
                                      "JSONRadioBtn",        "JSOFFRadioBtn",       "DefCSSONRadioBtn",
                                      "DefCSSOFFRadioBtn",   "SoftInfoONRadioBtn",  "SoftInfoOFFRadioBtn",
                                      "AuthorLinkONRadioBtn", "AuthorLinkOFFRadioBtn", "OKBtn",
                                      "CancelBtn",           "HelpBtn"};
        // The focus chain also holds the editable box's own line edit; only the named controls count.
        QStringList order{mark->objectName()};
        for (QWidget *w = mark->nextInFocusChain(); w != mark; w = w->nextInFocusChain()) {
            if (expected.contains(w->objectName()))
                order << w->objectName();
        }
        QCOMPARE(order, expected);
        // Each pair of answers is exclusive on its own.
        control<QRadioButton>(dialog, "JSOFFRadioBtn")->setChecked(true);
        QVERIFY(control<QRadioButton>(dialog, "DefCSSONRadioBtn")->isChecked()
                && control<QRadioButton>(dialog, "SoftInfoONRadioBtn")->isChecked()
                && control<QRadioButton>(dialog, "AuthorLinkONRadioBtn")->isChecked());
    }

    void labelAcceleratorsFocusTheirFields_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("field");
        QTest::newRow("&G") << int(Qt::Key_G) << "GroupMarkCmbBox";
        QTest::newRow("&F") << int(Qt::Key_F) << "FontsCmbBox";
        QTest::newRow("&C") << int(Qt::Key_C) << "ClassNameEdit";
    }
    void labelAcceleratorsFocusTheirFields()
    {
        QFETCH(int, key);
        QFETCH(QString, field);
        Fixture f;
        QString focused;
        QVERIFY(f.run(f.path(QStringLiteral("x.htm")), [&](ExportDialog &d) {
            // Accelerators reach only the active window; under load activation can lag.
            d.activateWindow();
            if (!QTest::qWaitForWindowActive(&d))
                return;
            control<QPushButton>(d, "OKBtn")->setFocus();
            QTest::keyClick(&d, Qt::Key(key), Qt::AltModifier);
            QWidget *w = QApplication::focusWidget();
            while (w && w->objectName().isEmpty()) // an editable box focuses its own line edit
                w = w->parentWidget();
            focused = w ? w->objectName() : QString();
            d.reject();
        }));
        QCOMPARE(focused, field);
    }

    void fontListStartsWithAnEmptyEntry()
    {
        Fixture f;
        QStringList entries;
        QVERIFY(f.run(f.path(QStringLiteral("x.htm")), [&entries](ExportDialog &d) {
            auto *fonts = control<QComboBox>(d, "FontsCmbBox");
            for (int i = 0; i < fonts->count(); ++i)
                entries << fonts->itemText(i);
            d.reject();
        }));
        QCOMPARE(entries, ExportDialog::fontEntries(QFontDatabase::families()));
        QCOMPARE(entries.constFirst(), QString());
    }

    void defaultFontChoice_data()
    {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<int>("index");
        QTest::newRow("absent") << QStringList{"Noto Sans", "DejaVu Sans Mono"} << -1;
        QTest::newRow("present") << QStringList{"Arial", "ＭＳ ゴシック", "ＭＳ 明朝"} << 2;
        QTest::newRow("other letter case") << QStringList{"ｍｓ ゴシック"} << 1;
        QTest::newRow("proportional one is not it") << QStringList{"ＭＳ Ｐゴシック"} << -1;
    }
    void defaultFontChoice()
    {
        QFETCH(QStringList, families);
        QFETCH(int, index);
        const QStringList entries = ExportDialog::fontEntries(families);
        QCOMPARE(entries.constFirst(), QString());
        QCOMPARE(ExportDialog::defaultFontIndex(entries), index);
    }

    void fontEntriesAreDrawnInTheirOwnFace()
    {
        ScriptedPrompts prompts;
        ExportDialog dialog(prompts);
        auto *fonts = control<QComboBox>(dialog, "FontsCmbBox");
        fonts->addItems({QString(), QStringLiteral("DejaVu Serif")});
        auto *delegate = qobject_cast<FontFamilyDelegate *>(fonts->itemDelegate());
        QVERIFY(delegate);
        QStyleOptionViewItem option;
        option.font = dialog.font();
        option.fontMetrics = QFontMetrics(option.font);
        option.rect = QRect(0, 0, 200, FontFamilyDelegate::ItemHeight);
        option.palette = dialog.palette();
        QVERIFY(delegate->sizeHint(option, fonts->model()->index(1, 0)).height() >= 14);

        // The empty entry is background only; a named one leaves ink on it.
        auto render = [&](int row) {
            QImage image(200, FontFamilyDelegate::ItemHeight, QImage::Format_RGB32);
            image.fill(Qt::magenta);
            QPainter painter(&image);
            delegate->paint(&painter, option, fonts->model()->index(row, 0));
            return image;
        };
        const QImage empty = render(0);
        const QRgb base = option.palette.base().color().rgb();
        bool allBase = true;
        for (int y = 0; y < empty.height(); ++y)
            for (int x = 0; x < empty.width(); ++x)
                allBase = allBase && empty.pixel(x, y) == base;
        QVERIFY(allBase);
        QVERIFY(render(1) != empty);
    }

    void enterActsAsOk_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("in the class name") << "ClassNameEdit";
        QTest::newRow("in the mark") << "GroupMarkCmbBox";
        QTest::newRow("on an option") << "JSOFFRadioBtn";
    }
    void enterActsAsOk()
    {
        QFETCH(QString, focus);
        Fixture f;
        const QString target = f.path(QStringLiteral("menu.htm"));
        QVERIFY(f.run(target, [&focus](ExportDialog &d) {
            control<QComboBox>(d, "GroupMarkCmbBox")->setEditText(QStringLiteral("◆"));
            control<QLineEdit>(d, "ClassNameEdit")->setText(QStringLiteral("  menu "));
            QWidget *field = d.findChild<QWidget *>(focus);
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Return);
        }));
        const QByteArray page = readAll(target);
        QVERIFY(!page.isEmpty());
        QVERIFY(page.contains(Cp932::encode(QStringLiteral("◆資料</a>"))));
        QVERIFY(page.contains("<div class=\"menu\" id=\"group-0-0\">"));
        QCOMPARE(f.prompts->messages.size(), 1);
        QCOMPARE(f.prompts->messages.constFirst().icon, Prompts::Icon::Information);
        QCOMPARE(f.prompts->messages.constFirst().caption, QStringLiteral("情報"));
        QCOMPARE(f.prompts->messages.constFirst().text, QStringLiteral("正常に出力しました"));
        // The export's traces stay in the window's tree.
        QCOMPARE(f.window.treeModel().tree().nodeAt(0)->record().ObjID, QStringLiteral("group-0-0"));
    }

    // The groups' new ids are one step of the history, undone like any other; an export that finds
    // every id in place makes none.
    void generatedIdsAreOneStep()
    {
        Fixture f;
        auto *history = f.window.findChild<QUndoStack *>();
        QVERIFY(history);
        const int steps = history->count();
        const auto exportPage = [&f] {
            return f.run(f.path(QStringLiteral("menu.htm")),
                         [](ExportDialog &d) { QTest::mouseClick(control<QPushButton>(d, "OKBtn"), Qt::LeftButton); });
        };
        QVERIFY(exportPage());
        QCOMPARE(history->count(), steps + 1);
        f.prompts->questionAnswers.enqueue(true); // replace the page
        QVERIFY(exportPage());
        QCOMPARE(history->count(), steps + 1);
        const LinkNode *group = f.window.treeModel().tree().nodeAt(0);
        QCOMPARE(group->record().ObjID, QStringLiteral("group-0-0"));
        history->undo();
        QVERIFY(group->record().ObjID.isEmpty());
    }

    // The last export's choices are saved with the project, shown by the next export after Open and
    // written again by their own command with no dialog; a file never exported from saves as before.
    void lastExportTravelsWithTheProject()
    {
        Fixture f;
        const auto trigger = [](Fixture &in, const char *name) { control<QAction>(in.window, name)->trigger(); };
        const QString project = f.path(QStringLiteral("menu.xml"));
        f.prompts->fileAnswers.enqueue(project);
        trigger(f, "mnSave1");
        const QString plain = f.path(QStringLiteral("plain.xml"));
        QVERIFY(QFile::copy(project, plain));
        QVERIFY(!control<QAction>(f.window, "mnExportAgain1")->isEnabled());

        QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("site")));
        const QString page = f.path(QStringLiteral("site/menu.html"));
        ExportSettings chosen;
        QVERIFY(f.run(page, [&chosen](ExportDialog &d) {
            control<QRadioButton>(d, "Html5FormatRadioBtn")->setChecked(true);
            control<QRadioButton>(d, "DefCSSOFFRadioBtn")->setChecked(true);
            control<QComboBox>(d, "GroupMarkCmbBox")->setEditText(QStringLiteral("◆"));
            control<QComboBox>(d, "FontsCmbBox")->setCurrentIndex(0);
            control<QLineEdit>(d, "PageTitleEdit")->setText(QStringLiteral("案内"));
            chosen = d.settings();
            QTest::mouseClick(control<QPushButton>(d, "OKBtn"), Qt::LeftButton);
        }));
        QVERIFY(control<QAction>(f.window, "mnExportAgain1")->isEnabled());
        trigger(f, "mnSaveOverwrite1");
        const QByteArray written = readAll(page);

        Fixture g;
        QVERIFY(g.window.document().openFile(project));
        QVERIFY(QFile::remove(page));
        trigger(g, "mnExportAgain1");
        QCOMPARE(readAll(page), written);
        QVERIFY(g.prompts->fileDialogs.isEmpty());
        QCOMPARE(g.prompts->messages.size(), 1);
        g.prompts->questionAnswers.enqueue(true); // replace the page
        QVERIFY(g.run(page, [&chosen](ExportDialog &d) {
            QVERIFY(d.settings() == chosen);
            d.reject();
        }));
        QCOMPARE(g.prompts->fileDialogs.constFirst().fileName, page);
        trigger(g, "UndoAction1");
        QVERIFY(!control<QAction>(g.window, "mnExportAgain1")->isEnabled());

        const QByteArray before = readAll(plain);
        QVERIFY(g.window.document().openFile(plain));
        trigger(g, "mnSaveOverwrite1");
        QCOMPARE(readAll(plain), before);
    }

    // Every file exported is an output of its own, the one last written first; the outputs travel
    // with the project, すべて出力 writes them all with one report, and one taken off stays off.
    void outputsTravelWithTheProject()
    {
        Fixture f;
        const std::pair<const char *, const char *> exports[] = {
            {"a.html", "ClassicFormatRadioBtn"}, {"b.json", "JsonFormatRadioBtn"},
            {"c.html", "Html5FormatRadioBtn"}, {"a.html", "ClassicFormatRadioBtn"}};
        for (const auto &[file, format] : exports) {
            if (QFile::exists(f.path(QLatin1String(file))))
                f.prompts->questionAnswers.enqueue(true); // replace it
            QVERIFY(f.run(f.path(QLatin1String(file)), [format](ExportDialog &d) {
                control<QRadioButton>(d, format)->setChecked(true);
                control<QComboBox>(d, "GroupMarkCmbBox")->setEditText(QLatin1String(format));
                QTest::mouseClick(control<QPushButton>(d, "OKBtn"), Qt::LeftButton);
            }));
        }
        const auto files = [](const ProjectDocument &document) {
            QStringList names;
            for (const StoredOutput &output : document.outputs())
                names << QFileInfo(output.choice.settings.outputFileName).fileName();
            return names;
        };
        QCOMPARE(files(f.window.document()), QStringList({"a.html", "c.html", "b.json"}));
        const QString project = f.path(QStringLiteral("menu.xml"));
        f.prompts->fileAnswers.enqueue(project);
        control<QAction>(f.window, "mnSave1")->trigger();

        Fixture g;
        QVERIFY(g.window.document().openFile(project));
        QVERIFY(std::ranges::equal(g.window.document().outputs(), f.window.document().outputs(),
                                   [](const auto &a, const auto &b) { return a.choice == b.choice; }));
        // A file of the user's (data carries no mark) is named, not replaced; the rest are written.
        for (const QString &file : files(g.window.document()))
            QVERIFY(QFile::remove(f.path(file)));
        QFile mine(f.path(QStringLiteral("b.json")));
        QVERIFY(mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4 && mine.flush());
        control<QAction>(g.window, "mnExportAll1")->trigger();
        QCOMPARE(g.prompts->messages.size(), 1);
        QVERIFY(g.prompts->messages.constFirst().icon == Prompts::Icon::Warning);
        QCOMPARE(readAll(f.path(QStringLiteral("b.json"))), QByteArray("mine"));
        for (const QString &file : files(g.window.document()))
            QVERIFY2(QFile::exists(f.path(file)), qPrintable(file));

        g.window.document().selectOutput(2);
        control<QAction>(g.window, "mnSaveOverwrite1")->trigger();
        control<QAction>(g.window, "mnRemoveOutput1")->trigger();
        QCOMPARE(files(g.window.document()), QStringList({"a.html", "c.html"}));
        QVERIFY(g.window.document().isModified());
        control<QAction>(g.window, "mnSaveOverwrite1")->trigger();
        Fixture h;
        QVERIFY(h.window.document().openFile(project));
        QCOMPARE(files(h.window.document()), QStringList({"a.html", "c.html"}));
    }

    // vormik-export PROJECT writes every output with the bytes the window wrote, in each format.
    void commandLineWritesTheWindowsBytes()
    {
        Fixture f;
        const std::pair<const char *, const char *> exports[] = {
            {"classic.html", "ClassicFormatRadioBtn"}, {"html5.html", "Html5FormatRadioBtn"},
            {"bookmarks.html", "BookmarksFormatRadioBtn"}, {"menu.opml", "OpmlFormatRadioBtn"},
            {"menu.json", "JsonFormatRadioBtn"}};
        for (const auto &[file, format] : exports) {
            QVERIFY(f.run(f.path(QLatin1String(file)), [format](ExportDialog &d) {
                control<QRadioButton>(d, format)->setChecked(true);
                control<QComboBox>(d, "GroupMarkCmbBox")->setEditText(QStringLiteral("◆"));
                control<QLineEdit>(d, "PageTitleEdit")->setText(QStringLiteral("案内"));
                d.findChild<QLineEdit *>("SiteAddressEdit")->setText(QStringLiteral("https://example.org/m/"));
                QTest::mouseClick(control<QPushButton>(d, "OKBtn"), Qt::LeftButton);
            }));
        }
        f.prompts->fileAnswers.enqueue(f.path(QStringLiteral("menu.xml")));
        control<QAction>(f.window, "mnSave1")->trigger();
        std::vector<QByteArray> written;
        for (const auto &[file, format] : exports) {
            written.push_back(readAll(f.path(QLatin1String(file))));
            QVERIFY(QFile::remove(f.path(QLatin1String(file))));
        }
        QProcess program;
        program.start(QStringLiteral(VORMIK_EXPORT_PROGRAM), {f.path(QStringLiteral("menu.xml"))});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitCode(), 0);
        for (size_t i = 0; i < std::size(exports); ++i)
            QVERIFY2(readAll(f.path(QLatin1String(exports[i].first))) == written[i], exports[i].first);
    }

    // 出力をブラウザで開く writes the current output and hands that file to the desktop.
    void showInBrowserOpensTheCurrentOutput()
    {
        Fixture f;
        UrlCatcher browser;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &browser, "open");
        const auto unset = qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });
        for (const char *file : {"a.html", "b.html"})
            QVERIFY(f.run(f.path(QLatin1String(file)), [](ExportDialog &d) {
                QTest::mouseClick(control<QPushButton>(d, "OKBtn"), Qt::LeftButton);
            }));
        f.window.document().selectOutput(1);
        QVERIFY(QFile::remove(f.path(QStringLiteral("a.html"))));
        control<QAction>(f.window, "mnShowInBrowser1")->trigger();
        QVERIFY(QFile::exists(f.path(QStringLiteral("a.html"))));
        QCOMPARE(browser.urls, QList<QUrl>({QUrl::fromLocalFile(f.path(QStringLiteral("a.html")))}));
    }

    void okUsesTheChosenOptions()
    {
        Fixture f;
        const QString target = f.path(QStringLiteral("menu.htm"));
        QString font;
        QVERIFY(f.run(target, [&font](ExportDialog &d) {
            control<QRadioButton>(d, "JSOFFRadioBtn")->setChecked(true);
            control<QRadioButton>(d, "SoftInfoOFFRadioBtn")->setChecked(true);
            // A family whose name CP932 holds, so the page shows it as it stands.
            auto *fonts = control<QComboBox>(d, "FontsCmbBox");
            for (int i = fonts->count() - 1; i > 0 && font.isEmpty(); --i) {
                const QString family = fonts->itemText(i);
                if (Cp932::decode(Cp932::encode(family)) == family) {
                    fonts->setCurrentIndex(i);
                    font = family;
                }
            }
            QTest::mouseClick(control<QPushButton>(d, "OKBtn"), Qt::LeftButton);
        }));
        QVERIFY2(!font.isEmpty(), "no font installed");
        const QString page = Cp932::decode(readAll(target));
        QVERIFY(page.contains(QStringLiteral("\tfont-family : \"%1\";\r\n").arg(font)));
        QVERIFY(page.contains(QStringLiteral("\r\n<body>\r\n")));
        QVERIFY(!page.contains(QStringLiteral("generator")));
        QVERIFY(page.contains(QStringLiteral("<div>資料</div>")));
    }

    // The HTML5 page is the user's choice; the next export proposes it, and its file suffix.
    void chosenFormatIsWrittenAndProposedNext()
    {
        Fixture f;
        const QString target = f.path(QStringLiteral("menu.html"));
        QVERIFY(f.run(target, [](ExportDialog &d) {
            QVERIFY(control<QRadioButton>(d, "ClassicFormatRadioBtn")->isChecked());
            control<QRadioButton>(d, "Html5FormatRadioBtn")->setChecked(true);
            QTest::mouseClick(control<QPushButton>(d, "OKBtn"), Qt::LeftButton);
        }));
        QVERIFY(readAll(target).startsWith("<!DOCTYPE html>"));
        QVERIFY(f.run(f.path(QStringLiteral("next.html")), [](ExportDialog &d) {
            QVERIFY(control<QRadioButton>(d, "Html5FormatRadioBtn")->isChecked());
            d.reject();
        }));
        QCOMPARE(f.prompts->fileDialogs.size(), 2);
        QCOMPARE(f.prompts->fileDialogs.at(0).defaultSuffix, QStringLiteral("htm"));
        QCOMPARE(f.prompts->fileDialogs.at(1).defaultSuffix, QStringLiteral("html"));
    }

    // The tree as data rather than a page: the page's own options stand aside, a page's name
    // takes the data's suffix, and the file reads back as the same tree.
    void dataFormatsWriteTheTree_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("site"); // typed as the site's address where the field takes one
        QTest::newRow("bookmarks") << "BookmarksFormatRadioBtn" << "menu.html" << "";
        QTest::newRow("bookmarks of a site") << "BookmarksFormatRadioBtn" << "menu.html" << "https://example.org/m/";
        QTest::newRow("OPML of a site") << "OpmlFormatRadioBtn" << "menu.opml" << "https://example.org/m/";
        QTest::newRow("JSON") << "JsonFormatRadioBtn" << "menu.json" << "";
    }
    void dataFormatsWriteTheTree()
    {
        QFETCH(QString, button);
        QFETCH(QString, written);
        QFETCH(QString, site);
        Fixture f;
        QVERIFY(f.run(f.path(QStringLiteral("menu.html")), [&](ExportDialog &d) {
            control<QRadioButton>(d, qPrintable(button))->setChecked(true);
            QVERIFY(!control<QWidget>(d, "Panel1")->isEnabled());
            QVERIFY(!control<QRadioButton>(d, "ClassicFormatRadioBtn")->isChecked());
            QTest::mouseClick(control<QRadioButton>(d, "ClassicFormatRadioBtn"), Qt::LeftButton);
            QVERIFY(control<QWidget>(d, "FontsCmbBox")->isEnabled());
            QTest::mouseClick(control<QRadioButton>(d, qPrintable(button)), Qt::LeftButton);
            QLineEdit *address = control<QLineEdit>(d, "SiteAddressEdit");
            QCOMPARE(address->isEnabled(), written != "menu.json");
            QTest::keyClicks(address, site);
            QTest::mouseClick(control<QPushButton>(d, "OKBtn"), Qt::LeftButton);
        }));
        QCOMPARE(f.prompts->messages.size(), 1);
        QCOMPARE(f.prompts->messages.constFirst().icon, Prompts::Icon::Information);
        const ImportResult back = Import::readFile(f.path(written));
        QStringList expected = snapshotOf(f.window.treeModel().tree());
        expected.replaceInStrings("|guide.html|", "|" + site + "guide.html|");
        QCOMPARE(snapshotOf(*back.tree), expected);
    }

    // The success message goes on to name each node the page shows under a stand-in name, and
    // the hashes a Content-Security-Policy needs for the inline style and script.
    void reportNamesNodesWithoutName()
    {
        Fixture f;
        LinkAttr blank;
        blank.Href = QStringLiteral("blank.html");
        TreeEdits::appendLink(f.window.treeModel(), nullptr, QString(), blank);
        QVERIFY(f.run(f.path(QStringLiteral("menu.html")), [](ExportDialog &d) {
            control<QRadioButton>(d, "Html5FormatRadioBtn")->setChecked(true);
            QTest::mouseClick(control<QPushButton>(d, "OKBtn"), Qt::LeftButton);
        }));
        QCOMPARE(f.prompts->messages.size(), 1);
        const QStringList lines = f.prompts->messages.constFirst().text.split(QLatin1Char('\n'));
        QCOMPARE(lines.constFirst(), QStringLiteral("正常に出力しました"));
        QCOMPARE(lines.filter(QStringLiteral("blank.html")).size(), 1);
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral("^(style|script)-src 'sha256-[A-Za-z0-9+/]+=*'$"))).size(), 2);
    }

    // The HTML5 page's own fields show only while HTML5 is chosen; the title starts as the saved
    // project's name, and both fields reach the page.
    void html5FieldsReachThePage()
    {
        Fixture f;
        f.prompts->fileAnswers.enqueue(f.path(QStringLiteral("site.menu.xml")));
        control<QAction>(f.window, "mnSave1")->trigger();
        const QString target = f.path(QStringLiteral("menu.html"));
        QVERIFY(f.run(target, [](ExportDialog &d) {
            auto *title = control<QLineEdit>(d, "PageTitleEdit");
            QVERIFY(!title->isVisible());
            QTest::mouseClick(control<QRadioButton>(d, "Html5FormatRadioBtn"), Qt::LeftButton);
            QVERIFY(title->isVisible() && control<QLineEdit>(d, "PageLanguageEdit")->isVisible());
            QCOMPARE(title->text(), QStringLiteral("site.menu"));
            title->setText(QStringLiteral("案内"));
            control<QLineEdit>(d, "PageLanguageEdit")->setText(QStringLiteral("en"));
            control<QCheckBox>(d, "SeparateFilesChkBox")->setChecked(true);
            QTest::mouseClick(control<QPushButton>(d, "OKBtn"), Qt::LeftButton);
        }));
        const QByteArray page = readAll(target);
        QVERIFY(page.contains("<html lang=\"en\">") && page.contains("<title>案内</title>"));
        QVERIFY(QFile::exists(f.path(QStringLiteral("menu.css"))) && QFile::exists(f.path(QStringLiteral("menu.js"))));
    }

    void escapeAndCloseBoxWriteNothing_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Esc") << false;
        QTest::newRow("close box") << true;
    }
    void escapeAndCloseBoxWriteNothing()
    {
        QFETCH(bool, closeBox);
        Fixture f;
        const QString target = f.path(QStringLiteral("menu.htm"));
        QVERIFY(f.run(target, [closeBox](ExportDialog &d) {
            auto *className = control<QLineEdit>(d, "ClassNameEdit");
            className->setFocus();
            if (closeBox)
                d.close();
            else
                QTest::keyClick(className, Qt::Key_Escape);
            QVERIFY(!d.isVisible());
        }));
        QVERIFY(!QFile::exists(target));
        QVERIFY(f.prompts->messages.isEmpty());
        QVERIFY(f.window.treeModel().tree().nodeAt(0)->record().ObjID.isEmpty());
    }

    // The dialog stays open on a failure, with every choice as it was.
    void failedExportShowsTheErrorAndStaysOpen()
    {
        Fixture f;
        const QString target = f.path(QStringLiteral("missing/menu.htm"));
        bool kept = false;
        QVERIFY(f.run(target, [&kept](ExportDialog &d) {
            control<QRadioButton>(d, "JSOFFRadioBtn")->setChecked(true);
            control<QPushButton>(d, "OKBtn")->click();
            kept = d.isVisible() && control<QRadioButton>(d, "JSOFFRadioBtn")->isChecked();
        }));
        QVERIFY(kept);
        QCOMPARE(f.prompts->messages.size(), 1);
        QCOMPARE(f.prompts->messages.constFirst().icon, Prompts::Icon::Critical);
        QCOMPARE(f.prompts->messages.constFirst().caption, QStringLiteral("Vormik"));
        QVERIFY(f.prompts->messages.constFirst().text.contains(QStringLiteral("menu.htm")));
    }

    // Style and script files replace only this program's files unasked; others are named in one question.
    void separateFilesReplaceOthersFilesOnlyWhenAllowed_data()
    {
        QTest::addColumn<bool>("own"); // the files there are an earlier export's
        QTest::addColumn<bool>("agree");
        QTest::newRow("own files") << true << false;
        QTest::newRow("others', refused") << false << false;
        QTest::newRow("others', allowed") << false << true;
    }
    void separateFilesReplaceOthersFilesOnlyWhenAllowed()
    {
        QFETCH(bool, own);
        QFETCH(bool, agree);
        Fixture f;
        const QStringList beside{f.path(QStringLiteral("menu.css")), f.path(QStringLiteral("menu.js"))};
        const auto exportPage = [&f] {
            return f.run(f.path(QStringLiteral("menu.html")), [](ExportDialog &d) {
                control<QRadioButton>(d, "Html5FormatRadioBtn")->setChecked(true);
                control<QCheckBox>(d, "SeparateFilesChkBox")->setChecked(true);
                control<QPushButton>(d, "OKBtn")->click();
            });
        };
        QVERIFY(!own || exportPage());
        for (const QString &path : beside) {
            QFile mine(path);
            QVERIFY(own || (mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4));
        }
        f.prompts->questionAnswers.enqueue(own || agree); // own: the page's name, asked by the file dialog
        QVERIFY(exportPage());
        QCOMPARE(f.prompts->questions.size(), 1);
        for (const QString &path : beside) {
            QCOMPARE(f.prompts->questions.constFirst().text.contains(QDir::toNativeSeparators(path)), !own);
            QCOMPARE(WrittenFiles::isOwn(path), own || agree);
        }
    }

    // Ctrl+E writes unseen only inside the project's folder over its own files; else the dialogs open, filled in.
    void exportAgainWritesUnseenOnlyInsideTheProject_data()
    {
        QTest::addColumn<QString>("pageFile"); // as the project file keeps it; "@" stands for its folder
        QTest::addColumn<QString>("there"); // a file of the user's; "=": an earlier export's files
        QTest::addColumn<bool>("unseen");
        QTest::newRow("over an earlier export") << "site/m.html" << "=" << true;
        QTest::newRow("the user's page") << "site/m.html" << "site/m.html" << false;
        QTest::newRow("the user's script") << "site/m.html" << "site/m.js" << false;
        QTest::newRow("the user's data") << "site/m.json" << "site/m.json" << false;
        QTest::newRow("outside") << "../m.html" << "" << false;
        QTest::newRow("absolute, though inside") << "@/site/m.html" << "" << false;
        QTest::newRow("through a link outside") << "out/m.html" << "" << false;
    }
    void exportAgainWritesUnseenOnlyInsideTheProject()
    {
        QFETCH(QString, pageFile);
        QFETCH(QString, there);
        QFETCH(bool, unseen);
        Fixture f;
        const QDir folder(f.path(QStringLiteral("p")));
        QVERIFY(folder.mkpath(QStringLiteral("site")) && QFile::link(f.dir.path(), folder.filePath(QStringLiteral("out"))));
        pageFile.replace(u'@', folder.path());
        const QString project = folder.filePath(QStringLiteral("m.xml")), page = QDir::cleanPath(folder.filePath(pageFile));
        ProjectFile::save(f.window.treeModel().tree(), project, {{{"PageFile", pageFile}, {"SeparateFiles", QStringLiteral("True")},
                          {"Format", QLatin1String(pageFile.endsWith(u"json") ? "json" : "html5")}}});
        QVERIFY(f.window.document().openFile(project));
        auto *again = control<QAction>(f.window, "mnExportAgain1");
        if (there == QLatin1String("="))
            again->trigger();
        QFile mine(folder.filePath(there));
        QVERIFY(there.size() < 2 || (mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4));
        f.prompts->messages.clear();
        f.prompts->fileAnswers.enqueue(std::nullopt); // the dialogs, when they open, are cancelled
        again->trigger();
        QCOMPARE(f.prompts->messages.size(), unseen ? 1 : 0);
        QCOMPARE(f.prompts->fileDialogs.value(0).fileName, unseen ? QString() : page);
    }

    void hintsReachTheMainStatusBar()
    {
        Fixture f;
        QString shown;
        QVERIFY(f.run(f.path(QStringLiteral("x.htm")), [&shown, &f](ExportDialog &d) {
            auto *className = control<QLineEdit>(d, "ClassNameEdit");
            QStatusTipEvent tip(className->statusTip());
            QCoreApplication::sendEvent(className, &tip);
            shown = f.window.statusBar()->currentMessage();
            d.reject();
        }));
        QCOMPARE(shown, QStringLiteral("特別に指定したい場合はクラス名を入力"));
    }

    void helpViewerOutlivesTheDialogAndIsNeverBlocked()
    {
        const QString helpFile = HelpViewer::helpFilePath();
        QFile::remove(helpFile);
        QVERIFY(QFile::copy(QStringLiteral(VORMIK_SOURCE_DIR "/resources/VORMIK.hlp"), helpFile));
        const auto removeHelp = qScopeGuard([&helpFile] { QFile::remove(helpFile); });
        // PageDown typed into the viewer's own window moves its text, unless a modal window blocks it.
        auto scrolls = [](QTextBrowser *viewer) {
            QScrollBar *bar = viewer->verticalScrollBar();
            bar->setValue(bar->minimum());
            QTest::keyClick(viewer->windowHandle(), Qt::Key_PageDown);
            return bar->value() > bar->minimum();
        };
        Fixture f;
        QPointer<QTextBrowser> viewer;
        bool usableBesideDialog = false;
        QVERIFY(f.run(f.path(QStringLiteral("x.htm")), [&](ExportDialog &d) {
            control<QPushButton>(d, "HelpBtn")->click();
            viewer = helpWindow();
            usableBesideDialog = viewer && viewer->isVisible() && scrolls(viewer);
            d.reject();
        }));
        QVERIFY(usableBesideDialog);
        QVERIFY2(viewer, "the viewer went with the dialog");
        QVERIFY(viewer->isVisible());
        QVERIFY(scrolls(viewer));

        // The Help menu shows the same window, and a later dialog does not block it either.
        control<QAction>(f.window, "mnVormikHelp1")->trigger();
        QCOMPARE(helpWindow(), viewer.data());
        usableBesideDialog = false;
        QVERIFY(f.run(f.path(QStringLiteral("x.htm")), [&](ExportDialog &d) {
            usableBesideDialog = viewer && viewer->isVisible() && scrolls(viewer);
            d.reject();
        }));
        QVERIFY(usableBesideDialog);
        QVERIFY(f.prompts->messages.isEmpty());
    }

    void fontEntriesAreFamilyNames_data()
    {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("one foundry each") << QStringList{"DejaVu Sans", "Noto Sans CJK JP"}
                                          << QStringList{"", "DejaVu Sans", "Noto Sans CJK JP"};
        QTest::newRow("two foundries") << QStringList{"C059 [UKWN]", "C059 [urw]", "DejaVu Sans"}
                                       << QStringList{"", "C059", "DejaVu Sans"};
        QTest::newRow("a name that begins another") << QStringList{"Nimbus Sans [UKWN]", "Nimbus Sans [urw]",
                                                                   "Nimbus Sans Narrow [UKWN]", "Nimbus Sans Narrow [urw]"}
                                                    << QStringList{"", "Nimbus Sans", "Nimbus Sans Narrow"};
        QTest::newRow("default font from two foundries")
            << QStringList{"Arial", "ＭＳ ゴシック [ricoh]", "ＭＳ ゴシック [ms]"} << QStringList{"", "Arial", "ＭＳ ゴシック"};
    }
    void fontEntriesAreFamilyNames()
    {
        QFETCH(QStringList, families);
        QFETCH(QStringList, entries);
        QCOMPARE(ExportDialog::fontEntries(families), entries);
    }

    void fontRowsHoldTheirFace()
    {
        ScriptedPrompts prompts;
        ExportDialog dialog(prompts);
        dialog.show(); // showing fills the list
        QComboBox &box = *control<QComboBox>(dialog, "FontsCmbBox");
        QAbstractItemDelegate *delegate = box.itemDelegate();
        QStyleOptionViewItem option;
        option.font = box.font();
        option.fontMetrics = QFontMetrics(option.font);
        option.palette = box.palette();
        // Drawn into its own row and into a roomy one, an entry leaves the same ink unless its row clips it.
        auto render = [&](const QModelIndex &index, int rowHeight) {
            QImage image(300, 100, QImage::Format_RGB32);
            image.fill(option.palette.base().color());
            option.rect = QRect(0, 0, image.width(), rowHeight);
            QPainter painter(&image);
            delegate->paint(&painter, option, index);
            return image;
        };
        for (int row = 1; row < box.count(); ++row) {
            const QModelIndex index = box.model()->index(row, 0);
            const int height = delegate->sizeHint(option, index).height();
            QVERIFY2(render(index, height) == render(index, 100), qPrintable(box.itemText(row)));
        }
    }

    void captionsFitAndKeepApart_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixelSize");
        QTest::newRow("the dialog's own font") << QString() << 0;
        QTest::newRow("desktop Japanese face") << QStringLiteral("Noto Sans CJK JP") << 12;
        QTest::newRow("desktop Japanese face, scaled up") << QStringLiteral("Noto Sans CJK JP") << 15;
    }
    void captionsFitAndKeepApart()
    {
        QFETCH(QString, family);
        QFETCH(int, pixelSize);
        ScriptedPrompts prompts;
        ExportDialog dialog(prompts);
        if (!family.isEmpty()) {
            QFont face(family);
            face.setPixelSize(pixelSize);
            dialog.setFont(face);
        }
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QList<QWidget *> controls;
        for (QWidget *w : dialog.findChildren<QWidget *>()) {
            if (w->isVisible() && !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"))
                && (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) || qobject_cast<QComboBox *>(w)
                    || qobject_cast<QLineEdit *>(w)))
                controls << w;
        }
        QVERIFY(controls.size() > 20); // every caption, field and button
        QStringList faults;
        for (qsizetype i = 0; i < controls.size(); ++i) {
            QWidget *w = controls.at(i);
            // A caption narrower or lower than it asks for is cut off; a field lower than it asks for cuts its text.
            const QSize needed = w->sizeHint();
            const bool caption = qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w);
            if (w->height() < needed.height() || (caption && w->width() < needed.width()))
                faults << QStringLiteral("%1 is %2x%3 but needs %4x%5").arg(w->objectName()).arg(w->width())
                              .arg(w->height()).arg(needed.width()).arg(needed.height());
            for (qsizetype j = i + 1; j < controls.size(); ++j) {
                QWidget *other = controls.at(j);
                if (other->parentWidget() == w->parentWidget()
                    && w->geometry().adjusted(-1, -1, 1, 1).intersects(other->geometry()))
                    faults << w->objectName() + QStringLiteral(" touches ") + other->objectName();
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    void helpGoesThroughTheErrorGuard()
    {
        Fixture f;
        // No help file beside the test program: the guard shows why, and the dialog stays usable.
        QVERIFY(f.run(f.path(QStringLiteral("x.htm")), [](ExportDialog &d) {
            control<QPushButton>(d, "HelpBtn")->click();
            QVERIFY(d.isVisible());
            d.reject();
        }));
        QCOMPARE(f.prompts->messages.size(), 1);
        QCOMPARE(f.prompts->messages.constFirst().icon, Prompts::Icon::Critical);
        QVERIFY(f.prompts->messages.constFirst().text.contains(QStringLiteral("VORMIK.hlp")));
    }
};

QTEST_MAIN(TestExportDialog)
#include "tst_exportdialog.moc"
