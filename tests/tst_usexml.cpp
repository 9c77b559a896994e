#include "project/usexml.h"
#include "text/VormikError.h"

#include <QFile>
#include <QTest>

#include "ProjectFixtures.h"

using namespace usexml;

namespace {
// The document each test builds.
XmlBuilder xml;

// Everything a parse hands on besides the Nodes element's text: the name of every element as it
// starts, and the text, joined.
struct Recorder final : XmlEvents
{
    QStringList elements;
    QByteArray text;
    void elementStarted(const char *localName, long) override { elements << QString::fromUtf8(localName); }
    void elementEnded() override {}
    void textFound(const char *utf8, int length) override { text.append(utf8, length); }
};

Recorder parsed(const QByteArray &bytes, StreamedText &nodes)
{
    Recorder recorder;
    parse(bytes, QStringLiteral("t.xml"), nodes, recorder);
    return recorder;
}

Recorder parsed(const QByteArray &bytes)
{
    StreamedText nodes("Nodes");
    return parsed(bytes, nodes);
}
} // namespace

class TestUsexml : public QObject
{
    Q_OBJECT

private:
    static QByteArray declaration() { return "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"; }
    // Builds a one-element document holding `text` and returns its bytes.
    static QByteArray documentWithText(const QString &text)
    {
        xml.CreateXmlDocument(QStringLiteral("NodeData"));
        xml.AddXmlElement(xml.XmlRoot(), QStringLiteral("Nodes"), text);
        return serialise(xml.XmlDocument());
    }
    static QString readBackText(const QByteArray &bytes)
    {
        StreamedText nodes("Nodes");
        parsed(bytes, nodes);
        return XmlTextDecoder()(nodes.utf8);
    }

private slots:
    void freshDocumentHoldsDeclarationAndEmptyRoot()
    {
        xml.CreateXmlDocument(QStringLiteral("NodeData"));
        QVERIFY(xml.XmlDocument());
        QCOMPARE(reinterpret_cast<const char *>(xml.XmlRoot()->name), "NodeData");
        QCOMPARE(serialise(xml.XmlDocument()), declaration() + "<NodeData/>\n");
    }

    void indexesCountFromZeroWithinEachDocument()
    {
        for (int round = 0; round < 2; ++round) {
            xml.CreateXmlDocument(QStringLiteral("Root"));
            const int container = xml.AddXmlElement(xml.XmlRoot(), QStringLiteral("Application"), {});
            QCOMPARE(container, 0);
            QCOMPARE(xml.AddXmlElement(xml.XmlElement(container), QStringLiteral("AppTitle"), QStringLiteral("Vormik")), 1);
            QCOMPARE(xml.AddXmlElement(xml.XmlElement(container), QStringLiteral("AppVersion"), QStringLiteral("1.00")), 2);
            QCOMPARE(xml.AddXmlElement(xml.XmlRoot(), QStringLiteral("Nodes"), {}), 3);
            QCOMPARE(xml.XmlElement(2)->parent, xml.XmlElement(0));
            QCOMPARE(xml.XmlElement(3)->parent, xml.XmlRoot());
        }
        QCOMPARE(serialise(xml.XmlDocument()),
                 declaration()
                     + "<Root><Application><AppTitle>Vormik</AppTitle><AppVersion>1.00</AppVersion></Application>"
                       "<Nodes/></Root>\n");
    }

    void emptyTextGivesNoChild()
    {
        xml.CreateXmlDocument(QStringLiteral("NodeData"));
        xmlNode *empty = xml.XmlElement(xml.AddXmlElement(xml.XmlRoot(), QStringLiteral("Application"), {}));
        xmlNode *version = xml.XmlElement(xml.AddXmlElement(xml.XmlRoot(), QStringLiteral("AppVersion"), QStringLiteral("1.00")));
        QVERIFY(!empty->children);
        QVERIFY(version->children);
        QVERIFY(!version->children->next);
        QCOMPARE(version->children->type, XML_TEXT_NODE);
        QCOMPARE(reinterpret_cast<const char *>(version->children->content), "1.00");
    }

    void textIsEscapedNeverMarkup_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("less-than and ampersand") << QStringLiteral("a<b & c") << QByteArray("a&lt;b &amp; c");
        QTest::newRow("looks like markup") << QStringLiteral("<b>x</b>&amp;") << QByteArray("&lt;b&gt;x&lt;/b&gt;&amp;amp;");
        QTest::newRow("quotes and CR") << QStringLiteral("\"q' \r\n") << QByteArray("\"q' &#13;\n");
        QTest::newRow("NEC characters") << QStringLiteral("①㈱～") << QByteArray("\x87\x40\x87\x8a\x81\x60");
        QTest::newRow("outside CP932") << QStringLiteral("😀𠮷") << QByteArray("&#128512;&#134071;");
    }
    void textIsEscapedNeverMarkup()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        const QByteArray bytes = documentWithText(text);
        QVERIFY2(bytes.contains("<Nodes>" + written + "</Nodes>"), bytes.constData());
        StreamedText nodes("Nodes");
        const Recorder recorder = parsed(bytes, nodes);
        QCOMPARE(XmlTextDecoder()(nodes.utf8), text);
        QVERIFY(!recorder.elements.contains(QStringLiteral("b")));
    }

    void charactersXmlCannotCarryAreLeftOut()
    {
        const QByteArray bytes = documentWithText(QStringLiteral("a\x01" "b\x1f") + QChar(0xFFFE) + QChar(0xD800)
                                                  + QStringLiteral("c"));
        QCOMPARE(readBackText(bytes), QStringLiteral("abc"));
    }

    void invalidNamesAreRefused()
    {
        QVERIFY_THROWS_EXCEPTION(VormikError, xml.CreateXmlDocument(QStringLiteral("1abc")));
        xml.CreateXmlDocument(QStringLiteral("NodeData"));
        QVERIFY_THROWS_EXCEPTION(VormikError, xml.AddXmlElement(xml.XmlRoot(), QString(), QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(VormikError, xml.AddXmlElement(xml.XmlRoot(), QStringLiteral("a b"), {}));
    }

    void finalizingDropsTheDocument()
    {
        xml.CreateXmlDocument(QStringLiteral("Other"));
        QCOMPARE(reinterpret_cast<const char *>(xml.XmlRoot()->name), "Other");
        QCOMPARE(xml.XmlRoot()->doc, xml.XmlDocument());
        xml.FinalizeXml();
        QVERIFY(!xml.XmlDocument());
        QVERIFY(!xml.XmlRoot());
    }

    void elementsAtAnyDepthInDocumentOrder()
    {
        const Recorder recorder = parsed("<R><Node><x>1</x><Node><x>2</x></Node></Node><a><Node><x>3</x></Node></a>"
                                         "<Node/></R>");
        const QStringList names = {"R", "Node", "x", "Node", "x", "a", "Node", "x", "Node"};
        QCOMPARE(recorder.elements, names); // letter case as written
        QCOMPARE(recorder.text, QByteArray("123"));
    }

    void textComesJoinedAndResolved()
    {
        QCOMPARE(QString::fromUtf8(parsed("<R>a<![CDATA[<b>]]>&amp;<i>c</i>&#x5B57;</R>").text), QStringLiteral("a<b>&c字"));
    }

    void faultyDocumentsAreRejected_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("not well-formed") << QByteArray("<?xml version='1.0'?>\n<R>\n<a></b></R>")
                                         << QStringLiteral("（3 行");
        QTest::newRow("undeclared entity") << QByteArray("<R>&secret;</R>") << QStringLiteral("secret");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("t.xml");
        QTest::newRow("external entity") << projectFixture("hostile-external-entity.xml") << QStringLiteral("DOCTYPE");
        QTest::newRow("entity bomb") << projectFixture("hostile-entity-bomb.xml") << QStringLiteral("DOCTYPE");
        QTest::newRow("external DTD") << QByteArray("<!DOCTYPE R SYSTEM \"/etc/passwd\"><R/>") << QStringLiteral("DOCTYPE");
        QTest::newRow("invalid Shift_JIS") << projectFixture("hostile-invalid-shift-jis.xml") << QStringLiteral("t.xml");
        QTest::newRow("deeply nested") << "<R>" + QByteArray("<a>").repeated(100000)
                                       << QStringLiteral("t.xml");
    }
    void faultyDocumentsAreRejected()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        try {
            parsed(bytes);
            QFAIL("accepted");
        } catch (const VormikError &error) {
            QVERIFY2(error.message().startsWith(QStringLiteral("ファイル t.xml を読み込めません")),
                     qPrintable(error.message()));
            QVERIFY2(error.message().contains(expected), qPrintable(error.message()));
        }
    }

    void xincludeIsNeverProcessed()
    {
        const Recorder recorder = parsed("<R xmlns:xi='http://www.w3.org/2001/XInclude'><xi:include href='/etc/passwd'/></R>");
        QCOMPARE(recorder.text, QByteArray());
    }

    void shiftJisMeansCp932WhenReading()
    {
        const QByteArray bytes = "<?xml version='1.0' encoding='shift_jis'?><R>\x87\x40\x87\x8a\x81\x60\x81\x5f</R>";
        QCOMPARE(QString::fromUtf8(parsed(bytes).text), QStringLiteral("①㈱～＼"));
    }
};

QTEST_GUILESS_MAIN(TestUsexml)
#include "tst_usexml.moc"
