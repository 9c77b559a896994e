#include "app/preview/PreviewScheme.h"

#include <QBuffer>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace PreviewScheme {

void registerScheme()
{
    QWebEngineUrlScheme scheme(Name);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl address(int serial, const QString &name)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(Name));
    url.setHost(QStringLiteral("page"));
    url.setPath(QStringLiteral("/%1/%2").arg(serial).arg(name));
    return url;
}

} // namespace PreviewScheme

void PreviewFiles::setFiles(int serial, PreviewBuild::Files files)
{
    m_serial = serial;
    m_files = std::move(files);
}

void PreviewFiles::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QString path = job->requestUrl().path();
    const QString prefix = QStringLiteral("/%1/").arg(m_serial);
    const QString name = path.startsWith(prefix) ? path.mid(prefix.size()) : QString();
    const auto found = m_files.files.constFind(name);
    if (found == m_files.files.constEnd()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QByteArray type = name == m_files.pageName ? m_files.pageType
                      : name.endsWith(QLatin1String(".css")) ? QByteArrayLiteral("text/css;charset=UTF-8")
                                                             : QByteArrayLiteral("text/javascript;charset=UTF-8");
    auto *content = new QBuffer(job);
    content->setData(*found);
    job->reply(type, content);
}

void PreviewRequestGuard::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (info.requestUrl().scheme() != QLatin1String(PreviewScheme::Name))
        info.block(true);
}

bool PreviewWebPage::acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame)
{
    return isMainFrame && url.adjusted(QUrl::RemoveFragment) == m_allowed;
}

void PreviewWebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int,
                                              const QString &)
{
    bool number = false;
    const int anchor = message.startsWith(PickMark) ? message.mid(PickMark.size()).toInt(&number) : -1;
    if (number)
        emit anchorClicked(anchor);
}
