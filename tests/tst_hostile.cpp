// Hostile and broken project files. Each one is either refused with a message that names the
// file, or opened correctly; never a crash, never a change to the open tree after a refusal, and
// never a read of anything outside the file.
#include "TreeEdits.h"
#include "app/window/MainWindow.h"
#include "project/ProjectFile.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"
#include "app/editing/LinkTreeModel.h"
#include "WindowFixture.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

enum class Expect { Refused, Opened, Either };

const QByteArray Declaration = "<?xml version='1.0' encoding='Shift_JIS'?>\r\n";
const QByteArray Secret = "SECRET-7f3a9c-never-in-a-tree";

QByteArray nodeElement(const QByteArray &group)
{
    return "<Node><AbsoluteIndex>0</AbsoluteIndex><Text>a</Text><Group>" + group
           + "</Group><Href/><Target/><ObjID/><Class/></Node>";
}

QByteArray project(const QByteArray &outline, const QByteArray &nodes = {})
{
    return Declaration + "<NodeData><Application><AppTitle>Vormik</AppTitle><AppVersion>1.00</AppVersion>"
                         "</Application><Nodes>"
           + outline + "</Nodes>" + nodes + "</NodeData>";
}

QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF", 2) : QByteArray("\xFF\xFE", 2);
    for (QChar ch : text) {
        const char hi = char(ch.unicode() >> 8), lo = char(ch.unicode() & 0xFF);
        bytes += bigEndian ? QByteArray{&hi, 1} + QByteArray{&lo, 1} : QByteArray{&lo, 1} + QByteArray{&hi, 1};
    }
    return bytes;
}

} // namespace

class TestHostileFiles : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString secretPath;
    QTcpServer loopback;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        secretPath = dir.filePath("secret.txt");
        QFile secret(secretPath);
        QVERIFY(secret.open(QIODevice::WriteOnly));
        secret.write(Secret);
        QVERIFY(loopback.listen(QHostAddress::LocalHost));
    }

    void hostileFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Expect>("expect");
        QTest::addColumn<int>("nodes"); // when opened

        const QByteArray secretUrl = QUrl::fromLocalFile(secretPath).toEncoded();
        const QByteArray dtdUrl = "http://127.0.0.1:" + QByteArray::number(loopback.serverPort()) + "/evil.dtd";

        QByteArray laughs = "<?xml version='1.0'?><!DOCTYPE NodeData [<!ENTITY a0 'ha'>";
        for (int i = 1; i < 12; ++i)
            laughs += "<!ENTITY a" + QByteArray::number(i) + " '" + QByteArray("&a" + QByteArray::number(i - 1) + ";").repeated(10) + "'>";
        laughs += "]><NodeData><Nodes>&a11;</Nodes></NodeData>";
        QTest::newRow("billion laughs") << laughs << Expect::Refused << 0;

        const QByteArray big(100000, 'x');
        QTest::newRow("quadratic blowup") << "<?xml version='1.0'?><!DOCTYPE NodeData [<!ENTITY b '" + big + "'>]><NodeData><Nodes>" + QByteArray("&b;").repeated(20000) + "</Nodes></NodeData>" << Expect::Refused << 0;
        QTest::newRow("external entity, local file") << "<?xml version='1.0'?><!DOCTYPE NodeData [<!ENTITY e SYSTEM '" + secretUrl + "'>]><NodeData><Nodes>&e;</Nodes></NodeData>" << Expect::Refused << 0;
        QTest::newRow("external entity, /etc/passwd") << QByteArray("<?xml version='1.0'?><!DOCTYPE NodeData [<!ENTITY e SYSTEM 'file:///etc/passwd'>]><NodeData><Nodes>&e;</Nodes></NodeData>") << Expect::Refused << 0;
        QTest::newRow("external parameter entity") << "<?xml version='1.0'?><!DOCTYPE NodeData [<!ENTITY % p SYSTEM '" + secretUrl + "'>%p;]><NodeData><Nodes>a\r\n</Nodes></NodeData>" << Expect::Refused << 0;
        QTest::newRow("external DTD on loopback") << "<?xml version='1.0'?><!DOCTYPE NodeData SYSTEM '" + dtdUrl + "'><NodeData><Nodes>a\r\n</Nodes></NodeData>" << Expect::Refused << 0;
        QTest::newRow("public DTD") << "<?xml version='1.0'?><!DOCTYPE NodeData PUBLIC '-//X//Y//EN' '" + dtdUrl + "'><NodeData><Nodes>a\r\n</Nodes></NodeData>" << Expect::Refused << 0;
        QTest::newRow("bare document type") << QByteArray("<?xml version='1.0'?><!DOCTYPE NodeData><NodeData><Nodes>a\r\n</Nodes></NodeData>") << Expect::Refused << 0;
        QTest::newRow("harmless internal subset") << QByteArray("<?xml version='1.0'?><!DOCTYPE NodeData [<!ELEMENT NodeData ANY>]><NodeData><Nodes>a\r\n</Nodes></NodeData>") << Expect::Refused << 0;
        QTest::newRow("xinclude is not followed") << project("a\r\n<xi:include xmlns:xi='http://www.w3.org/2001/XInclude' href='" + secretUrl + "' parse='text'/>b\r\n") << Expect::Opened << 2;

        const QByteArray whole = project("A\r\n\tb\r\n", nodeElement("True") + nodeElement("False"));
        QTest::newRow("truncated in a tag") << whole.left(whole.size() - 40) << Expect::Refused << 0;
        QTest::newRow("truncated in the outline") << whole.left(whole.indexOf("\tb")) << Expect::Refused << 0;
        QTest::newRow("empty file") << QByteArray() << Expect::Refused << 0;
        QTest::newRow("declaration only") << Declaration << Expect::Refused << 0;
        QTest::newRow("invalid Shift_JIS trail byte") << project("\x82\x20" "a\r\n") << Expect::Refused << 0;
        QTest::newRow("Shift_JIS lead byte before markup") << project("a\x82") << Expect::Refused << 0;
        QTest::newRow("bytes Shift_JIS never uses") << project("\xFD\xFE\xFF\r\n") << Expect::Refused << 0;
        QTest::newRow("NUL byte") << project(QByteArray("a\0b\r\n", 5)) << Expect::Refused << 0;
        QTest::newRow("forbidden character reference") << project("a&#1;\r\n") << Expect::Refused << 0;

        QTest::newRow("nesting 10,000 deep in the outline element") << project(QByteArray("<x>").repeated(10000) + "a" + QByteArray("</x>").repeated(10000)) << Expect::Refused << 0;
        QTest::newRow("nesting 10,000 deep beside it") << Declaration + "<NodeData><Nodes>a\r\n</Nodes>" + QByteArray("<x>").repeated(10000) + QByteArray("</x>").repeated(10000) + "</NodeData>" << Expect::Refused << 0;
        QTest::newRow("50 MB text") << project("a\r\n", "<Node><Group>False</Group><Href>" + QByteArray(50 * 1024 * 1024, 'h') + "</Href><Target/><ObjID/><Class/></Node>") << Expect::Either << 1;
        QTest::newRow("one line with 100,000 TABs") << project(QByteArray(100000, '\t') + "deep\r\n") << Expect::Opened << 1;
        QTest::newRow("100,000 TABs after a top-level line") << project("top\r\n" + QByteArray(100000, '\t') + "deep\r\n") << Expect::Refused << 0;
        QByteArray staircase;
        for (int level = 0; level < 2000; ++level)
            staircase += QByteArray(level, '\t') + "n\r\n";
        QTest::newRow("a chain 2,000 levels deep") << project(staircase) << Expect::Opened << 2000;
        QByteArray longOutline;
        for (int line = 0; line < 300000; ++line)
            longOutline += "\x83\x8a\x83\x93\x83\x4e link number " + QByteArray::number(line) + "\r\n";
        QTest::newRow("an outline longer than 10 MB") << project(longOutline) << Expect::Opened << 300000;

        QTest::newRow("Node without children") << project("a\r\n", "<Node/>") << Expect::Refused << 0;
        QTest::newRow("Node with only Group") << project("a\r\n", "<Node><Group>True</Group></Node>") << Expect::Refused << 0;
        QTest::newRow("more Node elements than lines") << project("a\r\n", nodeElement("False") + nodeElement("False")) << Expect::Refused << 0;
        QTest::newRow("Group neither number nor truth") << project("a\r\n", nodeElement("maybe")) << Expect::Refused << 0;
        QTest::newRow("empty Group") << project("a\r\n", nodeElement("")) << Expect::Refused << 0;
        QTest::newRow("level jump") << project("a\r\n\t\tb\r\n") << Expect::Refused << 0;
        QTest::newRow("no outline element") << Declaration + "<NodeData><Node/></NodeData>" << Expect::Refused << 0;
        QTest::newRow("root only") << QByteArray("<x/>") << Expect::Refused << 0;
        QTest::newRow("two roots") << project("a\r\n") + "<NodeData/>" << Expect::Refused << 0;
        QTest::newRow("a very long element name") << project("a\r\n", "<" + QByteArray(1 << 20, 'n') + "/>") << Expect::Either << 1;
        QTest::newRow("CDATA and comments in the outline") << project("<!-- c -->a\r\n<![CDATA[\tb]]>\r\n") << Expect::Opened << 2;

        const QString utfProject = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?><NodeData><Nodes>①グループ\r\n\t𠮷\r\n</Nodes></NodeData>");
        QTest::newRow("UTF-8 with a byte-order mark") << "\xEF\xBB\xBF" + utfProject.arg("UTF-8").toUtf8() << Expect::Opened << 2;
        QTest::newRow("UTF-16LE with a byte-order mark") << utf16(utfProject.arg("UTF-16"), false) << Expect::Opened << 2;
        QTest::newRow("UTF-16BE with a byte-order mark") << utf16(utfProject.arg("UTF-16"), true) << Expect::Opened << 2;
        QTest::newRow("UTF-8 mark on a Shift_JIS declaration") << "\xEF\xBB\xBF" + project("a\r\n") << Expect::Either << 1;
    }

    // The reader alone: refused with a message naming the file, or read whole.
    void hostileFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Expect, expect);
        QFETCH(int, nodes);
        const int connectionsBefore = loopback.hasPendingConnections();
        try {
            auto tree = ProjectFile::read(bytes, QStringLiteral("hostile.xml"));
            QVERIFY2(expect != Expect::Refused, "a hostile file was accepted");
            QCOMPARE(tree->count(), nodes);
            for (const LinkNode *node : tree->nodes()) {
                QVERIFY(!node->text().contains(QString::fromLatin1(Secret)));
                QVERIFY(!node->record().Href.contains(QString::fromLatin1(Secret)));
            }
        } catch (const VormikError &error) {
            QVERIFY2(expect != Expect::Opened, qPrintable(error.message()));
            QVERIFY(error.message().contains(QStringLiteral("hostile.xml")));
            QVERIFY(!error.message().contains(QString::fromLatin1(Secret)));
        }
        QTest::qWait(0);
        QCOMPARE(loopback.hasPendingConnections(), connectionsBefore);
    }

    // Through the window: a refused file leaves the tree, the list and the editors as they were.
    void refusedFileChangesNothing_data() { hostileFile_data(); }
    void refusedFileChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Expect, expect);
        if (expect != Expect::Refused)
            return;
        const QString path = dir.filePath(QStringLiteral("hostile.xml"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();

        WindowFixture f;
        f.make();
        MainWindow &window = *f.window;
        ScriptedPrompts *prompts = f.prompts;
        LinkNode *group = TreeEdits::appendGroup(window.treeModel(), nullptr, QStringLiteral("残るグループ"));
        LinkNode *link = TreeEdits::appendLink(window.treeModel(), group, QStringLiteral("残るリンク"));
        link->record().Href = QStringLiteral("keep.html");
        window.selectNode(link);
        const WindowState before(window);

        prompts->fileAnswers.enqueue(path);
        f.ui->mnOpen1->trigger();
        QCOMPARE(WindowState(window), before);
        QCOMPARE(window.treeModel().tree().nodeAt(1), link);
        QCOMPARE(prompts->messages.size(), 1);
        QCOMPARE(prompts->messages[0].icon, Prompts::Icon::Critical);
        QVERIFY(prompts->messages[0].text.contains(QStringLiteral("hostile.xml")));
    }

    void oversizedFileIsRefusedForItsSize()
    {
        const QString path = dir.filePath(QStringLiteral("huge.xml"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(ProjectFile::MaxFileSize + 1)); // one byte over; sparse, so it costs no disk
        file.close();
        try {
            ProjectFile::open(path);
            QFAIL("a file over the size limit was opened");
        } catch (const VormikError &error) {
            // Refused for its size, not for what a read of it would have found.
            QVERIFY2(error.message().contains(QString::number(ProjectFile::MaxFileSize >> 20)), qPrintable(error.message()));
        }
        QFile::remove(path);
    }

    void folderIsNoProjectFile()
    {
        try {
            ProjectFile::open(dir.path());
            QFAIL("a folder was read as a project file");
        } catch (const VormikError &error) {
            QVERIFY(!error.message().isEmpty());
        }
    }
};

QTEST_MAIN(TestHostileFiles)
#include "tst_hostile.moc"
