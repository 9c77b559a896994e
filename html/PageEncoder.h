#pragma once

#include <QByteArray>
#include <QString>

// Collects a page's lines and encodes them a piece at a time, so a large page never exists as
// text and bytes at once in full.
class PageEncoder
{
public:
    using Encode = QByteArray (*)(const QString &text);
    PageEncoder(Encode encode, QString lineEnd) : m_encode(encode), m_lineEnd(std::move(lineEnd)) {}

    void addLine(const QString &line)
    {
        m_pending += line;
        m_pending += m_lineEnd;
        flushWhenFull();
    }
    void addText(const QString &text)
    {
        m_pending += text;
        flushWhenFull();
    }
    QByteArray finish()
    {
        flush();
        return std::move(m_bytes);
    }

private:
    static constexpr qsizetype ChunkSize = 1 << 20;
    void flushWhenFull()
    {
        if (m_pending.size() >= ChunkSize)
            flush();
    }
    // Pieces always end at the end of a line or of a whole text, so no character is ever split.
    void flush()
    {
        m_bytes += m_encode(m_pending);
        m_pending.clear();
    }

    Encode m_encode;
    QString m_lineEnd;
    QString m_pending;
    QByteArray m_bytes;
};
