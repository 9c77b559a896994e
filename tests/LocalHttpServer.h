#pragma once

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A small HTTP server on a free loopback port for the link check's tests and benchmark. Paths:
// /ok 200, /moved 301 to /ok, /missing 404, /error 500, /nohead 405 to HEAD and 200 to GET,
// /silent never answers. Every answer waits `delayMs`, so that requests overlap; the server
// counts what it was asked and the most requests it held at once.
class LocalHttpServer : public QObject
{
public:
    explicit LocalHttpServer(const QHostAddress &address = QHostAddress::LocalHost, int delayMs = 0)
        : m_delayMs(delayMs)
    {
        m_server.listen(address, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { take(socket); });
        });
    }

    QString url(const QString &path) const
    {
        return QStringLiteral("http://%1:%2%3").arg(m_server.serverAddress().toString()).arg(m_server.serverPort()).arg(path);
    }

    QHash<QString, int> asked;  // "HEAD /ok" → times
    int held = 0;
    int mostHeld = 0;

private:
    void take(QTcpSocket *socket)
    {
        QByteArray &request = m_buffers[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
        m_buffers.remove(socket);
        const QByteArray method = words.value(0);
        ++asked[QString::fromLatin1(method + ' ' + words.value(1))];
        const QByteArray path = words.value(1).split('?').first();
        if (path == "/silent")
            return;
        mostHeld = std::max(mostHeld, ++held);
        QTimer::singleShot(m_delayMs, socket, [this, socket, method, path] {
            --held;
            socket->write(answerTo(method, path));
            socket->disconnectFromHost();
        });
    }

    QByteArray answerTo(const QByteArray &method, const QByteArray &path) const
    {
        QByteArray status = "404 Not Found";
        QByteArray extra;
        if (path == "/ok")
            status = "200 OK";
        else if (path == "/moved")
            status = "301 Moved Permanently", extra = "Location: " + url(QStringLiteral("/ok")).toLatin1() + "\r\n";
        else if (path == "/error")
            status = "500 Internal Server Error";
        else if (path == "/nohead")
            status = method == "HEAD" ? "405 Method Not Allowed" : "200 OK";
        const QByteArray body = method == "HEAD" ? QByteArray() : QByteArray("body");
        return "HTTP/1.1 " + status + "\r\n" + extra + "Content-Length: " + QByteArray::number(body.size())
               + "\r\nConnection: close\r\n\r\n" + body;
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    int m_delayMs;
};
