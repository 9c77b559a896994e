#include "text/Cp932Codec.h"

#include <QTest>

class TestCp932 : public QObject
{
    Q_OBJECT

private slots:
    void encodeGivesWindowsBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii, markup untouched") << QStringLiteral("<a href=\"x&y\">'</a>") << QByteArray("<a href=\"x&y\">'</a>");
        QTest::newRow("kanji") << QStringLiteral("日本語") << QByteArray("\x93\xfa\x96\x7b\x8c\xea");
        QTest::newRow("tree lines") << QStringLiteral("└├│　") << QByteArray("\x84\xa4\x84\xa5\x84\xa0\x81\x40");
        QTest::newRow("NEC extension") << QStringLiteral("①") << QByteArray("\x87\x40");
        QTest::newRow("full-width tilde") << QStringLiteral("\uFF5E") << QByteArray("\x81\x60");
        QTest::newRow("JIS forms take the Windows bytes")
            << QStringLiteral("\u301C\u2016\u2212\u00A2\u00A3\u00AC")
            << QByteArray("\x81\x60\x81\x61\x81\x7c\x81\x91\x81\x92\x81\xca");
        QTest::newRow("half-width kana") << QStringLiteral("ｶﾅ") << QByteArray("\xb6\xc5");
        QTest::newRow("emoji becomes a reference") << QStringLiteral("a😀b") << QByteArray("a&#128512;b");
        QTest::newRow("outside the BMP") << QStringLiteral("𠮷野家") << QByteArray("&#134071;\x96\xec\x89\xc6");
        QTest::newRow("Latin letter outside CP932") << QStringLiteral("é") << QByteArray("&#233;");
        QTest::newRow("two in a row") << QStringLiteral("éé") << QByteArray("&#233;&#233;");
        // iconv's CP932 would give the yen sign and the overline the bytes of backslash and tilde.
        QTest::newRow("yen sign and overline become references")
            << QStringLiteral("¥100‾日¥\\~") << QByteArray("&#165;100&#8254;\x93\xfa&#165;\\~");
        QTest::newRow("only a yen sign") << QStringLiteral("¥") << QByteArray("&#165;");
        QTest::newRow("zero-width no-break space, first and inside")
            << QStringLiteral("\uFEFFa\uFEFF") << QByteArray("&#65279;a&#65279;");
        QTest::newRow("full-width yen sign has its own bytes") << QStringLiteral("￥") << QByteArray("\x81\x8f");
        QTest::newRow("empty") << QString() << QByteArray();
    }
    void encodeGivesWindowsBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp932::encode(text), bytes);
    }

    void neverWritesAQuestionMarkForALoneSurrogate()
    {
        const QString broken = QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y");
        const QByteArray bytes = Cp932::encode(broken);
        QVERIFY(!bytes.contains('?'));
        QVERIFY(bytes.startsWith('x') && bytes.endsWith('y'));
        QVERIFY(bytes.contains("&#"));
    }

    void longTextSurvivesTheBufferEdges()
    {
        // Long enough to cross the converter's buffer many times, with a reference in between.
        QString text;
        for (int i = 0; i < 5000; ++i)
            text += (i % 997 == 0) ? QStringLiteral("😀") : QStringLiteral("日本a");
        const QByteArray bytes = Cp932::encode(text);
        QVERIFY(!bytes.contains('?'));
        bool ok = false;
        QString back = Cp932::decode(bytes, &ok);
        QVERIFY(ok);
        back.replace(QStringLiteral("&#128512;"), QStringLiteral("😀"));
        QCOMPARE(back, text);
    }

    void decodeReadsWindowsBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("kanji") << QByteArray("\x93\xfa\x96\x7b") << QStringLiteral("日本") << true;
        QTest::newRow("81 60 is the full-width tilde") << QByteArray("\x81\x60") << QStringLiteral("\uFF5E") << true;
        QTest::newRow("NEC extension") << QByteArray("\x87\x40") << QStringLiteral("①") << true;
        QTest::newRow("undefined byte") << QByteArray("a\xa0z") << QStringLiteral("a\uFFFDz") << false;
        QTest::newRow("lead byte cut off at the end") << QByteArray("ab\x81") << QStringLiteral("ab\uFFFD") << false;
        QTest::newRow("empty") << QByteArray() << QString() << true;
    }
    void decodeReadsWindowsBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        bool ok = !valid;
        QCOMPARE(Cp932::decode(bytes, &ok), text);
        QCOMPARE(ok, valid);
    }
};

QTEST_APPLESS_MAIN(TestCp932)
#include "tst_cp932.moc"
