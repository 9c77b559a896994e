#include "linkcheck/LinkChecker.h"

#include "tree/LinkTree.h"

#include <QFileInfo>
#include <QHostAddress>
#include <QHostInfo>
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
bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}
bool isPermanent(int status)
{
    return status == 301 || status == 308;
}
const char *const TimedOut = "vormikTimedOut";
const char *const Heard = "vormikHeard";
} // namespace

LinkChecker::LinkChecker(QObject *parent) : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    // Redirects are followed here, one by one, so that each can be judged.
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

LinkChecker::~LinkChecker()
{
    // Replies are the manager's children; they must not call back into a half-destroyed checker.
    for (QNetworkReply *reply : m_active)
        reply->disconnect(this);
}

bool LinkChecker::isInternalAddress(const QHostAddress &address)
{
    bool isV4 = false;
    const QHostAddress plain(address.toIPv4Address(&isV4));
    const QHostAddress &ip = isV4 ? plain : address;
    if (ip.isLoopback() || ip.isLinkLocal() || ip.isUniqueLocalUnicast() || ip.isSiteLocal() || ip.isNull()
        || ip == QHostAddress::AnyIPv4 || ip == QHostAddress::AnyIPv6)
        return true;
    for (const char *subnet : {"10.0.0.0/8", "172.16.0.0/12", "192.168.0.0/16", "100.64.0.0/10", "0.0.0.0/8"}) {
        if (ip.isInSubnet(QHostAddress::parseSubnet(QLatin1String(subnet))))
            return true;
    }
    return false;
}

int LinkChecker::brokenCount() const
{
    return static_cast<int>(std::ranges::count(m_results, true, &LinkCheckResult::broken));
}

int LinkChecker::movedCount() const
{
    return static_cast<int>(std::ranges::count_if(m_results, [](const auto &r) { return !r.movedTo.isEmpty(); }));
}

int LinkChecker::answeredCount() const
{
    return static_cast<int>(std::ranges::count_if(m_results, [](const auto &r) { return !r.answer.isEmpty(); }));
}

void LinkChecker::start(const LinkTree &tree, const QString &baseFolder, const QString &rootFolder,
                        const std::function<bool(const LinkNode *)> &only)
{
    if (m_running)
        cancel();
    ++m_generation;
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
        if (node->isGroup() || (only && !only(node)))
            continue;
        const LinkAddress::Target target = LinkAddress::classify(node->record().Href, baseFolder, rootFolder);
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
            Address address;
            address.url = address.asked = target.url;
            address.host = target.url.host().toLower();
            address.seen.insert(target.url);
            m_addresses.push_back(std::move(address));
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
    QTimer::singleShot(0, this, [this, generation = m_generation] {
        if (!m_running || generation != m_generation)
            return;
        emitFileAnswers();
        if (m_running)
            dispatch();
    });
}

void LinkChecker::emitFileAnswers()
{
    for (size_t i = 0; i < m_results.size() && m_running; ++i) {
        if (!m_results[i].answer.isEmpty())
            emit answered(static_cast<int>(i));
    }
}

void LinkChecker::dispatch()
{
    if (m_hostsWaiting.empty() && m_done == m_total) {
        finish(false);
        return;
    }
    // Round the hosts, one request each, until every slot is taken or no host can take one more.
    for (bool sent = true; sent;) {
        sent = false;
        for (auto host = m_hostsWaiting.begin();
             host != m_hostsWaiting.end() && static_cast<int>(m_active.size()) < DefaultMaxRequests;) {
            int &onHost = m_perHost[*host];
            if (onHost >= DefaultMaxPerHost) {
                ++host;
                continue;
            }
            ++onHost;
            std::deque<size_t> &queue = m_waiting[*host];
            const size_t address = queue.front();
            queue.pop_front();
            host = queue.empty() ? m_hostsWaiting.erase(host) : std::next(host);
            // One deadline for the address, however many requests and redirects it takes.
            Address &entry = m_addresses[address];
            entry.deadline = std::make_unique<QTimer>();
            entry.deadline->setSingleShot(true);
            connect(entry.deadline.get(), &QTimer::timeout, this, [this, address] {
                Address &late = m_addresses[address];
                if (late.reply) {
                    late.reply->setProperty(TimedOut, true);
                    late.reply->abort();
                } else {
                    answer(address, 0, QStringLiteral("タイムアウト"), true, {});
                }
            });
            entry.deadline->start(m_timeoutMs);
            send(address, false);
            sent = true;
        }
    }
    m_mostAtOnce = std::max(m_mostAtOnce, static_cast<int>(m_active.size()));
}

void LinkChecker::send(size_t address, bool get)
{
    QNetworkRequest request(m_addresses[address].asked);
    QNetworkReply *reply = get ? m_manager->get(request) : m_manager->head(request);
    m_addresses[address].reply = reply;
    m_active.push_back(reply);
    // The status and the headers are all a check needs; the body is not read.
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status > 0)
            reply->setProperty(Heard, status);
    });
    connect(reply, &QNetworkReply::readyRead, reply, [reply] {
        if (reply->property(Heard).isValid())
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, address, get] { replyDone(reply, address, get); });
}

void LinkChecker::replyDone(QNetworkReply *reply, size_t address, bool get)
{
    if (const auto it = std::find(m_active.begin(), m_active.end(), reply); it != m_active.end())
        m_active.erase(it);
    reply->deleteLater();
    if (!m_running || m_addresses[address].reply != reply)
        return;
    m_addresses[address].reply = nullptr;
    int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (const QVariant heard = reply->property(Heard); heard.isValid())
        status = heard.toInt();
    if (reply->property(TimedOut).toBool()) {
        answer(address, 0, QStringLiteral("タイムアウト"), true, {});
    } else if (!get && refusesHead(status)) {
        send(address, true);
    } else if (const QUrl location = QUrl::fromEncoded(reply->rawHeader("Location"));
               isRedirect(status) && !location.isEmpty() && location.isValid()) {
        redirect(address, status, reply->url().resolved(location).adjusted(QUrl::RemoveFragment));
    } else if (status > 0) {
        const QString reason = QString::fromLatin1(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
        const QString text = reason.isEmpty() ? QString::number(status) : QString::number(status) + QLatin1Char(' ') + reason;
        answer(address, status, text, status >= 400, reply->url());
    } else {
        answer(address, 0, reply->errorString(), true, {});
    }
}

void LinkChecker::redirect(size_t address, int status, const QUrl &target)
{
    Address &entry = m_addresses[address];
    const QString scheme = target.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        answer(address, status, QStringLiteral("リダイレクト先がWebのアドレスではありません（%1:）").arg(scheme), true, target);
        return;
    }
    if (entry.seen.contains(target)) {
        answer(address, status, QStringLiteral("リダイレクトが循環しています"), true, target);
        return;
    }
    if (entry.seen.size() > MaxRedirects) {
        answer(address, status, QStringLiteral("リダイレクトが多すぎます"), true, target);
        return;
    }
    entry.seen.insert(target);
    entry.permanentSoFar = entry.permanentSoFar && isPermanent(status);
    if (entry.permanentSoFar)
        entry.movedTo = target;
    const auto follow = [this, address, status, target](bool fromInternal) {
        classifyHost(target.host(), address, [this, address, status, target, fromInternal](bool toInternal) {
            if (toInternal && !fromInternal) {
                answer(address, status, QStringLiteral("内部のアドレスへのリダイレクトは追いません"), true, target);
                return;
            }
            m_addresses[address].asked = target;
            send(address, false);
        });
    };
    if (entry.internal >= 0) {
        follow(entry.internal == 1);
        return;
    }
    classifyHost(entry.host, address, [this, address, follow](bool internal) {
        m_addresses[address].internal = internal ? 1 : 0;
        follow(internal);
    });
}

void LinkChecker::classifyHost(const QString &host, size_t address, const std::function<void(bool)> &then)
{
    if (QHostAddress ip; ip.setAddress(host)) {
        then(m_isInternal(ip));
        return;
    }
    const QString name = host.toLower();
    if (name == QLatin1String("localhost") || name.endsWith(QLatin1String(".localhost"))) {
        then(true);
        return;
    }
    QHostInfo::lookupHost(host, this, [this, address, then, generation = m_generation](const QHostInfo &info) {
        if (!m_running || generation != m_generation || m_addresses[address].done)
            return;
        const QList<QHostAddress> found = info.addresses();
        then(std::any_of(found.begin(), found.end(), [this](const QHostAddress &ip) { return m_isInternal(ip); }));
    });
}

void LinkChecker::answer(size_t address, int status, const QString &text, bool broken, const QUrl &finalUrl)
{
    Address &asked = m_addresses[address];
    if (asked.done)
        return;
    asked.done = true;
    asked.deadline->stop();
    if (asked.reply)
        std::exchange(asked.reply, nullptr)->abort();
    --m_perHost[asked.host];
    const QString final = finalUrl.isValid() && finalUrl != asked.url ? finalUrl.toString() : QString();
    const QString movedTo = !broken && asked.movedTo.isValid() ? asked.movedTo.toString() : QString();
    for (const size_t link : asked.links) {
        LinkCheckResult &result = m_results[link];
        result.status = status;
        result.answer = movedTo.isEmpty() ? text : QStringLiteral("移動（恒久）→ ") + movedTo;
        result.broken = broken;
        result.finalAddress = final;
        result.movedTo = movedTo;
    }
    emit progress(++m_done, m_total);
    for (const size_t link : asked.links) {
        if (!m_running)
            return;
        emit answered(static_cast<int>(link));
    }
    if (m_running)
        dispatch();
}

void LinkChecker::cancel()
{
    if (m_running)
        finish(true);
}

void LinkChecker::finish(bool cancelled)
{
    m_running = false;
    m_waiting.clear();
    m_hostsWaiting.clear();
    for (Address &address : m_addresses) {
        if (address.deadline)
            address.deadline->stop();
        address.reply = nullptr;
    }
    const std::vector<QNetworkReply *> active = std::exchange(m_active, {});
    for (QNetworkReply *reply : active) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    emit finished(cancelled);
}
