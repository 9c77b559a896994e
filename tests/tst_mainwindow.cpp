#include "TreeEdits.h"
#include "app/window/MainWindow.h"
#include "app/window/Startup.h"
#include "app/window/ToolBarButtonDrawing.h"
#include "app/editing/LinkTreeModel.h"
#include "HelpWindow.h"
#include "WindowFixture.h"
#include "UrlCatcher.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

class TestMainWindow : public QObject
{
    Q_OBJECT

    WindowFixture fixture;
    MainWindow *window = nullptr;
    MainWindowParts *ui = nullptr;
    ScriptedPrompts *prompts = nullptr;

private slots:
    void init()
    {
        fixture.make();
        window = fixture.window.get();
        ui = fixture.ui.get();
        prompts = fixture.prompts;
    }
    void cleanup() { fixture.close(); }

    // The tree pop-up's submenus are windows of their own; their hints still reach the window.
    void submenuHintsReachTheStatusBar()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QMenu *popup = ui->TVPopUp;
        popup->popup(window->mapToGlobal(QPoint(20, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        QTest::mouseMove(popup, popup->actionGeometry(ui->TVPop_AddGroup1->menuAction()).center());
        QTest::keyClick(popup, Qt::Key_Right);
        QMenu *submenu = ui->TVPop_AddGroup1;
        QVERIFY(QTest::qWaitForWindowExposed(submenu));
        QAction *item = submenu->actions().constFirst();
        QVERIFY(!item->statusTip().isEmpty());
        QTest::mouseMove(submenu, submenu->actionGeometry(item).center());
        QTRY_COMPARE(ui->StatusBar1->currentMessage(), item->statusTip());
        popup->close();
    }

    // The aid buttons' captions fit in the Japanese face of a Linux desktop, also scaled up.
    void aidButtonsHoldTheirCaptions_data()
    {
        QTest::addColumn<int>("pixelSize");
        QTest::newRow("default size") << 12;
        QTest::newRow("at 125 %") << 15;
    }
    void aidButtonsHoldTheirCaptions()
    {
        QFETCH(int, pixelSize);
        QFont face(QStringLiteral("Noto Sans CJK JP"));
        face.setPixelSize(pixelSize);
        window->setFont(face);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        for (QPushButton *button : {ui->UsedClassBtn, ui->OverlapIDBtn}) {
            QTRY_VERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->objectName()));
        }
    }

    void frameAsDesigned()
    {
        QCOMPARE(window->windowTitle(), QString("無題[*] - ヴォルミク"));
        QCOMPARE(window->statusBar(), ui->StatusBar1);
        QVERIFY(ui->TreeView1->isHeaderHidden());
        QCOMPARE(ui->TreeView1->indentation(), 19);
        // F2 edits a node in place; no click ever does.
        QCOMPARE(ui->TreeView1->editTriggers(), QAbstractItemView::EditKeyPressed);
        QCOMPARE(ui->Panel2->height(), 238);
        // Every named part can be found by its name.
        for (const char *name : {"StatusBar1", "LeftPanel", "ToolBar1", "TreeView1", "Splitter1", "RightPanel",
                                 "ListView1", "Panel2", "GroupNameEdit", "LinkTextEdit", "HrefEdit", "TargetCmbBox",
                                 "ClassEdit", "UsedClassBtn", "IDEdit", "OverlapIDBtn", "MainMenu1"})
            QVERIFY2(window->findChild<QWidget *>(name), name);
    }

    void listShowsFiveColumns()
    {
        const QStringList captions{"リンクテキスト", "リンク先", "ターゲット", "ID", "クラス"};
        const QList<int> widths{135, 245, 65, 50, 50};
        const QAbstractItemModel *list = ui->ListView1->model();
        QCOMPARE(list->columnCount(), 5);
        for (int c = 0; c < 5; ++c) {
            QCOMPARE(list->headerData(c, Qt::Horizontal).toString(), captions[c]);
            QVERIFY(!ui->ListView1->isColumnHidden(c));
            QCOMPARE(ui->ListView1->columnWidth(c), widths[c]);
        }
        QVERIFY(!ui->ListView1->header()->sectionsClickable());
    }

    void splitterKeepsBothPanelsOpen()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        // 34 + 34 + 8 + 23 pixels of buttons, plus 5.
        QCOMPARE(ui->LeftPanel->minimumWidth(), 104);
        QVERIFY(!ui->Splitter1->childrenCollapsible());
        QCOMPARE(ui->Splitter1->handleWidth(), 4);
        ui->Splitter1->setSizes({0, 2000});
        QCOMPARE(ui->Splitter1->sizes().at(0), 104);
        ui->Splitter1->setSizes({2000, 0});
        QVERIFY(ui->Splitter1->sizes().at(1) >= 104);
    }

    void mainMenu_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<bool>("hasImage");
        QTest::newRow("new") << "mnNew1" << "新規(&N)" << QKeySequence("Ctrl+N") << "彼方此方（あちこち）を初期化する" << false;
        QTest::newRow("open") << "mnOpen1" << "開く(&O)..." << QKeySequence("Ctrl+O")
                              << "過去に作ったのが保存してあれば開けるかも？？" << true;
        QTest::newRow("save") << "mnSaveOverwrite1" << "上書き保存(&S)" << QKeySequence("Ctrl+S")
                              << "今のファイルに上書きして保存する" << true;
        QTest::newRow("save as") << "mnSave1" << "名前を付けて保存(&A)..." << QKeySequence("Ctrl+Shift+S") << "保存する"
                                 << false;
        QTest::newRow("html") << "mnOutPutHTML1" << "HTML出力(&H)..." << QKeySequence() << "出力～" << false;
        QTest::newRow("export again") << "mnExportAgain1" << "前回の設定で出力(&E)" << QKeySequence("Ctrl+E")
                                      << "前回と同じファイルに同じ設定でもう一度出力する" << false;
        QTest::newRow("exit") << "mnExit1" << "終了(&X)" << QKeySequence() << "ﾏﾁﾞﾃﾞｽｶ???" << false;
        QTest::newRow("help") << "mnVormikHelp1" << "Vormikヘルプ(&H)" << QKeySequence() << "" << true;
        QTest::newRow("about") << "mnAbout1" << "バージョン情報(&A)..." << QKeySequence() << "ばーじょんじょ～ほ～" << false;
    }

    void mainMenu()
    {
        QFETCH(QString, name);
        auto *action = window->findChild<QAction *>(name);
        QVERIFY(action);
        QTEST(action->text(), "caption");
        QTEST(action->shortcut(), "shortcut");
        QTEST(action->statusTip(), "hint");
        QTEST(!action->icon().isNull(), "hasImage");
    }

    void menuOrder()
    {
        // The Edit menu stands between the File and the Help menu.
        QStringList menus;
        for (QAction *a : ui->MainMenu1->actions())
            menus << a->menu()->objectName();
        QCOMPARE(menus, QStringList({"mnFile", "mnEdit", "mnView", "mnTools", "mnHelp"}));
        QCOMPARE(ui->mnFile->title(), QString("ファイル(&F)"));
        QCOMPARE(ui->mnHelp->title(), QString("ヘルプ(&H)"));
        QStringList file;
        for (QAction *a : ui->mnFile->actions())
            file << (a->isSeparator() ? QString("-") : a->menu() ? a->menu()->objectName() : a->objectName());
        QCOMPARE(file, QStringList({"mnNew1", "mnOpen1", "mnRecent1", "mnSaveOverwrite1", "mnSave1", "-", "mnImport1",
                                    "mnOutPutHTML1", "mnExportAll1", "mnShowInBrowser1", "mnOutputs1",
                                    "mnExportAgain1", "-", "mnExit1"}));
        QStringList help;
        for (QAction *a : ui->mnHelp->actions())
            help << (a->isSeparator() ? QString("-") : a->objectName());
        QCOMPARE(help, QStringList({"mnVormikHelp1", "mnReadMe1", "-", "mnAbout1"}));
        QVERIFY(!ui->mnReadMe1->statusTip().isEmpty());
    }

    void actionsAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::newRow("top group") << "TopLevelAddGroupAction1" << "トップレベルに作成(&T)..." << "Root位置にグループを追加する";
        QTest::newRow("child group") << "ChildAddGroupAction1" << "子要素に作成(&C)..." << "";
        QTest::newRow("top link") << "TopLevelAddLinkAction1" << "トップレベルに作成(&T)" << "Root位置にリンクを追加する";
        QTest::newRow("child link") << "ChildAddLinkAction1" << "子要素に作成(&C)" << "";
        QTest::newRow("list link") << "LV_AddLinkAction1" << "リンクの追加(&A)" << "";
    }

    void actionsAsDesigned()
    {
        QFETCH(QString, name);
        auto *action = ui->ActionList1->findChild<QAction *>(name);
        QVERIFY(action);
        QTEST(action->text(), "caption");
        QTEST(action->statusTip(), "hint");
    }

    void popUpMenusFollowTheirActions()
    {
        auto names = [](QMenu *menu) {
            QStringList result;
            for (QAction *a : menu->actions())
                result << (a->isSeparator() ? QString("-") : a->objectName());
            return result;
        };
        QCOMPARE(names(ui->TVPopUp), QStringList({"", "", "-", "TVPop_Delete1"}));
        QCOMPARE(ui->TVPop_AddGroup1->title(), QString("グループの追加(&G)"));
        QCOMPARE(ui->TVPop_AddLink1->title(), QString("リンクの追加(&L)"));
        QCOMPARE(names(ui->TVPop_AddGroup1), QStringList({"TVPop_TopLevelAddGroup1", "TVPop_ChildAddGroup1", "TVPop_InsertGroup1"}));
        QCOMPARE(names(ui->TVPop_AddLink1), QStringList({"TVPop_TopLevelAddLink1", "TVPop_ChildAddLink1", "TVPop_InsertLink1"}));
        QCOMPARE(names(ui->LVPopUp), QStringList({"LVPop_AddLink1", "LVPop_Delete1"}));
        QCOMPARE(names(ui->DDGroupMenu), QStringList({"DDGroup_AddTop", "DDGroup_AddChild", "DDGroup_Insert"}));
        QCOMPARE(names(ui->DDLinkMenu), QStringList({"DDLink_AddTop", "DDLink_AddChild", "DDLink_Insert"}));
        QCOMPARE(ui->TVPop_Delete1->text(), QString("削除(&D)"));
        QCOMPARE(ui->LVPop_Delete1->text(), QString("削除(&D)"));

        // An item shows its action's caption, hint and enabled state, and follows changes.
        auto *item = ui->DDGroupMenu->findChild<QAction *>("DDGroup_AddTop");
        QCOMPARE(item->text(), ui->TopLevelAddGroupAction1->text());
        QCOMPARE(item->statusTip(), QString("Root位置にグループを追加する"));
        ui->ChildAddLinkAction1->setText("changed");
        ui->ChildAddLinkAction1->setEnabled(false);
        auto *child = ui->DDLinkMenu->findChild<QAction *>("DDLink_AddChild");
        QCOMPARE(child->text(), QString("changed"));
        QVERIFY(!child->isEnabled());
        QCOMPARE(ui->DDLinkMenu->findChild<QAction *>("DDLink_Insert")->shortcut(), QKeySequence("Ctrl+Return"));
        QVERIFY(item->icon().isNull());
        QVERIFY(!ui->LVPopUp->findChild<QAction *>("LVPop_AddLink1")->icon().isNull());
        QVERIFY(!ui->TVPopUp->toolTipsVisible());
    }

    void toolBarHintsSplit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("width");
        QTest::newRow("group") << "TlAddGroupBtn1" << "グループ追加" << "グループを追加" << 34;
        QTest::newRow("link") << "TlAddLinkBtn1" << "リンク追加" << "リンクを追加" << 34;
        QTest::newRow("delete") << "TlBtn3" << "削除" << "選択ノードを削除" << 23;
    }

    void toolBarHintsSplit()
    {
        QFETCH(QString, name);
        auto *button = ui->ToolBar1->findChild<QToolButton *>(name);
        QVERIFY(button);
        QTEST(button->toolTip(), "tip");
        QTEST(button->statusTip(), "status");
        QTEST(button->width(), "width");
    }

    void statusBarShowsLongHints()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::mouseMove(ui->TlBtn3);
        QTRY_COMPARE(ui->StatusBar1->currentMessage(), QString("選択ノードを削除"));
        // Editors carry status tips only; the tool bar is the one place with tool tips.
        QCOMPARE(ui->HrefEdit->statusTip(), QString("クリック（選択）した際のリンク先"));
        QVERIFY(ui->HrefEdit->toolTip().isEmpty());
    }

    void shortcutsWorkAnywhere_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::newRow("tree") << "TreeView1";
        QTest::newRow("list") << "ListView1";
        QTest::newRow("editor") << "HrefEdit";
        QTest::newRow("group name") << "GroupNameEdit";
    }

    void shortcutsWorkAnywhere()
    {
        QFETCH(QString, focus);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        // A link selected, so its editors take the focus.
        LinkNode *group = TreeEdits::appendGroup(window->treeModel(), nullptr, "g");
        window->selectNode(TreeEdits::appendLink(window->treeModel(), group, "l"));
        auto *target = window->findChild<QWidget *>(focus);
        target->setFocus();
        QTRY_VERIFY(target->hasFocus());
        prompts->fileAnswers << std::nullopt << std::nullopt << std::nullopt; // Open and both saves cancelled
        for (QAction *action : {ui->mnOpen1, ui->mnSaveOverwrite1, ui->mnSave1, ui->mnNew1}) {
            QSignalSpy triggered(action, &QAction::triggered);
            QTest::keySequence(target, action->shortcut());
            QCOMPARE(triggered.count(), 1);
        }
    }

    void customDrawingGeometry()
    {
        const QRect button(0, 0, 34, 22); // L 0, T 0, R 34, B 22
        auto hot = drawToolBarButton(ToolBarButtonKind::DropDown, button, true, false);
        QVERIFY(hot.custom);
        QCOMPARE(hot.frame, QRect(QPoint(0, 0), QPoint(33, 21)));
        QCOMPARE(hot.arrowFrame, std::optional<QRect>(QRect(QPoint(22, 0), QPoint(33, 21))));
        QCOMPARE(hot.imageAt, QPoint(3, 2));
        QCOMPARE(hot.arrowAt, std::optional<QPoint>(QPoint(25, 9)));

        auto pressed = drawToolBarButton(ToolBarButtonKind::DropDown, QRect(34, 0, 34, 23), false, true);
        QVERIFY(pressed.custom);
        QCOMPARE(pressed.arrowAt, std::optional<QPoint>(QPoint(59, 9)));

        auto plain = drawToolBarButton(ToolBarButtonKind::Plain, QRect(76, 0, 23, 22), true, false);
        QVERIFY(plain.custom);
        QCOMPARE(plain.imageAt, QPoint(78, 2)); // one pixel further left than on a drop-down button
        QVERIFY(!plain.arrowFrame && !plain.arrowAt);

        QVERIFY(!drawToolBarButton(ToolBarButtonKind::Plain, button, false, true).custom);
        QVERIFY(!drawToolBarButton(ToolBarButtonKind::DropDown, button, false, false).custom);
        QVERIFY(!drawToolBarButton(ToolBarButtonKind::Divider, button, true, true).custom);
    }

    void hotDropDownButtonIsPaintedFlat()
    {
        auto *button = ui->TlAddGroupBtn1;
        button->setAttribute(Qt::WA_UnderMouse, true);
        const QImage image = button->grab().toImage();
        const int R = button->width(), B = button->height();
        QCOMPARE(image.pixelColor(R / 2 - 8, 1), ToolBarButtonFill);
        QCOMPARE(image.pixelColor(0, B / 2), ToolBarButtonOutline);
        QCOMPARE(image.pixelColor(R - 12, B / 2), ToolBarButtonOutline); // the arrow part's own frame
        // The arrow: a 5-pixel black top row, the transparent corners show the fill.
        const QPoint arrow(R - 9, B / 2 - 2);
        for (int x = 0; x < 5; ++x)
            QCOMPARE(image.pixelColor(arrow + QPoint(x, 0)), QColor(Qt::black));
        QCOMPARE(image.pixelColor(arrow + QPoint(0, 1)), ToolBarButtonFill);
        QCOMPARE(image.pixelColor(arrow + QPoint(2, 2)), QColor(Qt::black));
        QCOMPARE(image.pixelColor(arrow + QPoint(1, 2)), ToolBarButtonFill);

        button->setAttribute(Qt::WA_UnderMouse, false);
        const QImage plainLook = button->grab().toImage();
        QVERIFY(plainLook.pixelColor(R / 2 - 8, 1) != ToolBarButtonFill);
    }

    void rightClickSelectsTheNodeUnderThePointer()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        LinkNode *first = TreeEdits::appendGroup(window->treeModel(), nullptr, "first");
        TreeEdits::appendGroup(window->treeModel(), nullptr, "second");
        window->selectNode(first);
        const QRect second = ui->TreeView1->visualRect(window->treeModel().index(1, 0));
        QTest::mouseClick(ui->TreeView1->viewport(), Qt::RightButton, {}, second.center());
        QCOMPARE(window->selectedNode(), window->treeModel().tree().nodeAt(1));
        // Beside the rows it keeps the selection.
        QTest::mouseClick(ui->TreeView1->viewport(), Qt::RightButton, {}, {4, ui->TreeView1->viewport()->height() - 4});
        QCOMPARE(window->selectedNode(), window->treeModel().tree().nodeAt(1));
        ui->TVPopUp->close();
    }

    void helpShowsItsTopicOrSaysTheFileIsMissing()
    {
        const QString path = QDir(QCoreApplication::applicationDirPath()).filePath("VORMIK.hlp");
        QFile::remove(path);
        ui->mnVormikHelp1->trigger();
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages[0].icon, Prompts::Icon::Critical);
        QCOMPARE(prompts->messages[0].caption, QString("Vormik"));
        QVERIFY(prompts->messages[0].text.contains("VORMIK.hlp"));

        QVERIFY(QFile::copy(QStringLiteral(VORMIK_SOURCE_DIR "/resources/VORMIK.hlp"), path));
        ui->mnVormikHelp1->trigger();
        QCOMPARE(prompts->messages.size(), 1);
        QTextBrowser *viewer = helpWindow();
        QVERIFY(viewer);
        QVERIFY(viewer->isVisible());
        QVERIFY(viewer->toPlainText().contains("出力設定"));
        QFile::remove(path);
    }

    void readMeIsHandedToTheDesktop()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        ui->mnReadMe1->trigger();
        QDesktopServices::unsetUrlHandler("file");
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls[0].toLocalFile(),
                 QDir(QCoreApplication::applicationDirPath()).filePath("ReadMe.txt"));
        QVERIFY(prompts->messages.isEmpty());
    }

    void standardButtonsSpeakJapanese()
    {
        QTranslator translator;
        QVERIFY(installJapaneseTranslation(translator));
        QMessageBox box(QMessageBox::Information, "t", "t", QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("キャンセル"));
        QCoreApplication::removeTranslator(&translator);
    }

    void exitClosesTheWindow()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        ui->mnExit1->trigger();
        QVERIFY(!window->isVisible());
        QVERIFY(prompts->messages.isEmpty());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
