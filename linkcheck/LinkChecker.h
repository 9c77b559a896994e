#pragma once

#include "linkcheck/LinkAddress.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>

#include <QSet>

#include <algorithm>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <vector>

class LinkNode;
class LinkTree;
class QHostAddress;
class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

// The answer for one link.
struct LinkCheckResult
{
    const LinkNode *node = nullptr; // as it was when the check started
    int row = -1;                   // the node's absolute index then
    QString address;                // the node's address
    QString finalAddress;           // where redirects led; empty when there were none
    int status = 0;                 // the HTTP status, 0 for a file or when no answer came
    QString answer;                 // what a person reads: "200 OK", "404 Not Found", "ファイルがありません" ...;
                                    // empty while the address has no answer yet
    bool broken = false;
    QString movedTo;                // where a permanent redirect (301, 308) says the link now lives
};

// Checks every link's address of a tree: files on disk at once, web addresses with HEAD (GET
// where a server refuses HEAD), a few at a time, each address asked once however many links
// share it. Runs in the event loop; the tree is read only in start().
class LinkChecker : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultTimeoutMs = 10000;
    static constexpr int DefaultMaxRequests = 8;
    static constexpr int DefaultMaxPerHost = 2;

    explicit LinkChecker(QObject *parent = nullptr);
    ~LinkChecker() override;

    // How long one address may take, whatever requests its answer needs.
    void setTimeout(int milliseconds) { m_timeoutMs = std::max(1, milliseconds); }
    // Whether an address is one of this machine or of its network (loopback, link-local,
    // private); a public address redirecting to such an address is not followed.
    using InternalTest = std::function<bool(const QHostAddress &)>;
    void setInternalTest(InternalTest test) { m_isInternal = std::move(test); }
    static bool isInternalAddress(const QHostAddress &address);

    // Starts a check of every link (not group) of `tree`, or of those `only` accepts; a relative
    // address is a file under `baseFolder`, a root-relative one under `rootFolder` (the base
    // folder when empty). A check already running is cancelled first.
    void start(const LinkTree &tree, const QString &baseFolder, const QString &rootFolder = {},
               const std::function<bool(const LinkNode *)> &only = {});
    // Stops at once: requests under way are dropped, finished() follows with cancelled true.
    void cancel();
    bool isRunning() const { return m_running; }

    // One result per link checked, in absolute order once finished.
    // A result's answer is empty when the check was cancelled before its address had one.
    const std::vector<LinkCheckResult> &results() const { return m_results; }
    int brokenCount() const;
    int movedCount() const;
    int answeredCount() const;
    // How many links were not checked, by reason.
    const std::map<LinkAddress::SkipReason, int> &skipped() const { return m_skipped; }
    // The most requests that were ever under way at once.
    int mostAtOnce() const { return m_mostAtOnce; }

signals:
    // `done` of `total` distinct addresses have their answer.
    void progress(int done, int total);
    // results()[index] has its answer.
    void answered(int index);
    void finished(bool cancelled);

private:
    struct Address
    {
        QUrl url;
        QString host;
        std::vector<size_t> links; // indexes into m_results
        QUrl asked;                // the address asked now, after the redirects so far
        QSet<QUrl> seen;           // every address of its redirects
        QUrl movedTo;              // the end of the permanent redirects it began with
        bool permanentSoFar = true;
        int internal = -1;         // whether `url` is an internal address: -1 not known yet
        QNetworkReply *reply = nullptr;
        std::unique_ptr<QTimer> deadline;
        bool done = false;
    };

    void dispatch();
    void send(size_t address, bool get);
    void replyDone(QNetworkReply *reply, size_t address, bool get);
    void redirect(size_t address, int status, const QUrl &target);
    // Calls `then` with whether `host` is internal, at once or once it is looked up.
    void classifyHost(const QString &host, size_t address, const std::function<void(bool)> &then);
    void answer(size_t address, int status, const QString &text, bool broken, const QUrl &finalUrl);
    void emitFileAnswers();
    void finish(bool cancelled);

    QNetworkAccessManager *m_manager;
    int m_timeoutMs = DefaultTimeoutMs;
    InternalTest m_isInternal = isInternalAddress;
    bool m_running = false;
    quint64 m_generation = 0; // tells a late host lookup from an earlier check
    std::vector<LinkCheckResult> m_results;
    std::map<LinkAddress::SkipReason, int> m_skipped;
    std::vector<Address> m_addresses;
    // Addresses not yet asked, by host, and the hosts that have any, in the order first met. A host
    // is full with DefaultMaxPerHost requests under way; at most DefaultMaxRequests / DefaultMaxPerHost hosts
    // can be, so a dispatch passes over a few hosts at most, however many addresses wait.
    QHash<QString, std::deque<size_t>> m_waiting;
    std::list<QString> m_hostsWaiting;
    QHash<QString, int> m_perHost;
    std::vector<QNetworkReply *> m_active;
    int m_total = 0;
    int m_done = 0;
    int m_mostAtOnce = 0;
};
