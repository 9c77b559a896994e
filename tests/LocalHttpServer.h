#pragma once

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A small HTTP server on a free loopback port for the link check's tests and benchmark. Paths: /ok
// 200, /moved 301 to /ok, /missing 404, /error 500, /nohead 405 (/nohead501 501) to HEAD and 200 to
// GET, /slownohead so 200 ms late, /redirect/CODE?TO, /loop 302 to itself, /chain/N N redirects
// to /ok, /silent never answers. Every answer waits `delayMs`, so that requests overlap; the
// server counts what it was asked and the most requests it held at once.
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
        const QByteArray target = words.value(1);
        const QByteArray path = target.split('?').first();
        if (path == "/silent")
            return;
        mostHeld = std::max(mostHeld, ++held);
        QTimer::singleShot(m_delayMs + (path == "/slownohead" ? 200 : 0), socket, [this, socket, method, target] {
            --held;
            socket->write(answerTo(method, target));
            socket->disconnectFromHost();
        });
    }

    QByteArray answerTo(const QByteArray &method, const QByteArray &target) const
    {
        const QByteArray path = target.split('?').first();
        const QByteArray query = target.mid(path.size() + 1);
        QByteArray status = "404 Not Found";
        QByteArray extra;
        const auto redirect = [&](const QByteArray &code, const QByteArray &to) {
            status = code + " Redirect", extra = "Location: " + to + "\r\n";
        };
        if (path == "/ok" || path == "/chain/0")
            status = "200 OK";
        else if (path == "/moved")
            redirect("301", url(QStringLiteral("/ok")).toLatin1());
        else if (path.startsWith("/redirect/"))
            redirect(path.mid(10), QByteArray::fromPercentEncoding(query));
        else if (path == "/loop")
            redirect("302", path);
        else if (path.startsWith("/chain/"))
            redirect("302", "/chain/" + QByteArray::number(path.mid(7).toInt() - 1));
        else if (path == "/error")
            status = "500 Internal Server Error";
        else if (path == "/nohead" || path == "/slownohead")
            status = method == "HEAD" ? "405 Method Not Allowed" : "200 OK";
        else if (path == "/nohead501")
            status = method == "HEAD" ? "501 Not Implemented" : "200 OK";
        const QByteArray body = method == "HEAD" ? QByteArray() : QByteArray("body");
        return "HTTP/1.1 " + status + "\r\n" + extra + "Content-Length: " + QByteArray::number(body.size())
               + "\r\nConnection: close\r\n\r\n" + body;
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    int m_delayMs;
};
