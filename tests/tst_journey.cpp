// A user's whole journey through the real window: build a small menu from an empty window, fill
// every field, check an ID, pick classes, save, start anew, open the file again and export the
// page with settings of one's own, then compare the files with what was built.
#include "WindowFixture.h"
#include "ModalLoop.h"

#include "app/panes/PopupPanel.h"
#include "app/dialogs/ExportDialog.h"
#include "html/PageGenerator.h"
#include "project/ProjectFile.h"
#include "text/Cp932Codec.h"
#include "Controls.h"
#include "FileHelpers.h"

#include <QApplication>
#include <QFileInfo>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>

namespace {

// What the user means to give a link.
struct LinkFields
{
    QString text;
    QString href;
    QString target;
    QString id;
    QString cls;
};

bool isLatin1(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return false;
    }
    return true;
}

} // namespace

class TestJourney : public QObject
{
    Q_OBJECT

    WindowFixture f;
    QTemporaryDir dir;

    MainWindow &w() { return *f.window; }
    LinkNode *child(LinkNode *parent, int i) { return f.tree().child(parent, i); }
    // Nodes by their place in the tree the user builds.
    LinkNode *docs() { return child(nullptr, 0); }
    LinkNode *guide() { return child(docs(), 1); }
    LinkNode *setup() { return child(guide(), 1); }

    // --- How the user reaches things -----------------------------------------------------

    // Types into an editor as the user does: click into it, select what it holds, type. Japanese
    // text arrives as an input method commits it.
    void typeInto(QWidget *editor, const QString &text)
    {
        auto *combo = qobject_cast<QComboBox *>(editor);
        QLineEdit *edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(editor);
        QVERIFY(edit);
        QTest::mouseClick(edit, Qt::LeftButton);
        QVERIFY2(edit->hasFocus(), qPrintable(editor->objectName()));
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        if (isLatin1(text)) {
            QTest::keyClicks(edit, text);
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(edit, &commit);
        }
        QCOMPARE(edit->text(), text);
    }

    // Opens a combo box's list and clicks one of its entries.
    void pickFromList(QComboBox *box, const QString &entry)
    {
        const int index = box->findText(entry);
        QVERIFY2(index >= 0, qPrintable(entry));
        WindowFixture::pickEntry(box, index);
        QCOMPARE(box->currentText(), entry);
    }

    // Right-clicks in a view and picks from its pop-up menu by the items' accelerators; the first
    // key may open a submenu.
    void chooseFromPopup(QAbstractItemView *view, QMenu *popup, const QList<Qt::Key> &keys)
    {
        const QPoint at = view->viewport()->rect().center();
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &rightClick);
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        QMenu *menu = popup;
        for (const Qt::Key key : keys) {
            QAction *current = menu->activeAction();
            QTest::keyClick(menu, key);
            if (menu->activeAction() && menu->activeAction() != current && menu->activeAction()->menu()) {
                menu = menu->activeAction()->menu();
                QTRY_VERIFY(menu->isVisible());
            }
        }
        QTRY_VERIFY(!popup->isVisible());
        backToMainWindow();
    }

    // Opens a tool-bar button's drop-down arrow and clicks an item of its menu.
    void chooseFromDropDown(QToolButton *button, const QString &itemName)
    {
        QMenu *menu = button->menu();
        auto *item = menu->findChild<QAction *>(itemName);
        QVERIFY2(item, qPrintable(itemName));
        const QPoint arrow(button->width() - 5, button->height() / 2);
        const bool shown = actWhileShown([menu] { return menu; },
                                         [item](QWidget &shownMenu) {
                                             auto &m = static_cast<QMenu &>(shownMenu);
                                             QTest::mouseClick(&m, Qt::LeftButton, {}, m.actionGeometry(item).center());
                                         },
                                         [&] { QTest::mousePress(button, Qt::LeftButton, {}, arrow); });
        QTest::mouseRelease(button, Qt::LeftButton, {}, arrow);
        QVERIFY2(shown, qPrintable(itemName));
        QTRY_VERIFY(!menu->isVisible());
        backToMainWindow();
    }

    // A desktop's window manager hands activation back to the window once its menu has closed;
    // the offscreen platform may leave it with the hidden menu (its activation can arrive after
    // the menu closed), so do what the manager does.
    void backToMainWindow()
    {
        QWindow *window = w().windowHandle();
        window->requestActivate();
        QTRY_VERIFY(QGuiApplication::focusWindow() == window && w().isActiveWindow());
    }

    void pressShortcut(const QKeySequence &keys)
    {
        QTRY_VERIFY(w().isActiveWindow());
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &w();
        QTest::keySequence(target, keys);
    }

    // --- The steps of the journey --------------------------------------------------------

    void startsEmpty()
    {
        QCOMPARE(f.tree().count(), 0);
        QCOMPARE(f.rowCount(), 0);
        expectEmptyEditors();
    }

    void expectEmptyEditors()
    {
        for (QLineEdit *edit : {f.ui->GroupNameEdit, f.ui->LinkTextEdit, f.ui->HrefEdit, f.ui->ClassEdit, f.ui->IDEdit})
            QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
        QVERIFY(f.ui->TargetCmbBox->currentText().isEmpty());
    }

    // The name prompt answers `name`; the command must ask exactly once.
    void answerNamePrompt(const QString &name)
    {
        f.prompts->asked.clear();
        f.prompts->textAnswers.enqueue(name);
    }
    void expectOneNamePrompt()
    {
        QCOMPARE(f.prompts->asked.size(), 1);
        QCOMPARE(f.prompts->asked.constFirst().caption, QStringLiteral("グループの追加"));
        QVERIFY(f.prompts->textAnswers.isEmpty());
    }

    // Every way of adding a node, each in the place a user meets it; the shape they make
    // together is checked at the end.
    void buildTheTree()
    {
        // Nothing selected: the group button's main part adds at the top level; the name is trimmed.
        answerNamePrompt(QStringLiteral("  資料 "));
        f.clickButton(f.ui->TlAddGroupBtn1);
        expectOneNamePrompt();
        QCOMPARE(docs()->text(), QStringLiteral("資料"));

        // The group selected: the link button's main part adds a link inside it.
        f.clickNode(docs());
        f.clickButton(f.ui->TlAddLinkBtn1);

        // The tree's pop-up: a group under the selected group.
        answerNamePrompt(QStringLiteral("ガイド"));
        chooseFromPopup(f.ui->TreeView1, f.ui->TVPopUp, {Qt::Key_G, Qt::Key_C});
        expectOneNamePrompt();

        // The link button's drop-down: a link under the selected group.
        f.clickNode(guide());
        chooseFromDropDown(f.ui->TlAddLinkBtn1, QStringLiteral("DDLink_AddChild"));

        // The tree's pop-up with a nested link selected: a link beside it.
        f.clickNode(child(guide(), 0));
        chooseFromPopup(f.ui->TreeView1, f.ui->TVPopUp, {Qt::Key_L, Qt::Key_C});

        // Back on the first group, one more link after the subgroup.
        f.clickNode(docs());
        f.clickButton(f.ui->TlAddLinkBtn1);

        // Drop-downs at the top level: a link, then a group.
        chooseFromDropDown(f.ui->TlAddLinkBtn1, QStringLiteral("DDLink_AddTop"));
        answerNamePrompt(QStringLiteral("リンク集"));
        chooseFromDropDown(f.ui->TlAddGroupBtn1, QStringLiteral("DDGroup_AddTop"));
        expectOneNamePrompt();

        // The list's pop-up: a link into the listed group.
        f.clickNode(child(nullptr, 2));
        chooseFromPopup(f.ui->ListView1, f.ui->LVPopUp, {Qt::Key_A});

        QCOMPARE(shape(), QStringList({"0|資料|group", "1||link", "1|ガイド|group", "2||link", "2||link", "1||link",
                                       "0||link", "0|リンク集|group", "1||link"}));
        QVERIFY(f.prompts->textAnswers.isEmpty());
    }

    QStringList shape()
    {
        QStringList shape;
        for (const LinkNode *n : f.tree().nodes())
            shape << QStringLiteral("%1|%2|%3").arg(n->level()).arg(n->text(), n->isGroup() ? "group" : "link");
        return shape;
    }

    // Types every field of the selected row's link; the target is typed unless `pickTarget`.
    void fillSelectedLink(const LinkFields &fields, bool pickTarget = false)
    {
        QVERIFY(f.selectedRowIndex() >= 0);
        LinkNode *link = f.rowNode(f.selectedRowIndex());
        typeInto(f.ui->LinkTextEdit, fields.text);
        typeInto(f.ui->HrefEdit, fields.href);
        if (pickTarget)
            pickFromList(f.ui->TargetCmbBox, fields.target);
        else
            typeInto(f.ui->TargetCmbBox, fields.target);
        typeInto(f.ui->ClassEdit, fields.cls);
        typeInto(f.ui->IDEdit, fields.id);
        // Written through at once: the node, its row and, for the text, the tree.
        const LinkAttr &r = link->record();
        QCOMPARE(QStringList({link->text(), r.Href, r.Target, r.ObjID, r.Class}),
                 QStringList({fields.text, fields.href, fields.target, fields.id, fields.cls}));
        const int row = f.selectedRowIndex();
        QCOMPARE(QStringList({f.rowText(row, 0), f.rowText(row, 1), f.rowText(row, 2), f.rowText(row, 3),
                              f.rowText(row, 4)}),
                 QStringList({fields.text, fields.href, fields.target, fields.id, fields.cls}));
        QCOMPARE(f.model().data(f.model().indexFromNode(link)).toString(), fields.text);
    }

    void fillEveryLink()
    {
        // In the list: the group lists its links, the user clicks one.
        f.clickNode(docs());
        QCOMPARE(f.rowCaptions(), QStringList({"", ""}));
        f.clickRow(0);
        fillSelectedLink({"FAQ", "faq.html", "main", "faq", "hot"});
        f.clickRow(1);
        fillSelectedLink({QStringLiteral("お問い合わせ"), "mailto:info@example.jp", "_self", "contact", ""}, true);

        // In the tree: the link itself.
        f.clickNode(child(guide(), 0));
        QCOMPARE(f.selectedRowIndex(), 0);
        fillSelectedLink({"Intro", "intro.html", "_blank", "intro", "nav main"}, true);
        f.clickNode(setup());
        fillSelectedLink({"Setup", "setup.html", "_top", "", ""});

        f.clickNode(child(nullptr, 1));
        fillSelectedLink({"News", "news.html?a=1&b=\"2\"", "_parent", "news", ""}, true);
        f.clickNode(child(child(nullptr, 2), 0));
        fillSelectedLink({"Vormik", "https://example.org/vormik/", "side", "", "ext"});
    }

    // Selecting a link shows its group's name; typing there renames the group, not the link.
    void renameFirstGroup()
    {
        LinkNode *faq = child(docs(), 0);
        f.clickNode(faq);
        QCOMPARE(f.ui->GroupNameEdit->text(), QStringLiteral("資料"));
        typeInto(f.ui->GroupNameEdit, QStringLiteral("ドキュメント"));
        QCOMPARE(docs()->text(), QStringLiteral("ドキュメント"));
        QCOMPARE(faq->text(), QStringLiteral("FAQ"));
    }

    // Setup's ID: first one FAQ already uses (letter case aside), then one of its own.
    void checkSetupsId()
    {
        f.clickNode(setup());
        QCOMPARE(f.ui->LinkTextEdit->text(), QStringLiteral("Setup"));
        f.prompts->messages.clear();

        typeInto(f.ui->IDEdit, "FAQ");
        QTest::mouseClick(f.ui->OverlapIDBtn, Qt::LeftButton);
        typeInto(f.ui->IDEdit, "setup");
        QTest::mouseClick(f.ui->OverlapIDBtn, Qt::LeftButton);

        QCOMPARE(f.prompts->messages.size(), 2);
        const ScriptedPrompts::Shown duplicate = f.prompts->messages.at(0);
        QCOMPARE(duplicate.icon, Prompts::Icon::Warning);
        QCOMPARE(duplicate.caption, QStringLiteral("警告"));
        QCOMPARE(duplicate.text, QStringLiteral("ID : FAQ は既に使われています"));
        const ScriptedPrompts::Shown unique = f.prompts->messages.at(1);
        QCOMPARE(unique.icon, Prompts::Icon::Information);
        QCOMPARE(unique.caption, QStringLiteral("情報"));
        QCOMPARE(unique.text, QStringLiteral("IDの重複はありませんでした　　"));
        f.prompts->messages.clear();
    }

    // Setup's classes: both ones in use, ticked in the picker from the keyboard.
    void pickSetupsClasses()
    {
        QCOMPARE(f.ui->LinkTextEdit->text(), QStringLiteral("Setup"));
        QTest::mouseClick(f.ui->UsedClassBtn, Qt::LeftButton);
        QVERIFY(f.ui->PopupPanel1->isPoppedUp());
        QTRY_VERIFY(f.ui->PopupPanel1->popupForm()->isActiveWindow());
        QListWidget *list = f.ui->ClassListBox;
        QStringList offered;
        for (int i = 0; i < list->count(); ++i)
            offered << list->item(i)->text();
        QCOMPARE(offered, QStringList({"hot", "nav main", "ext"}));

        for (const QString &wanted : {QStringLiteral("nav main"), QStringLiteral("hot")}) {
            QListWidgetItem *item = list->findItems(wanted, Qt::MatchExactly).value(0);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
            QTest::keyClick(list, Qt::Key_Space);
            QCOMPARE(item->checkState(), Qt::Checked);
        }
        QTest::mouseClick(f.ui->ClassOKBtn, Qt::LeftButton);

        QVERIFY(!f.ui->PopupPanel1->isPoppedUp());
        QCOMPARE(f.ui->ClassEdit->text(), QStringLiteral("hot nav main"));
        QCOMPARE(setup()->record().Class, QStringLiteral("hot nav main"));
        QTRY_VERIFY(w().isActiveWindow());
    }

    void saveAs(const QString &path)
    {
        f.prompts->fileAnswers.enqueue(path);
        pressShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
        QVERIFY(f.prompts->fileAnswers.isEmpty());
        QVERIFY(QFile::exists(path));
        QVERIFY(f.prompts->messages.isEmpty());
    }

    void startAnew()
    {
        pressShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
        startsEmpty();
        QCOMPARE(w().selectedNode(), nullptr);
    }

    void openAgain(const QString &path)
    {
        f.prompts->fileAnswers.enqueue(path);
        pressShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
        QVERIFY(f.prompts->fileAnswers.isEmpty());
        // New made an untitled tree; the dialog starts in the folder of the file just saved.
        QCOMPARE(f.prompts->fileDialogs.constLast().fileName, QString());
        QCOMPARE(f.prompts->fileDialogs.constLast().folder, QFileInfo(path).absolutePath());
        QVERIFY(f.prompts->messages.isEmpty());
    }

    // File menu, "HTML出力(&H)...", then the settings dialog: a mark from its list, the default
    // stylesheet and the software information off, a class name of one's own, OK.
    void exportPage(const QString &path)
    {
        QCOMPARE(f.ui->mnOutPutHTML1->text(), QStringLiteral("HTML出力(&H)..."));
        f.prompts->fileAnswers.enqueue(path);
        bool pressedOk = false;
        const bool shown = actWhileShown(
            [] { return qobject_cast<ExportDialog *>(QApplication::activeModalWidget()); },
            [&](QWidget &window) {
                auto &d = static_cast<ExportDialog &>(window);
                QCOMPARE(d.outputFileName, path);
                auto *styleSheetOff = control<QRadioButton>(d, "DefCSSOFFRadioBtn");
                auto *softwareInfoOff = control<QRadioButton>(d, "SoftInfoOFFRadioBtn");
                pickFromList(control<QComboBox>(d, "GroupMarkCmbBox"), QStringLiteral("◆"));
                QTest::mouseClick(styleSheetOff, Qt::LeftButton);
                QTest::mouseClick(softwareInfoOff, Qt::LeftButton);
                typeInto(control<QLineEdit>(d, "ClassNameEdit"), " menu ");
                QVERIFY(control<QRadioButton>(d, "JSONRadioBtn")->isChecked()
                        && control<QRadioButton>(d, "AuthorLinkONRadioBtn")->isChecked());
                QVERIFY(styleSheetOff->isChecked() && softwareInfoOff->isChecked());
                QTest::mouseClick(control<QPushButton>(d, "OKBtn"), Qt::LeftButton);
                pressedOk = !d.isVisible() && d.result() == QDialog::Accepted;
            },
            [this] { f.clickMenuItem(QStringLiteral("mnOutPutHTML1")); });
        QVERIFY(shown);
        QVERIFY(pressedOk);
        QCOMPARE(f.prompts->messages.size(), 1);
        QCOMPARE(f.prompts->messages.constFirst().icon, Prompts::Icon::Information);
        QCOMPARE(f.prompts->messages.constFirst().text, QStringLiteral("正常に出力しました"));
    }

    // --- What the user meant to build, made without the window ---------------------------

    static void addLink(LinkTree &tree, LinkNode *parent, const LinkFields &fields)
    {
        LinkAttr &r = tree.appendLink(parent, fields.text)->record();
        r.Href = fields.href;
        r.Target = fields.target;
        r.ObjID = fields.id;
        r.Class = fields.cls;
    }

    static std::unique_ptr<LinkTree> intendedTree()
    {
        auto tree = std::make_unique<LinkTree>();
        LinkNode *docs = tree->appendGroup(nullptr, QStringLiteral("ドキュメント"));
        addLink(*tree, docs, {"FAQ", "faq.html", "main", "faq", "hot"});
        LinkNode *guide = tree->appendGroup(docs, QStringLiteral("ガイド"));
        addLink(*tree, guide, {"Intro", "intro.html", "_blank", "intro", "nav main"});
        addLink(*tree, guide, {"Setup", "setup.html", "_top", "setup", "hot nav main"});
        addLink(*tree, docs, {QStringLiteral("お問い合わせ"), "mailto:info@example.jp", "_self", "contact", ""});
        addLink(*tree, nullptr, {"News", "news.html?a=1&b=\"2\"", "_parent", "news", ""});
        LinkNode *links = tree->appendGroup(nullptr, QStringLiteral("リンク集"));
        addLink(*tree, links, {"Vormik", "https://example.org/vormik/", "side", "", "ext"});
        return tree;
    }

    // The reopened tree is the one the user built: shape, texts, kinds, every field.
    void expectTheTreeAsBuilt(const QStringList &built)
    {
        QCOMPARE(f.snapshot(), built);
        for (const LinkNode *n : f.tree().nodes()) {
            const int picture = n->isGroup() ? int(GroupImage) : int(LinkImage);
            QCOMPARE(n->imageIndex(), picture);
        }
    }

    // The file is what Save makes of the reopened tree, its outline the tree the user built.
    void expectTheProjectFile(const QString &path)
    {
        const QByteArray project = readAll(path);
        QCOMPARE(project, ProjectFile::write(f.tree()));
        QVERIFY(project.contains(Cp932::encode(QStringLiteral(
            "<Nodes>ドキュメント&#13;\n\tFAQ&#13;\n\tガイド&#13;\n\t\tIntro&#13;\n\t\tSetup&#13;\n\tお問い合わせ&#13;\n"
            "News&#13;\nリンク集&#13;\n\tVormik&#13;\n</Nodes>"))));
        QVERIFY(project.contains("<Href>news.html?a=1&amp;b=\"2\"</Href>"));
    }

    // The page is the generator's for the intended tree with the chosen settings, and reads as
    // the user expects.
    void expectThePage(const QString &pagePath, LinkTree &intended)
    {
        ExportSettings settings;
        settings.outputFileName = pagePath;
        settings.groupMark = QStringLiteral("◆");
        settings.defaultStyleSheet = false;
        settings.softwareInfo = false;
        settings.classNameEntry = QStringLiteral(" menu ");
        const QByteArray page = readAll(pagePath);
        const PageGenerator::Page expected = PageGenerator::buildPage(intended, settings);
        QCOMPARE(page, expected.bytes);

        // The node lines as the user will see them: marks, tree lines, the blocks that fold.
        const QStringList lines = Cp932::decode(page).split(QStringLiteral("\r\n"));
        const QStringList body = {
            QStringLiteral("<div class=\"tree\">"),
            QStringLiteral("<div><a href=\"menu.htm\" onclick=\"return func('group-0-0');\">◆ドキュメント</a></div>"),
            QStringLiteral("<div class=\"menu\" id=\"group-0-0\">"),
            QStringLiteral("<div>├<a href=\"faq.html\" target=\"main\" id=\"faq\" class=\"hot\">FAQ</a></div>"),
            QStringLiteral("<div>├<a href=\"menu.htm\" onclick=\"return func('group-1-0');\">◆ガイド</a></div>"),
            QStringLiteral("<div class=\"menu\" id=\"group-1-0\">"),
            QStringLiteral("<div>│├<a href=\"intro.html\" target=\"_blank\" id=\"intro\" class=\"nav main\">Intro</a></div>"),
            QStringLiteral("<div>│└<a href=\"setup.html\" target=\"_top\" id=\"setup\" class=\"hot nav main\">Setup</a></div></div>"),
            QStringLiteral("<div>└<a href=\"mailto:info@example.jp\" target=\"_self\" id=\"contact\">お問い合わせ</a></div></div>"),
            QStringLiteral("<div><a href=\"news.html?a=1&b=&quot;2&quot;\" target=\"_parent\" id=\"news\">News</a></div>"),
            QStringLiteral("<div><a href=\"menu.htm\" onclick=\"return func('group-0-1');\">◆リンク集</a></div>"),
            QStringLiteral("<div class=\"menu\" id=\"group-0-1\">"),
            QStringLiteral("<div>└<a href=\"https://example.org/vormik/\" target=\"side\" class=\"ext\">Vormik</a></div></div>"),
            QStringLiteral("</div>"),
        };
        const qsizetype start = lines.indexOf(body.constFirst());
        QVERIFY(start > 0);
        QCOMPARE(lines.mid(start, body.size()), body);
        QCOMPARE(lines.at(start - 1), QStringLiteral("<body onload=\"init();\">"));
        QVERIFY(lines.contains(QStringLiteral("\t  if (objs[i].className == 'menu'){")));
        QVERIFY(!lines.contains(QStringLiteral("<style type=\"text/css\">")));
        QVERIFY(!Cp932::decode(page).contains(QStringLiteral("generator")));
        QVERIFY(lines.at(start + body.size()).startsWith(QStringLiteral("<br /><blockquote")));
        QVERIFY(page.contains("<div>\x84\xa0\x84\xa5<a href=\"intro.html\""));

        // The export left its trace in the window's tree: the groups' ids.
        for (LinkNode *n : intended.nodes()) {
            if (n->isGroup())
                n->record().ObjID = expected.groupIds.at(static_cast<size_t>(intended.absoluteIndex(n)));
        }
        QCOMPARE(f.snapshot(), snapshotOf(intended));
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        QVERIFY(f.open());
    }
    void cleanup() { f.close(); }

    void aUsersWholeJourney()
    {
        const QString projectPath = dir.filePath(QStringLiteral("メニュー.xml"));
        const QString pagePath = dir.filePath(QStringLiteral("menu.htm"));

        startsEmpty();
        buildTheTree();
        fillEveryLink();
        renameFirstGroup();
        checkSetupsId();
        pickSetupsClasses();
        if (QTest::currentTestFailed())
            return;

        const std::unique_ptr<LinkTree> intended = intendedTree();
        const QStringList built = f.snapshot();
        QCOMPARE(built, snapshotOf(*intended));

        saveAs(projectPath);
        startAnew();
        openAgain(projectPath);
        if (QTest::currentTestFailed())
            return;

        expectTheTreeAsBuilt(built);
        expectTheProjectFile(projectPath);
        if (QTest::currentTestFailed())
            return;

        exportPage(pagePath);
        if (QTest::currentTestFailed())
            return;
        expectThePage(pagePath, *intended);
    }
};

QTEST_MAIN(TestJourney)
#include "tst_journey.moc"
