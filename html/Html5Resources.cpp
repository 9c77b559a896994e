// Where the HTML5 page keeps its style and script: inline, with the hashes a Content-Security-
// Policy needs to allow them, or as files beside the page that a policy of 'self' allows.
#include "html/Html5Page.h"
#include "html/WrittenFiles.h"

#include "text/VormikError.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

namespace Html5Page {

namespace {

QString policySource(const char *directive, const QString &content)
{
    const QByteArray hash = QCryptographicHash::hash(content.toUtf8(), QCryptographicHash::Sha256).toBase64();
    return QStringLiteral("%1 'sha256-%2'").arg(QLatin1String(directive), QString::fromLatin1(hash));
}

// The file beside the page with the page's name and `suffix`, and its address relative to the page.
struct Companion
{
    QString path;
    QString address;
};

QString companionName(const QString &pagePath, const QString &suffix)
{
    return QFileInfo(pagePath).completeBaseName() + suffix;
}

Companion companion(const QString &pagePath, const QString &suffix)
{
    const QFileInfo page(pagePath);
    const QString name = companionName(pagePath, suffix);
    Companion file{page.dir().filePath(name), QString::fromLatin1(QUrl::toPercentEncoding(name))};
    if (QFileInfo(file.path).absoluteFilePath().compare(page.absoluteFilePath(), Qt::CaseInsensitive) == 0)
        throw VormikError(QStringLiteral("ページ %1 と同じ名前のファイルにスタイルやスクリプトは書けません")
                              .arg(QDir::toNativeSeparators(pagePath)));
    return file;
}

// A file's content after the mark that tells it for this program's own; the content starts a line.
QByteArray markedFile(const QString &content)
{
    return WrittenFiles::companionMark() + content.toUtf8();
}

} // namespace

QString codeResource(const QString &name)
{
    QFile resource(QStringLiteral(":/html5/") + name);
    if (!resource.open(QIODevice::ReadOnly))
        throw VormikError(QStringLiteral("ページの部品 %1 を読めません").arg(name));
    return QString::fromUtf8(resource.readAll());
}

QStringList companionPaths(const ExportSettings &settings)
{
    QStringList paths;
    if (settings.format != PageFormat::Html5 || !settings.separateFiles)
        return paths;
    const QDir folder = QFileInfo(settings.outputFileName).dir();
    if (settings.defaultStyleSheet)
        paths << folder.filePath(companionName(settings.outputFileName, QStringLiteral(".css")));
    if (settings.foldingScript)
        paths << folder.filePath(companionName(settings.outputFileName, QStringLiteral(".js")));
    return paths;
}

QString placeStyleAndScript(const QString &indexPrefix, const ExportSettings &settings, PageParts &system,
                            PageReport &report)
{
    const QString rules = settings.defaultStyleSheet ? styleRules(system.rootClassName, settings.fontName) : QString();
    const QString script = settings.foldingScript ? QStringLiteral("\n") + scriptText(indexPrefix) : QString();
    QString scriptElement;
    if (settings.separateFiles) {
        system.styleSheet.clear();
        if (!rules.isEmpty()) {
            const Companion css = companion(settings.outputFileName, QStringLiteral(".css"));
            system.styleSheet = QStringLiteral("<link rel=\"stylesheet\" href=\"%1\">").arg(css.address);
            report.companionFiles.emplace_back(css.path, markedFile(rules));
        }
        if (!script.isEmpty()) {
            const Companion js = companion(settings.outputFileName, QStringLiteral(".js"));
            scriptElement = QStringLiteral("<script src=\"%1\"></script>").arg(js.address);
            report.companionFiles.emplace_back(js.path, markedFile(script));
        }
        return scriptElement;
    }
    system.styleSheet = rules.isEmpty() ? QString() : QStringLiteral("<style>") + rules + QStringLiteral("</style>");
    if (!rules.isEmpty())
        report.policySources << policySource("style-src", rules);
    if (!script.isEmpty()) {
        report.policySources << policySource("script-src", script);
        scriptElement = QStringLiteral("<script>") + script + QStringLiteral("</script>");
    }
    return scriptElement;
}

} // namespace Html5Page
