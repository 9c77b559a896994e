#include "project/usexml.h"
#include "text/VormikError.h"

#include <QFile>
#include <QTest>

#include "ProjectFixtures.h"

using namespace usexml;

namespace {
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
    parse(bytes, QStringLiteral("ファイル t.xml"), nodes, recorder);
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
    // Writes a one-element document holding `text` and returns its bytes.
    static QByteArray documentWithText(const QString &text)
    {
        XmlWriter xml("NodeData");
        xml.textElement("Nodes", text);
        return xml.finish();
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
        XmlWriter xml("NodeData");
        QCOMPARE(xml.finish(), declaration() + "<NodeData/>\n");
    }

    void elementsNestInTheOrderWritten()
    {
        for (int round = 0; round < 2; ++round) {
            XmlWriter xml("Root");
            xml.startElement("Application");
            xml.textElement("AppTitle", QStringLiteral("Vormik"));
            xml.textElement("AppVersion", QStringLiteral("1.00"));
            xml.endElement();
            xml.textElement("Nodes", {});
            QCOMPARE(xml.finish(),
                     declaration()
                         + "<Root><Application><AppTitle>Vormik</AppTitle><AppVersion>1.00</AppVersion></Application>"
                           "<Nodes/></Root>\n");
        }
    }

    void emptyTextGivesNoChild()
    {
        XmlWriter xml("NodeData");
        xml.textElement("Application", {});
        xml.textElement("AppVersion", QStringLiteral("1.00"));
        const QByteArray bytes = xml.finish();
        QVERIFY(bytes.contains("<Application/><AppVersion>1.00</AppVersion>"));
        const Recorder recorder = parsed(bytes);
        QCOMPARE(recorder.elements, QStringList({"NodeData", "Application", "AppVersion"}));
        QCOMPARE(recorder.text, QByteArray("1.00"));
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
        // Written out in pieces far shorter, none of which may cut a character.
        QTest::newRow("long") << QString(30000, QChar(0x5B57)) + QStringLiteral("😀").repeated(3000)
                              << QByteArray("\x8e\x9a").repeated(30000) + QByteArray("&#128512;").repeated(3000);
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
        QVERIFY_THROWS_EXCEPTION(VormikError, XmlWriter("1abc"));
        XmlWriter xml("NodeData");
        QVERIFY_THROWS_EXCEPTION(VormikError, xml.textElement("", QStringLiteral("x")));
        QVERIFY_THROWS_EXCEPTION(VormikError, xml.startElement("a b"));
    }

    void finishingClosesEveryOpenElement()
    {
        XmlWriter xml("Other");
        xml.startElement("Node");
        xml.textElement("Text", QStringLiteral("t"));
        xml.startElement("Empty");
        QCOMPARE(xml.finish(), declaration() + "<Other><Node><Text>t</Text><Empty/></Node></Other>\n");
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
