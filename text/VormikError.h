#pragma once

#include <QString>
#include <exception>

// The one failure a command can end with. The message is what the user is shown.
class VormikError : public std::exception
{
public:
    explicit VormikError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A failure's message as the user reads it, in the error box or on a terminal: a full stop is
// added when the last character sorts after ".".
inline QString shownErrorMessage(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}
