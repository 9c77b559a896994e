#pragma once

#include "app/preview/PreviewBuild.h"

#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlSchemeHandler>

// The preview's own address space: its pages come from memory, and nothing else reaches the engine.
namespace PreviewScheme {

inline const QByteArray Name = QByteArrayLiteral("vormik-preview");

// Makes the scheme known to the engine; it must run before the application object is made.
void registerScheme();

// The address of file `name` of page number `serial`.
QUrl address(int serial, const QString &name);

} // namespace PreviewScheme

// Serves the files of the page now shown; any other address is not found.
class PreviewFiles : public QWebEngineUrlSchemeHandler
{
    Q_OBJECT

public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void setFiles(int serial, PreviewBuild::Files files);
    void requestStarted(QWebEngineUrlRequestJob *job) override;

private:
    int m_serial = 0;
    PreviewBuild::Files m_files;
};

// Blocks every request that is not for the preview's own files, so no page shown ever reaches the network.
class PreviewRequestGuard : public QWebEngineUrlRequestInterceptor
{
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
};

// A page that loads only what the preview asks it to and tells which anchor the user clicked.
class PreviewWebPage : public QWebEnginePage
{
    Q_OBJECT

public:
    using QWebEnginePage::QWebEnginePage;
    // The one address the page may go to next (and any fragment of it).
    void allow(const QUrl &url) { m_allowed = url; }
    // What the injected script writes to the console when an anchor is clicked: this, then its number.
    static inline const QString PickMark = QStringLiteral("vormik-preview-pick:");

signals:
    void anchorClicked(int anchor);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message, int line,
                                  const QString &source) override;

private:
    QUrl m_allowed;
};
