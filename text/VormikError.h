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
