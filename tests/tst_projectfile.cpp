#include "html/ExportChoice.h"
#include "project/ProjectFile.h"
#include "project/usexml.h"
#include "text/Cp932Codec.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "ProjectFixtures.h"
#include "TreeSnapshot.h"
#include "FileHelpers.h"

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// The source as read() names it in its messages, as Open passes it.
const QString FileName = QStringLiteral("ファイル p.xml");

// The tree of the worked example: group A holding link a1 and group B (which holds link b1),
// then link c; every link with fields of its own.
std::unique_ptr<LinkTree> exampleTree()
{
    auto tree = std::make_unique<LinkTree>();
    LinkNode *a = tree->appendGroup(nullptr, QStringLiteral("A"));
    LinkNode *a1 = tree->appendLink(a, QStringLiteral("a1"));
    a1->record().Href = QStringLiteral("a1.htm?x=1&y=<2>");
    a1->record().Target = QStringLiteral("_blank");
    a1->record().ObjID = QStringLiteral("id1");
    a1->record().Class = QStringLiteral("c1 c2");
    LinkNode *b = tree->appendGroup(a, QStringLiteral("B"));
    b->record().ObjID = QStringLiteral("Group2");
    tree->appendLink(b, QStringLiteral("b1"))->record().Href = QStringLiteral("b1.htm");
    tree->appendLink(nullptr, QStringLiteral("c"))->record().Target = QStringLiteral("main");
    return tree;
}

// A `Node` element as the writer lays it out.
QByteArray nodeElement(int index, const char *text, bool group, const QByteArray &href = {},
                       const QByteArray &target = {}, const QByteArray &objId = {}, const QByteArray &cls = {})
{
    auto element = [](const char *name, const QByteArray &value) {
        return value.isEmpty() ? QByteArray("<") + name + "/>"
                               : QByteArray("<") + name + ">" + value + "</" + name + ">";
    };
    return "<Node>" + element("AbsoluteIndex", QByteArray::number(index)) + element("Text", text)
        + element("Group", group ? "True" : "False") + element("Href", href) + element("Target", target)
        + element("ObjID", objId) + element("Class", cls) + "</Node>";
}

// A file of our own making around an outline and some `Node` elements.
QByteArray projectBytes(const QString &outline, const QByteArray &nodes, const QByteArray &root = "NodeData")
{
    QByteArray escaped = Cp932::encode(outline.toHtmlEscaped());
    return "<?xml version='1.0' encoding='Shift_JIS'?>\r\n<" + root + "><Nodes>" + escaped + "</Nodes>" + nodes
        + "</" + root + ">";
}

QByteArray link(const QByteArray &inner = "<Group>False</Group><Href/><Target/><ObjID/><Class/>")
{
    return "<Node>" + inner + "</Node>";
}



QString failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const VormikError &error) {
        return error.message();
    }
    return {};
}

} // namespace

class TestProjectFile : public QObject
{
    Q_OBJECT

private slots:
    void exampleTreeWritesOutlineAndNodes()
    {
        const auto tree = exampleTree();
        QCOMPARE(ProjectFile::outlineText(*tree), QStringLiteral("A\r\n\ta1\r\n\tB\r\n\t\tb1\r\nc\r\n"));
        const QByteArray expected =
            "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<NodeData><Application><AppTitle>Vormik</AppTitle>"
            "<AppVersion>1.00</AppVersion></Application><Nodes>A&#13;\n\ta1&#13;\n\tB&#13;\n\t\tb1&#13;\nc&#13;\n</Nodes>"
            + nodeElement(0, "A", true) + nodeElement(1, "a1", false, "a1.htm?x=1&amp;y=&lt;2&gt;", "_blank", "id1", "c1 c2")
            + nodeElement(2, "B", true, {}, {}, "Group2") + nodeElement(3, "b1", false, "b1.htm")
            + nodeElement(4, "c", false, {}, "main") + "</NodeData>\n";
        QCOMPARE(ProjectFile::write(*tree), expected);
    }

    void treesRoundTrip_data()
    {
        QTest::addColumn<QStringList>("texts"); // one per node, TABs before a text give its level
        QTest::newRow("empty tree") << QStringList();
        QTest::newRow("empty texts") << QStringList{QString(), QStringLiteral("\t"), QStringLiteral("\t\t")};
        QTest::newRow("leading blanks and TABs")
            << QStringList{QStringLiteral("  two blanks"), QStringLiteral("\t\tTAB first"),
                           QStringLiteral("\t \t mixed"), QStringLiteral("\t\t\t"), QStringLiteral("   "),
                           QStringLiteral("\t　full-width first")};
        QTest::newRow("outside CP932 and NEC characters")
            << QStringList{QStringLiteral("😀 𠮷"), QStringLiteral("\t①㈱～"), QStringLiteral("\t\t<&>\"'")};
        QTest::newRow("trailing blanks") << QStringList{QStringLiteral("a  "), QStringLiteral("\tb\t")};
        QTest::newRow("one full-width space, and none") << QStringList{QStringLiteral("　"), QString(), QStringLiteral("\t　")};
    }
    void treesRoundTrip()
    {
        QFETCH(QStringList, texts);
        // An entry's leading TABs give its level, as deep as the entries before allow; the rest,
        // TABs and blanks included, is its text.
        LinkTree tree;
        std::vector<LinkNode *> atLevel;
        for (const QString &entry : texts) {
            int level = 0;
            while (level < entry.size() && entry.at(level) == QLatin1Char('\t') && level < int(atLevel.size()))
                ++level;
            LinkNode *parent = level > 0 ? atLevel[size_t(level - 1)] : nullptr;
            LinkNode *node = tree.appendGroup(parent, entry.mid(level));
            atLevel.resize(size_t(level));
            atLevel.push_back(node);
        }
        if (!tree.isEmpty())
            tree.appendLink(nullptr, QStringLiteral("\t\tlink with TABs"))->record().Href = QStringLiteral("😀.htm");
        const auto read = ProjectFile::read(ProjectFile::write(tree), FileName);
        QCOMPARE(view(*read), view(tree));
    }

    void exampleTreeRoundTrips()
    {
        const auto tree = exampleTree();
        const auto read = ProjectFile::read(ProjectFile::write(*tree), FileName);
        QCOMPARE(view(*read), view(*tree));
    }

    void emptyTextIsWrittenAsFullWidthSpace()
    {
        LinkTree tree;
        tree.appendLink(nullptr, {});
        QCOMPARE(ProjectFile::outlineText(tree), QStringLiteral("　\r\n"));
        QVERIFY(ProjectFile::write(tree).contains("<Nodes>\x81\x40&#13;\n</Nodes>" + nodeElement(0, "", false)));
        QCOMPARE(tree.nodeAt(0)->text(), QString());
    }

    void fullWidthSpaceTextReadsAsEmpty()
    {
        const auto read = ProjectFile::read(projectBytes(QStringLiteral("　\r\n\t　\r\n"), link() + link()), FileName);
        QCOMPARE(read->count(), 2);
        QCOMPARE(read->nodeAt(0)->text(), QString());
        QCOMPARE(read->nodeAt(1)->text(), QString());
        QCOMPARE(read->nodeAt(1)->level(), 1);
    }

    void leadingBlanksWithoutTextElementMakeLevels()
    {
        // Files without a matching Text element read every leading blank and TAB as a level.
        const auto read = ProjectFile::read(
            projectBytes(QStringLiteral("a\r\n b\r\n\t\tc\r\n"), link() + link() + link("<Text>other</Text>" + QByteArray(
                "<Group>0</Group><Href/><Target/><ObjID/><Class/>"))),
            FileName);
        QCOMPARE(read->nodeAt(1)->text(), QStringLiteral("b"));
        QCOMPARE(read->nodeAt(1)->level(), 1);
        QCOMPARE(read->nodeAt(2)->text(), QStringLiteral("c"));
        QCOMPARE(read->nodeAt(2)->level(), 2);
    }

    void groupValues_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("group");
        QTest::newRow("True") << QByteArray("True") << true;
        QTest::newRow("true") << QByteArray("true") << true;
        QTest::newRow("TRUE") << QByteArray("TRUE") << true;
        QTest::newRow("fALSE") << QByteArray("fALSE") << false;
        QTest::newRow("1") << QByteArray("1") << true;
        QTest::newRow("-1") << QByteArray("-1") << true;
        QTest::newRow("0") << QByteArray("0") << false;
        QTest::newRow("1e3") << QByteArray("1e3") << true;
        QTest::newRow("0.0") << QByteArray("0.0") << false;
        QTest::newRow("-0e5") << QByteArray("-0e5") << false;
        QTest::newRow("+.5") << QByteArray("+.5") << true;
        QTest::newRow("1e999") << QByteArray("1e999") << true;
        QTest::newRow("padded") << QByteArray("\r\n  True  ") << true;
    }
    void groupValues()
    {
        QFETCH(QByteArray, value);
        QFETCH(bool, group);
        const auto read = ProjectFile::read(
            projectBytes(QStringLiteral("x\r\n"), link("<Group>" + value + "</Group><Href/><Target/><ObjID/><Class/>")),
            FileName);
        QCOMPARE(read->nodeAt(0)->isGroup(), group);
        QCOMPARE(read->nodeAt(0)->imageIndex(), group ? GroupImage : LinkImage);
    }

    void elementsInAnyOrderUnderAnyRoot()
    {
        const QByteArray nodes =
            "<Node><Class>k</Class><wrap><ObjID>o</ObjID></wrap><Target>t</Target><Href>h</Href><Group>TRUE</Group>"
            "<AbsoluteIndex>7</AbsoluteIndex></Node>";
        const auto read = ProjectFile::read(
            "<Anything><Application/><deep><Nodes>g</Nodes></deep>" + nodes + "<Nodes>ignored</Nodes></Anything>", FileName);
        QCOMPARE(read->count(), 1);
        const LinkNode *node = read->nodeAt(0);
        QCOMPARE(node->text(), QStringLiteral("g"));
        QCOMPARE(node->record(), (LinkAttr{true, QStringLiteral("h"), QStringLiteral("t"), QStringLiteral("o"),
                                           QStringLiteral("k")}));
    }

    void nestedNodeElementsFindTheFirstBelowThem()
    {
        const QByteArray rest = "<Target/><ObjID/><Class/>";
        const auto read = ProjectFile::read(projectBytes(QStringLiteral("a\r\nb"),
                                                         "<Node><Node><Group>1</Group><Href>in</Href>" + rest
                                                             + "</Node><Group>0</Group><Href>out</Href>" + rest + "</Node>"),
                                            FileName);
        for (int i : {0, 1}) {
            QVERIFY(read->nodeAt(i)->isGroup());
            QCOMPARE(read->nodeAt(i)->record().Href, QStringLiteral("in"));
        }
    }

    void fewerNodeElementsThanLines()
    {
        const auto read = ProjectFile::read(
            projectBytes(QStringLiteral("G\r\n\t　\r\nlast"), link("<Group>True</Group><Href/><Target/><ObjID/><Class/>")),
            FileName);
        QCOMPARE(read->count(), 3);
        QVERIFY(read->nodeAt(0)->isGroup());
        for (int i : {1, 2}) {
            QCOMPARE(read->nodeAt(i)->record(), LinkAttr());
            QCOMPARE(read->nodeAt(i)->imageIndex(), LinkImage);
        }
        QCOMPARE(read->nodeAt(1)->text(), QString());
        QCOMPARE(read->nodeAt(2)->text(), QStringLiteral("last"));
        // What was read is what a save and a second open give back.
        QCOMPARE(view(*ProjectFile::read(ProjectFile::write(*read), FileName)), view(*read));
    }

    void lineBreaksOfEveryKind()
    {
        const auto read = ProjectFile::read(projectBytes(QStringLiteral("a\r\tb\n\tc\r\n\r\nd\n"), {}), FileName);
        QCOMPARE(view(*read).size(), size_t(5));
        QCOMPARE(read->nodeAt(3)->text(), QString()); // an empty line still makes a node
        QCOMPARE(read->nodeAt(4)->text(), QStringLiteral("d"));
        QCOMPARE(read->nodeAt(2)->level(), 1);
    }

    void windowsLayoutOpens()
    {
        const auto read = ProjectFile::read(projectFixture("windows-layout.xml"), FileName);
        QCOMPARE(read->count(), 5);
        const std::vector<NodeView> nodes = view(*read);
        QCOMPARE(nodes[0].text, QStringLiteral("①グループ"));
        QVERIFY(nodes[0].record.Group);
        QCOMPARE(nodes[0].record.ObjID, QStringLiteral("menu1"));
        QCOMPARE(nodes[1].level, 1);
        QCOMPARE(nodes[1].text, QStringLiteral("㈱リンク"));
        QCOMPARE(nodes[1].record.Href, QStringLiteral("http://example.jp/a?x=1&y=2"));
        QCOMPARE(nodes[1].record.Class, QStringLiteral("c1 c2"));
        QCOMPARE(nodes[2].text, QString());
        QCOMPARE(nodes[3].level, 2);
        QCOMPARE(nodes[3].text, QStringLiteral("Ａ～Ｂ"));
        QCOMPARE(nodes[3].record.Target, QStringLiteral("main"));
        QCOMPARE(nodes[4].level, 0);
        QCOMPARE(nodes[4].record.Target, QStringLiteral("_top"));
    }

    void faultyFilesAreRejected_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray fields = "<Href/><Target/><ObjID/><Class/>";
        QTest::newRow("not well-formed") << QByteArray("<NodeData><Nodes>a</NodeData>")
                                         << QStringLiteral("ファイル p.xml を読み込めません（1 行 30 列）: 開始タグと終了タグ");
        QTest::newRow("unclosed tag") << QByteArray("<NodeData>\n<Nodes></Nodes\n</NodeData>")
                                      << QStringLiteral("（3 行 1 列）: タグが閉じていません（libxml2: ");
        QTest::newRow("no Nodes") << QByteArray("<NodeData><Node/></NodeData>")
                                  << QStringLiteral("ファイル p.xml に Nodes 要素がありません");
        QTest::newRow("level jump") << projectBytes(QStringLiteral("a\r\n\tb\r\n\t\t\t c\r\n"), {})
                                    << QStringLiteral("ファイル p.xml の Nodes 要素（4 行目）: アイテム \"c\" の階層 (4) が不正です");
        QTest::newRow("first line deep, then deeper")
            << projectBytes(QStringLiteral("\t\ta\r\n\t\t\tb\r\n"), {}) << QStringLiteral("アイテム \"b\" の階層 (3) が不正です");
        QTest::newRow("surplus Node") << projectBytes(QStringLiteral("a"), link() + "\n" + link())
                                      << QStringLiteral("ファイル p.xml の 2 番目の Node 要素（3 行目）: 不正なインデックス");
        QTest::newRow("bad Group") << projectBytes(QStringLiteral("a\r\nb"), link() + link("<Group>yes</Group>" + fields))
                                   << QStringLiteral("2 番目の Node 要素（3 行目）: 'yes' は真偽値");
        QTest::newRow("empty Group") << projectBytes(QStringLiteral("a"), link("<Group/>" + fields))
                                     << QStringLiteral("'' は真偽値");
        QTest::newRow("number without digits") << projectBytes(QStringLiteral("a"), link("<Group>.e1</Group>" + fields))
                                               << QStringLiteral("'.e1' は真偽値");
        QTest::newRow("missing Class") << projectBytes(QStringLiteral("a"), link("<Group>0</Group><Href/><Target/><ObjID/>"))
                                       << QStringLiteral("1 番目の Node 要素（2 行目）: Class 要素がありません");
        QTest::newRow("external entity") << projectFixture("hostile-external-entity.xml") << QStringLiteral("DOCTYPE");
        QTest::newRow("entity bomb") << projectFixture("hostile-entity-bomb.xml") << QStringLiteral("DOCTYPE");
        QTest::newRow("deeply nested") << projectBytes(QStringLiteral("a"), QByteArray("<x>").repeated(5000))
                                       << QStringLiteral("要素の入れ子が深すぎます（libxml2: Excessive depth");
        QTest::newRow("invalid Shift_JIS") << projectFixture("hostile-invalid-shift-jis.xml")
                                           << QStringLiteral("ファイル p.xml を読み込めません");
    }
    void messagesTakeTextsAsTheyAre()
    {
        const QString name = QStringLiteral("ファイル %2 %1.xml");
        const QString failure = failureOf([&] {
            ProjectFile::read(projectBytes(QStringLiteral("a\r\n\t\t%1%2"), {}), name);
        });
        QCOMPARE(failure, QStringLiteral("ファイル %2 %1.xml の Nodes 要素（3 行目）: アイテム \"%1%2\" の階層 (2) が不正です"));
        QVERIFY(failureOf([&] { ProjectFile::read(projectBytes(QStringLiteral("a"), link() + link()), name); })
                    .startsWith(QStringLiteral("ファイル %2 %1.xml の 2 番目の Node 要素")));
    }

    void faultyFilesAreRejected()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString failure = failureOf([&] { ProjectFile::read(bytes, FileName); });
        QVERIFY2(failure.contains(message), qPrintable(failure));
    }

    void saveWritesWhatWriteMakes()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("menu.xml"));
        const auto tree = exampleTree();
        ProjectFile::save(*tree, path);
        const auto opened = ProjectFile::open(path);
        QCOMPARE(view(*opened), view(*tree));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), ProjectFile::write(*tree));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("menu.xml")});
    }

    void failedSaveLeavesOldFile_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder") << QStringLiteral("missing/menu.xml")
                                        << QStringLiteral("ファイル %1 を作成できません");
        QTest::newRow("a folder") << QStringLiteral("folder") << QStringLiteral("ファイル %1 を作成できません");
        QTest::newRow("disk full") << QStringLiteral("menu.xml") << QStringLiteral("ファイル %1 を作成できません: ");
        QTest::newRow("read-only file") << QStringLiteral("readonly.xml") << QStringLiteral("ファイル %1 を作成できません");
    }
    void failedSaveLeavesOldFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, message);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QString path = dir.filePath(target);
        const QByteArray old = "old contents\r\n\x81\x40";
        if (!target.startsWith(QLatin1String("missing")) && target != QLatin1String("folder")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
        const auto tree = exampleTree();
        QString failure;
        if (QTest::currentDataTag() == QLatin1String("read-only file")) {
            if (geteuid() == 0)
                QSKIP("root may write a read-only file");
            QFile::setPermissions(path, QFileDevice::ReadOwner);
            failure = failureOf([&] { ProjectFile::save(*tree, path); });
        } else if (QTest::currentDataTag() == QLatin1String("disk full")) {
            // A file size limit makes the write fail half way, as a full disk would.
            const FileSizeLimit limit(64);
            failure = failureOf([&] { ProjectFile::save(*tree, path); });
        } else {
            failure = failureOf([&] { ProjectFile::save(*tree, path); });
        }
        QVERIFY2(failure.startsWith(message.arg(path)), qPrintable(failure));
        if (QFileInfo(path).isFile()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), old);
        }
        QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        left.removeAll(QStringLiteral("folder"));
        left.removeAll(target);
        QCOMPARE(left, QStringList()); // no half-written temporary file stays behind
    }

    void openRefusesWhatItCannotRead()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("none.xml"));
        QVERIFY(failureOf([&] { ProjectFile::open(missing); }).startsWith(QStringLiteral("ファイル %1 を開けません").arg(missing)));

        const QString huge = dir.filePath(QStringLiteral("huge.xml"));
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(ProjectFile::MaxFileSize + 1)); // sparse: costs no disk
        file.close();
        QVERIFY(failureOf([&] { ProjectFile::open(huge); }).contains(QStringLiteral("大きすぎます")));
    }

    // Whatever name a Shift_JIS file declares, its bytes are read as Windows writes them: 5C is a
    // backslash and 7E a tilde, not a yen sign and an overline.
    void everyShiftJisNameReadsAsWindows_data()
    {
        QTest::addColumn<QByteArray>("declared");
        for (const char *name : {"Shift_JIS", "shift_jis", "SJIS", "Shift-JIS", "MS_Kanji", "csShiftJIS", "Windows-31J",
                                 "MS932", "x-sjis"})
            QTest::newRow(name) << QByteArray(name);
    }
    void everyShiftJisNameReadsAsWindows()
    {
        QFETCH(QByteArray, declared);
        QByteArray bytes = projectBytes(QStringLiteral("C:\\~\r\n"),
                                        nodeElement(0, "C:\\~", false, "a\\b~\x82\xa0.htm"));
        bytes.replace("encoding='Shift_JIS'", "encoding='" + declared + "'");
        const auto tree = ProjectFile::read(bytes, FileName);
        QCOMPARE(tree->count(), 1);
        QCOMPARE(tree->nodeAt(0)->text(), QStringLiteral("C:\\~"));
        QCOMPARE(tree->nodeAt(0)->record().Href, QStringLiteral("a\\b~あ.htm"));
    }

    // The yen sign and the overline are saved as references and come back as themselves.
    void yenSignAndOverlineSurviveSaveAndOpen()
    {
        LinkTree tree;
        LinkNode *node = tree.appendLink(nullptr, QStringLiteral("¥1,000‾"));
        node->record().Href = QStringLiteral("price?yen=¥&path=C:\\~");
        const QByteArray saved = ProjectFile::write(tree);
        QVERIFY(saved.contains("&#165;1,000&#8254;"));
        const auto reopened = ProjectFile::read(saved, FileName);
        QCOMPARE(reopened->nodeAt(0)->text(), node->text());
        QCOMPARE(reopened->nodeAt(0)->record().Href, node->record().Href);
    }

    // A text may begin with U+FEFF; inside a document it is a character, not a byte-order mark.
    void leadingZeroWidthNoBreakSpaceIsKept()
    {
        const QByteArray bytes = projectBytes(QStringLiteral("\uFEFFa\r\n"),
                                              nodeElement(0, "&#65279;a", false, "&#65279;b.htm"));
        const auto tree = ProjectFile::read(bytes, FileName);
        QCOMPARE(tree->nodeAt(0)->text(), QStringLiteral("\uFEFFa"));
        QCOMPARE(tree->nodeAt(0)->record().Href, QStringLiteral("\uFEFFb.htm"));
        const auto again = ProjectFile::read(ProjectFile::write(*tree), FileName);
        QCOMPARE(again->nodeAt(0)->text(), QStringLiteral("\uFEFFa"));
        QCOMPARE(again->nodeAt(0)->record().Href, QStringLiteral("\uFEFFb.htm"));
    }

    // An output's settings stand after the nodes, which read as they did without them.
    void exportSettingsTravelBesideTheTree()
    {
        const auto tree = exampleTree();
        const QDir folder(QStringLiteral("/work/project"));
        ExportChoice choice;
        ExportSettings &page = choice.settings;
        page.outputFileName = QStringLiteral("/work/site/menu.html");
        page.format = PageFormat::Html5;
        page.defaultStyleSheet = page.softwareInfo = false;
        page.separateFiles = true;
        page.groupMark = QStringLiteral("◆<&>");
        page.fontName = QStringLiteral("IPAexゴシック");
        page.classNameEntry = QStringLiteral("nav");
        page.pageTitle = QStringLiteral("案内 😀");
        page.pageLanguage = QStringLiteral("en-GB");

        const ProjectFile::Settings settings = ExportChoices::toSettings(choice, folder);
        // A reader that looks for the nodes' names anywhere in the file never meets one here.
        for (const ProjectFile::Setting &setting : settings) {
            for (const char *known : {"Node", "Nodes", "AbsoluteIndex", "Application"})
                QVERIFY(setting.name != known);
            QVERIFY(std::none_of(std::begin(NodeFields), std::end(NodeFields),
                                 [&](const NodeFieldInfo &field) { return setting.name == field.elementName; }));
        }
        const QByteArray plain = ProjectFile::write(*tree);
        const QByteArray bytes = ProjectFile::write(*tree, {settings});
        QVERIFY(bytes.startsWith(plain.first(plain.lastIndexOf("</NodeData>"))));
        QCOMPARE(bytes.count("<ExportSettings>"), 1);
        const ProjectFile::Project read = ProjectFile::readProject(bytes, FileName);
        QCOMPARE(view(*read.tree), view(*tree));
        QCOMPARE(read.outputs.size(), 1u);
        QCOMPARE(ExportChoices::fromSettings(read.outputs.front(), folder), std::optional(choice));
        QVERIFY(ProjectFile::readProject(plain, FileName).outputs.empty());

    }

    // Settings from a file written elsewhere: what cannot be trusted or read is left out.
    void exportSettingsFromElsewhere_data()
    {
        QTest::addColumn<ProjectFile::Settings>("settings");
        QTest::addColumn<QString>("written"); // the file name taken; "-": no settings at all
        QTest::addColumn<bool>("foldingScript");
        const auto named = [](const char *format, const char *file, const char *script = "False") {
            return ProjectFile::Settings{{"Format", QString::fromUtf8(format)}, {"PageFile", QString::fromUtf8(file)},
                                         {"FoldingScript", QString::fromUtf8(script)}};
        };
        QTest::newRow("none") << ProjectFile::Settings() << "-" << true;
        QTest::newRow("unknown format") << named("exe", "menu.html") << "-" << true;
        QTest::newRow("page in a sub-folder") << named("classic", "site/menu.htm") << "/p/site/menu.htm" << false;
        QTest::newRow("data keeps its suffix") << named("json", "../menu.json") << "/menu.json" << false;
        QTest::newRow("a file no export writes") << named("html5", "../.bashrc") << "" << false;
        QTest::newRow("a data suffix for a page") << named("html5", "menu.json") << "" << false;
        QTest::newRow("unreadable truth: default") << named("classic", "m.html", "maybe") << "/p/m.html" << true;
    }
    void exportSettingsFromElsewhere()
    {
        QFETCH(ProjectFile::Settings, settings);
        QFETCH(QString, written);
        const LinkTree tree;
        const auto read = ProjectFile::readProject(ProjectFile::write(tree, {settings}), FileName);
        const std::optional<ExportChoice> choice = ExportChoices::fromSettings(read.outputs.front(), QDir(QStringLiteral("/p")));
        QCOMPARE(choice.has_value(), written != QStringLiteral("-"));
        if (choice) {
            QCOMPARE(choice->settings.outputFileName, written);
            QTEST(choice->settings.foldingScript, "foldingScript");
        }
    }

    // Far down a file a fault still names the line its Node element starts on, whatever follows.
    void faultPastLine65535NamesTheNodesOwnLine()
    {
        const QByteArray before = projectBytes(QStringLiteral("a"), QByteArray(70000, '\n'));
        const QByteArray bytes = before.chopped(QByteArrayView("</NodeData>").size())
            + "<Node>\n<Group>maybe</Group><Href/><Target/><ObjID/><Class/></Node></NodeData>";
        const QString failure = failureOf([&] { ProjectFile::read(bytes, FileName); });
        const QString line = QString::number(before.count('\n') + 1);
        QVERIFY2(failure.contains(QStringLiteral("Node 要素（%1 行目）: 'maybe'").arg(line)), qPrintable(failure));
    }
};

QTEST_GUILESS_MAIN(TestProjectFile)
#include "tst_projectfile.moc"
