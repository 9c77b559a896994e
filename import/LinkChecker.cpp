#include "import/LinkChecker.h"

#include "tree/LinkTree.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <algorithm>

namespace {
constexpr int MaxRedirects = 10;
// A server that refuses HEAD says so with one of these; GET is then asked instead.
bool refusesHead(int status)
{
    return status == 405 || status == 501;
}
const char *const TimedOut = "vormikTimedOut";
} // namespace

LinkChecker::LinkChecker(QObject *parent) : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

LinkChecker::~LinkChecker()
{
    // Replies are the manager's children; they must not call back into a half-destroyed checker.
    for (QNetworkReply *reply : m_active)
        reply->disconnect(this);
}

void LinkChecker::setLimits(int maxRequests, int maxPerHost)
{
    m_maxRequests = std::max(1, maxRequests);
    m_maxPerHost = std::max(1, maxPerHost);
}

int LinkChecker::brokenCount() const
{
    return static_cast<int>(std::count_if(m_results.begin(), m_results.end(),
                                          [](const LinkCheckResult &r) { return r.broken; }));
}

void LinkChecker::start(const LinkTree &tree, const QString &baseFolder)
{
    if (m_running)
        cancel();
    m_results.clear();
    m_skipped.clear();
    m_addresses.clear();
    m_waiting.clear();
    m_hostsWaiting.clear();
    m_perHost.clear();
    m_done = 0;
    m_mostAtOnce = 0;
    QHash<QString, size_t> known; // a web address to its entry in m_addresses
    const std::vector<LinkNode *> &nodes = tree.nodes();
    for (size_t row = 0; row < nodes.size(); ++row) {
        const LinkNode *node = nodes[row];
        if (node->isGroup())
            continue;
        const LinkAddress::Target target = LinkAddress::classify(node->record().Href, baseFolder);
        if (target.kind == LinkAddress::Kind::Skipped) {
            ++m_skipped[target.reason];
            continue;
        }
        LinkCheckResult result;
        result.node = node;
        result.row = static_cast<int>(row);
        result.address = node->record().Href;
        if (target.kind == LinkAddress::Kind::File) {
            result.broken = !QFileInfo::exists(target.path);
            result.answer = result.broken ? QStringLiteral("ファイルがありません") : QStringLiteral("ファイルあり");
            m_results.push_back(result);
            continue;
        }
        const QString key = target.url.toString(QUrl::FullyEncoded);
        auto it = known.constFind(key);
        if (it == known.constEnd()) {
            it = known.insert(key, m_addresses.size());
            m_addresses.push_back({target.url, target.url.host().toLower(), {}});
        }
        m_addresses[*it].links.push_back(m_results.size());
        m_results.push_back(result);
    }
    m_total = static_cast<int>(m_addresses.size());
    for (size_t i = 0; i < m_addresses.size(); ++i) {
        std::deque<size_t> &queue = m_waiting[m_addresses[i].host];
        if (queue.empty())
            m_hostsWaiting.push_back(m_addresses[i].host);
        queue.push_back(i);
    }
    m_running = true;
    emit progress(0, m_total);
    // Answers come from the event loop, so a caller connects to finished() after start().
    QTimer::singleShot(0, this, [this] {
        if (m_running)
            dispatch();
    });
}

void LinkChecker::dispatch()
{
    if (m_hostsWaiting.empty() && m_active.empty()) {
        finish(false);
        return;
    }
    // Round the hosts, one request each, until every slot is taken or no host can take one more.
    for (bool sent = true; sent;) {
        sent = false;
        for (auto host = m_hostsWaiting.begin();
             host != m_hostsWaiting.end() && static_cast<int>(m_active.size()) < m_maxRequests;) {
            int &onHost = m_perHost[*host];
            if (onHost >= m_maxPerHost) {
                ++host;
                continue;
            }
            ++onHost;
            std::deque<size_t> &queue = m_waiting[*host];
            const size_t address = queue.front();
            queue.pop_front();
            host = queue.empty() ? m_hostsWaiting.erase(host) : std::next(host);
            send(address, false);
            sent = true;
        }
    }
    m_mostAtOnce = std::max(m_mostAtOnce, static_cast<int>(m_active.size()));
}

void LinkChecker::send(size_t address, bool get)
{
    QNetworkRequest request(m_addresses[address].url);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    QNetworkReply *reply = get ? m_manager->get(request) : m_manager->head(request);
    m_active.push_back(reply);
    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [reply] {
        reply->setProperty(TimedOut, true);
        reply->abort();
    });
    timer->start(m_timeoutMs);
    if (get) {
        // The status is all a check needs; the body is not read.
        connect(reply, &QNetworkReply::metaDataChanged, reply, [reply] {
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            if (status > 0 && (status < 300 || status >= 400))
                reply->setProperty("vormikHeard", status);
        });
        connect(reply, &QNetworkReply::readyRead, reply, [reply] {
            if (reply->property("vormikHeard").isValid())
                reply->abort();
        });
    }
    connect(reply, &QNetworkReply::finished, this, [this, reply, address, get] { replyDone(reply, address, get); });
}

void LinkChecker::replyDone(QNetworkReply *reply, size_t address, bool get)
{
    if (const auto it = std::find(m_active.begin(), m_active.end(), reply); it != m_active.end())
        m_active.erase(it);
    reply->deleteLater();
    if (!m_running)
        return;
    int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (const QVariant heard = reply->property("vormikHeard"); heard.isValid())
        status = heard.toInt();
    if (!get && refusesHead(status)) {
        send(address, true);
        return;
    }
    --m_perHost[m_addresses[address].host];
    const QUrl finalUrl = reply->url();
    if (reply->property(TimedOut).toBool()) {
        answer(address, 0, QStringLiteral("タイムアウト"), true, {});
    } else if (status > 0) {
        const QString reason = QString::fromLatin1(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
        const QString text = reason.isEmpty() ? QString::number(status) : QString::number(status) + QLatin1Char(' ') + reason;
        answer(address, status, text, status >= 400, finalUrl);
    } else {
        answer(address, 0, reply->errorString(), true, {});
    }
    dispatch();
}

void LinkChecker::answer(size_t address, int status, const QString &text, bool broken, const QUrl &finalUrl)
{
    const Address &asked = m_addresses[address];
    const QString final = finalUrl.isValid() && finalUrl != asked.url ? finalUrl.toString() : QString();
    for (const size_t link : asked.links) {
        LinkCheckResult &result = m_results[link];
        result.status = status;
        result.answer = text;
        result.broken = broken;
        result.finalAddress = final;
    }
    emit progress(++m_done, m_total);
}

void LinkChecker::cancel()
{
    if (!m_running)
        return;
    finish(true);
}

void LinkChecker::finish(bool cancelled)
{
    m_running = false;
    m_waiting.clear();
    m_hostsWaiting.clear();
    const std::vector<QNetworkReply *> active = std::exchange(m_active, {});
    for (QNetworkReply *reply : active) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    emit finished(cancelled);
}
