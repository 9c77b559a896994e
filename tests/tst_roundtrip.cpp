// Every character a project file can carry survives a save and an open: the whole CP932 table
// (NEC and IBM extensions included), the JIS forms Linux input methods type, and characters
// CP932 cannot hold at all.
#include "project/ProjectFile.h"
#include "text/Cp932Codec.h"
#include "tree/LinkTree.h"

#include <QTest>

namespace {

// Every character CP932 defines, in code order.
QString cp932Repertoire()
{
    QString all;
    for (int byte = 0x20; byte <= 0x7E; ++byte)
        all += QChar(byte);
    for (int byte = 0xA1; byte <= 0xDF; ++byte) // half-width katakana
        all += Cp932::decode(QByteArray(1, char(byte)));
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            bool ok = false;
            const QString ch = Cp932::decode(QByteArray(1, char(lead)) + char(trail), &ok);
            if (ok && !ch.isEmpty() && ch != QStringLiteral("\uFFFD"))
                all += ch;
        }
    }
    return all;
}

// The forms an input method types, and the Windows forms that CP932 stores for them.
const QList<QPair<QString, QString>> JisToWindows{
    {QStringLiteral("\u301C"), QStringLiteral("\uFF5E")}, {QStringLiteral("\u2016"), QStringLiteral("\u2225")},
    {QStringLiteral("\u2212"), QStringLiteral("\uFF0D")}, {QStringLiteral("\u00A2"), QStringLiteral("\uFFE0")},
    {QStringLiteral("\u00A3"), QStringLiteral("\uFFE1")}, {QStringLiteral("\u00AC"), QStringLiteral("\uFFE2")},
    {QStringLiteral("\u2014"), QStringLiteral("\u2015")},
};

QString windowsForms(QString text)
{
    for (const auto &[jis, windows] : JisToWindows)
        text.replace(jis, windows);
    return text;
}

} // namespace

class TestRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void repertoireIsComplete()
    {
        const QString all = cp932Repertoire();
        // 95 ASCII + 63 half-width + JIS X 0208 and the NEC and IBM extensions.
        QVERIFY2(all.size() > 7900, qPrintable(QString::number(all.size())));
        for (const QString &ch : {QStringLiteral("①"), QStringLiteral("㈱"), QStringLiteral("髙"), QStringLiteral("～"),
                                  QStringLiteral("ｱ"), QStringLiteral("\u2252")})
            QVERIFY2(all.contains(ch), qPrintable(ch));
    }

    void everyCharacterSurvivesSaveAndOpen()
    {
        QString all = cp932Repertoire();
        for (const auto &pair : JisToWindows)
            all += pair.first;
        // Then characters CP932 lacks, and the yen sign and overline, which must not come back as
        // the backslash and tilde that share their bytes.
        all += QStringLiteral("\uFEFF😀𠮷éЀ\u00A0\u3000ǅ¥‾\\~");

        LinkTree tree;
        LinkNode *group = tree.appendGroup(nullptr, QStringLiteral("全文字"));
        constexpr int Chunk = 97;
        for (qsizetype at = 0; at < all.size(); at += Chunk) {
            QString text = all.mid(at, Chunk);
            // Keep surrogate pairs together.
            if (text.back().isHighSurrogate() && at + Chunk < all.size())
                text += all.at(at + Chunk), ++at;
            LinkNode *link = tree.appendLink(group, text);
            LinkAttr &record = link->record();
            record.Href = QStringLiteral("page.html?q=") + text;
            record.Target = text.left(7);
            record.ObjID = text.right(11);
            record.Class = text.mid(3, 20);
        }

        const QByteArray first = ProjectFile::write(tree);
        const auto reopened = ProjectFile::read(first, QStringLiteral("all.xml"));
        const QByteArray second = ProjectFile::write(*reopened);
        QCOMPARE(second, first);

        QCOMPARE(reopened->count(), tree.count());
        for (int i = 0; i < tree.count(); ++i) {
            const LinkNode *was = tree.nodeAt(i);
            const LinkNode *is = reopened->nodeAt(i);
            QCOMPARE(is->text(), windowsForms(was->text()));
            QCOMPARE(is->record().Href, windowsForms(was->record().Href));
            QCOMPARE(is->record().Target, windowsForms(was->record().Target));
            QCOMPARE(is->record().ObjID, windowsForms(was->record().ObjID));
            QCOMPARE(is->record().Class, windowsForms(was->record().Class));
            QCOMPARE(is->record().Group, was->record().Group);
        }
    }
};

QTEST_GUILESS_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
