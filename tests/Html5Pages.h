#pragma once

// The HTML5 pages the HTML5 checks run over: trees of several shapes, every option on and off,
// and texts that could break a page.
#include "PageTrees.h"
#include "html/PageGenerator.h"

#include <QList>

#include <functional>

struct Html5Case
{
    QString name; // the page's file name is NAME.html
    std::function<void(LinkTree &)> build;
    ExportSettings settings; // outputFileName is set where the page is written
    QString current;         // the text of the link to the page itself, if any
    QStringList addresses{}; // where the page is opened, relative to its folder; its file name when empty
    bool frames = false;     // its links open in a frame, so following one moves the mark
    bool reflow = false;     // it fits a view 320 px wide
    bool strictPolicy = false; // served with a Content-Security-Policy that allows no other inline code
};

namespace Html5Trees {

inline void oneLink(LinkTree &tree)
{
    link(tree, nullptr, QStringLiteral("ホーム"), QStringLiteral("index.html"));
}

// LEVELS groups, each inside the one before, each holding a link before the next group.
template <int Levels = 12>
inline void deepNesting(LinkTree &tree)
{
    LinkNode *parent = nullptr;
    for (int level = 1; level <= Levels; ++level) {
        parent = tree.appendGroup(parent, QStringLiteral("階層%1").arg(level));
        link(tree, parent, QStringLiteral("項目%1").arg(level), QStringLiteral("p%1.html").arg(level));
    }
}

inline void emptyGroups(LinkTree &tree)
{
    tree.appendGroup(nullptr, QStringLiteral("空0"));
    LinkNode *g = tree.appendGroup(nullptr, QStringLiteral("組"));
    tree.appendGroup(g, QStringLiteral("空1"));
    tree.appendGroup(tree.appendGroup(g, QStringLiteral("中")), QStringLiteral("空2"));
    link(tree, nullptr, QStringLiteral("リンク"), QStringLiteral("l.html"));
    tree.appendGroup(nullptr, QStringLiteral("空3"));
}

// Markup characters and characters Shift_JIS lacks in every text and field.
inline void specialTexts(LinkTree &tree)
{
    LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("<b>&amp; \"quoted\" 'single'</b> 😀"));
    link(tree, group, QStringLiteral("A & B < C > D \"E\" 'F' 𠮷 ¥‾ é"), QStringLiteral("search.cgi?q=a&b='c'&x=é"),
         QStringLiteral("win&\"'>"), QStringLiteral("id&\"'<>"), QStringLiteral("c&\"'<> d"));
    LinkNode *inner = tree.appendGroup(group, QStringLiteral("</details></li></ul> ✓"));
    link(tree, inner, QStringLiteral("<script>alert(1)</script>"));
}

// A project file may put children under a link.
inline void linkWithChildren(LinkTree &tree)
{
    LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("組"));
    LinkNode *parent = link(tree, group, QStringLiteral("親"), QStringLiteral("parent.html"));
    link(tree, parent, QStringLiteral("子"), QStringLiteral("child.html"));
    link(tree, group, QStringLiteral("弟"), QStringLiteral("next.html"));
}

// Two groups deep, a link to the page itself (current.html, or `self`).
inline void currentPage(LinkTree &tree, const QString &self = QStringLiteral("current.html"))
{
    LinkNode *docs = tree.appendGroup(nullptr, QStringLiteral("資料"));
    link(tree, docs, QStringLiteral("よくある質問"), QStringLiteral("faq.html"));
    LinkNode *guide = tree.appendGroup(docs, QStringLiteral("案内"));
    link(tree, guide, QStringLiteral("このページ"), self);
    link(tree, guide, QStringLiteral("別のページ"), QStringLiteral("other.html"));
    link(tree, tree.appendGroup(nullptr, QStringLiteral("他")), QStringLiteral("外"), QStringLiteral("x.html"));
}

// Names of some hundred characters, with spaces and without, at a few levels.
inline void longNames(LinkTree &tree)
{
    const QString words = QStringLiteral("long name ").repeated(30).trimmed();
    LinkNode *group = tree.appendGroup(nullptr, words);
    link(tree, group, QStringLiteral("長い名前").repeated(60), QStringLiteral("a.html"));
    LinkNode *inner = tree.appendGroup(group, QStringLiteral("x").repeated(300));
    link(tree, inner, words, QStringLiteral("b.html"));
    link(tree, inner, QStringLiteral("https://example.org/").repeated(15));
}

// The site's home page, index.html, with links to fragments of itself beside the link to it.
inline void homePage(LinkTree &tree)
{
    link(tree, nullptr, QStringLiteral("先頭"), QStringLiteral("#"));
    LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("案内"));
    link(tree, group, QStringLiteral("上へ"), QStringLiteral("#top"));
    link(tree, group, QStringLiteral("下へ"), QStringLiteral(" #end"));
    link(tree, group, QStringLiteral("ホーム"), QStringLiteral("index.html"));
    link(tree, group, QStringLiteral("下位"), QStringLiteral("sub/"));
    link(tree, nullptr, QStringLiteral("他"), QStringLiteral("other.html?x=index.html"));
}

// A menu for a page of frames: its links open in the frame "main".
inline void frameMenu(LinkTree &tree)
{
    LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("資料"));
    link(tree, group, QStringLiteral("一"), QStringLiteral("one.html"), QStringLiteral("main"));
    link(tree, group, QStringLiteral("先頭へ"), QStringLiteral(" #top"), QStringLiteral("main"));
    link(tree, tree.appendGroup(group, QStringLiteral("奥")), QStringLiteral("二"), QStringLiteral("two.html"),
         QStringLiteral("main"));
    link(tree, nullptr, QStringLiteral("三"), QStringLiteral("three.html"), QStringLiteral("main"));
}

// Links without an address, with every other field set.
inline void noAddress(LinkTree &tree)
{
    LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("組"));
    link(tree, group, QStringLiteral("準備中"), {}, QStringLiteral("main"), QStringLiteral("soon"), QStringLiteral("c"));
    link(tree, nullptr, QStringLiteral("近日"), {}, QStringLiteral("_blank"));
}

// Nodes without a name: a group, links with and without an address, a name of spaces.
inline void unnamed(LinkTree &tree)
{
    LinkNode *group = tree.appendGroup(nullptr, QString());
    link(tree, group, QString(), QStringLiteral("faq.html"));
    link(tree, group, QString());
    link(tree, tree.appendGroup(group, QStringLiteral(" \t")), QStringLiteral("　"), QStringLiteral("a.html"));
}

// Names written right to left, one long enough to wrap, at two levels.
inline void rightToLeft(LinkTree &tree)
{
    LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("قائمة"));
    link(tree, group, QStringLiteral("שלום עולם ").repeated(12).trimmed(), QStringLiteral("b.html"));
    link(tree, tree.appendGroup(group, QStringLiteral("תפריט")), QStringLiteral("عربي"), QStringLiteral("c.html"));
}

// Links whose ids look like the ids the page gives its groups.
inline void groupLikeIds(LinkTree &tree)
{
    LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("組"));
    link(tree, group, QStringLiteral("甲"), QStringLiteral("a.html"), {}, QStringLiteral("group-0-0"));
    link(tree, tree.appendGroup(group, QStringLiteral("中")), QStringLiteral("乙"), QStringLiteral("b.html"), {},
         QStringLiteral("group1-1-0"));
    link(tree, group, QStringLiteral("丙"), QStringLiteral("c.html"), {}, QStringLiteral("to-c.html"));
    link(tree, group, QStringLiteral("丁"), QStringLiteral("c.html"));
}

} // namespace Html5Trees

inline ExportSettings html5Settings()
{
    ExportSettings settings;
    settings.format = PageFormat::Html5;
    settings.groupMark = QStringLiteral("□");
    settings.fontName = QStringLiteral("ＭＳ ゴシック");
    return settings;
}

inline QList<Html5Case> html5Cases()
{
    using namespace Html5Trees;
    const ExportSettings on = html5Settings();
    ExportSettings noScript = on;
    noScript.foldingScript = false;
    ExportSettings special = on;
    special.groupMark = QStringLiteral("<&>\"' ★");
    special.fontName = QStringLiteral("Fönt \"&<>'\\ 𠮷 </style>");
    special.classNameEntry = QStringLiteral("grp&\"'<>");
    ExportSettings specialNoScript = special;
    specialNoScript.foldingScript = false;

    ExportSettings titled = on;
    titled.pageTitle = QStringLiteral("Site map <&> \"x\"");
    titled.pageLanguage = QStringLiteral("en-GB");

    ExportSettings separate = on;
    separate.separateFiles = true;

    QList<Html5Case> cases = {
        {QStringLiteral("separate-files"), [](LinkTree &tree) { currentPage(tree, QStringLiteral("separate-files.html")); },
         separate, QStringLiteral("このページ"), {}, false, false, true},
        {QStringLiteral("inline-hashed"), [](LinkTree &tree) { currentPage(tree, QStringLiteral("inline-hashed.html")); },
         on, QStringLiteral("このページ"), {}, false, false, true},
        {QStringLiteral("titled"), buildWorkedExample, titled, {}},
        {QStringLiteral("empty"), [](LinkTree &) {}, on, {}},
        {QStringLiteral("one-link"), oneLink, on, {}},
        {QStringLiteral("deep"), deepNesting<>, on, {}, {}, false, true},
        {QStringLiteral("deep-50"), deepNesting<50>, on, {}},
        {QStringLiteral("long-names"), longNames, on, {}, {}, false, true},
        {QStringLiteral("long-names-no-script"), longNames, noScript, {}, {}, false, true},
        {QStringLiteral("empty-groups"), emptyGroups, on, {}},
        {QStringLiteral("empty-groups-no-script"), emptyGroups, noScript, {}},
        {QStringLiteral("special"), specialTexts, special, {}},
        {QStringLiteral("special-no-script"), specialTexts, specialNoScript, {}},
        {QStringLiteral("link-children"), linkWithChildren, on, {}},
        {QStringLiteral("current"), [](LinkTree &tree) { currentPage(tree); }, on, QStringLiteral("このページ")},
        {QStringLiteral("query"), [](LinkTree &tree) { currentPage(tree, QStringLiteral("?lang=en")); }, on,
         QStringLiteral("このページ")},
        {QStringLiteral("頁 一"), [](LinkTree &tree) { currentPage(tree, QStringLiteral("頁%20一.html")); }, on,
         QStringLiteral("このページ")},
        // Addresses that differ from the browser's own only in their percent-encoding.
        {QStringLiteral("日本語"), [](LinkTree &tree) { currentPage(tree, QStringLiteral("%e6%97%a5%e6%9c%ac%e8%aa%9e.html")); },
         on, QStringLiteral("このページ")},
        {QStringLiteral("page"), [](LinkTree &tree) { currentPage(tree, QStringLiteral("p%61ge.html")); }, on,
         QStringLiteral("このページ")},
        {QStringLiteral("index"), homePage, on, QStringLiteral("ホーム"),
         {QStringLiteral("index.html"), QString(), QStringLiteral("index.html?utm=1"), QStringLiteral("index.html#top"),
          QStringLiteral("./?utm=1#x")}},
        {QStringLiteral("frames"), frameMenu, on, {}, {}, true},
        {QStringLiteral("no-address"), noAddress, on, {}},
        {QStringLiteral("no-address-no-script"), noAddress, noScript, {}},
        {QStringLiteral("unnamed"), unnamed, on, {}},
        {QStringLiteral("unnamed-no-script"), unnamed, noScript, {}},
        {QStringLiteral("group-like-ids"), groupLikeIds, on, {}},
        {QStringLiteral("rtl"), rightToLeft, on, {}, {}, false, true},
    };
    ExportSettings bare = on;
    bare.groupMark.clear();
    bare.fontName.clear();
    for (int mask = 0; mask < 16; ++mask) {
        ExportSettings settings = mask == 0 ? bare : on;
        settings.foldingScript = mask & 1;
        settings.defaultStyleSheet = mask & 2;
        settings.softwareInfo = mask & 4;
        settings.authorLink = mask & 8;
        cases.append({QStringLiteral("options-%1%2%3%4").arg(mask & 1).arg((mask >> 1) & 1).arg((mask >> 2) & 1).arg(mask >> 3),
                      buildWorkedExample, settings, {}, {}, false, true});
    }
    return cases;
}
