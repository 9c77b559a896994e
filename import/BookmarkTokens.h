#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// The tags and text of a Netscape bookmark file, one at a time, as browsers' own importers read
// them: no tree is built and nothing nests, so a folder of any size and a file of any length take
// no more memory than the piece of the file at hand. The bytes are UTF-8 (see TextDecoding).
class BookmarkTokens
{
public:
    enum class Kind { Text, StartTag, EndTag, End };
    struct Token
    {
        Kind kind = Kind::End;
        QByteArray name;    // a tag's name, in lower case
        QByteArrayView raw; // the text as written, or a start tag's attributes
    };

    // The file's bytes, or its first piece and where the next pieces come from (empty at its end).
    explicit BookmarkTokens(const QByteArray &utf8, std::function<QByteArray()> more = {})
        : m_bytes(utf8), m_more(std::move(more))
    {
    }

    // The next token; what it points to holds until the next call. A text may come in pieces.
    Token next();
    // True when the file ended inside a tag, comment or quoted value.
    bool cutShort() const { return m_cutShort; }

private:
    enum class Step { Token, More, End };
    Step step(Token &token);
    bool pull();

    QByteArray m_bytes;
    std::function<QByteArray()> m_more;
    qsizetype m_at = 0;
    bool m_cutShort = false;
};

namespace BookmarkText {

// An attribute of a start tag (from Token::raw) with its character references read, or a null
// string when the tag has none of that name (matched without case).
QString attribute(QByteArrayView attributes, QByteArrayView name);
// Text with its character references read and every run of white space holding a line break made
// one space: a name a browser wrapped is one line again.
QString text(QByteArrayView raw);

} // namespace BookmarkText
