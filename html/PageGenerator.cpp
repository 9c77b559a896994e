#include "html/PageGenerator.h"

#include "text/Cp932Codec.h"
#include "text/SafeFileWrite.h"
#include "text/TextRules.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QDir>

namespace PageGenerator {

namespace {

// Collects the page's lines and encodes them a piece at a time, so a large page never exists as
// text and bytes at once in full.
class PageEncoder
{
public:
    void addLine(const QString &line)
    {
        m_pending += line;
        m_pending += TextRules::LineEnd;
        if (m_pending.size() >= ChunkSize)
            flush();
    }
    void addText(const QString &text)
    {
        m_pending += text;
        if (m_pending.size() >= ChunkSize)
            flush();
    }
    QByteArray finish()
    {
        flush();
        return std::move(m_bytes);
    }

private:
    static constexpr qsizetype ChunkSize = 1 << 20;
    // Pieces always end at a line end, so no character is ever split.
    void flush()
    {
        m_bytes += Cp932::encode(m_pending);
        m_pending.clear();
    }
    QString m_pending;
    QByteArray m_bytes;
};

QString fileError(const QString &fileName, const QString &reason)
{
    return QStringLiteral("ファイル %1 に書き込めません: %2").arg(QDir::toNativeSeparators(fileName), reason);
}

} // namespace

QByteArray buildPage(LinkTree &tree, const ExportSettings &settings)
{
    TSystemStruct system;
    return buildPage(tree, settings, system);
}

QByteArray buildPage(LinkTree &tree, const ExportSettings &settings, TSystemStruct &system)
{
    BuildPageHead(tree, settings, system);
    NumberGroups(tree, tree.deepestLevel());
    BuildNodeMarkup(tree, settings);
    system.HeadText += QStringLiteral("<div class=\"%1\">\r\n").arg(system.RootClassName);

    PageEncoder page;
    page.addText(system.HeadText);
    writeNodeLines(tree, system, [&page](const QString &line) { page.addLine(line); });
    page.addLine(QStringLiteral("</div>"));
    page.addLine(QStringLiteral("<br />") + system.FooterText);
    page.addLine(QStringLiteral("</body>"));
    page.addLine(QStringLiteral("</html>"));
    return page.finish();
}

void exportPage(LinkTree &tree, const ExportSettings &settings)
{
    TSystemStruct system;
    exportPage(tree, settings, system);
}

void exportPage(LinkTree &tree, const ExportSettings &settings, TSystemStruct &system)
{
    const QByteArray page = buildPage(tree, settings, system);
    if (const auto failure = writeFileSafely(settings.OutputFileName, page))
        throw VormikError(fileError(settings.OutputFileName, failure->reason));
}

} // namespace PageGenerator
