// Makes the README's pictures: the main window holding a small tree, and the page it exports.
// Run by tools/make-screenshots under Xvfb. Usage: vormik_screenshots OUTPUT_FOLDER
#include "TreeEdits.h"
#include "app/window/MainWindow.h"
#include "html/PageGenerator.h"
#include "app/editing/LinkTreeModel.h"

#include <QTreeView>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

namespace {

LinkNode *link(LinkTreeModel &model, LinkNode *parent, const QString &text, const QString &href,
               const QString &target = {}, const QString &id = {}, const QString &cls = {})
{
    LinkAttr fields;
    fields.Href = href;
    fields.Target = target;
    fields.ObjID = id;
    fields.Class = cls;
    return TreeEdits::appendLink(model, parent, text, fields);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QDir out(QApplication::arguments().value(1, QStringLiteral(".")));

    MainWindow window;
    LinkTreeModel &model = window.treeModel();
    LinkNode *docs = TreeEdits::appendGroup(model, nullptr, QStringLiteral("ドキュメント"));
    link(model, docs, QStringLiteral("よくある質問"), QStringLiteral("faq.html"), {}, QStringLiteral("faq"), QStringLiteral("hot"));
    LinkNode *guide = TreeEdits::appendGroup(model, docs, QStringLiteral("ガイド"));
    link(model, guide, QStringLiteral("はじめに"), QStringLiteral("intro.html"));
    LinkNode *setup = link(model, guide, QStringLiteral("インストール"), QStringLiteral("setup.html"), QStringLiteral("_blank"));
    link(model, guide, QStringLiteral("使い方"), QStringLiteral("usage.html"));
    LinkNode *links = TreeEdits::appendGroup(model, nullptr, QStringLiteral("リンク集"));
    link(model, links, QStringLiteral("Qt"), QStringLiteral("https://www.qt.io/"), QStringLiteral("_blank"));
    link(model, links, QStringLiteral("libxml2"), QStringLiteral("https://gitlab.gnome.org/GNOME/libxml2"), QStringLiteral("_blank"));
    link(model, nullptr, QStringLiteral("お知らせ"), QStringLiteral("news.html"));
    window.findChild<QTreeView *>(QStringLiteral("TreeView1"))->expandAll();
    window.selectNode(setup);
    window.resize(820, 560);
    window.show();

    ExportSettings settings;
    settings.outputFileName = out.filePath(QStringLiteral("menu.html"));
    settings.groupMark = QStringLiteral("□");
    settings.fontName = QStringLiteral("Noto Sans Mono CJK JP");
    PageGenerator::exportPage(model.tree(), settings);

    QTimer::singleShot(1500, &window, [&] {
        window.screen()->grabWindow(window.winId()).save(out.filePath(QStringLiteral("main-window.png")));
        QApplication::quit();
    });
    return QApplication::exec();
}
