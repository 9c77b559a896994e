// The HTML5 pages in the tools a web author trusts: the Nu Html Checker must find no error and no
// warning, and in headless Chromium axe-core must find no WCAG 2.1 A or AA violation while the
// groups fold as they should (tools/web-checks/check-pages.mjs does the browser's part).
#include "Html5Pages.h"
#include "RequiredTool.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString WebChecks = QStringLiteral(VORMIK_SOURCE_DIR "/tools/web-checks");

// The policy a strict site serves: files from the site only, or the inline code with the hashes
// the export reported.
QString strictPolicy(const ExportSettings &settings, const PageReport &report)
{
    const QStringList sources = settings.separateFiles
        ? QStringList{QStringLiteral("script-src 'self'"), QStringLiteral("style-src 'self'")}
        : report.policySources;
    return (QStringList{QStringLiteral("default-src 'self'")} + sources).join(QStringLiteral("; "));
}

// Writes every page into `dir`; returns their paths in the order of html5Cases(), and fills
// `policies` with the Content-Security-Policy each is served with (empty for none).
QStringList writePages(const QTemporaryDir &dir, QStringList *policies = nullptr)
{
    QStringList paths;
    for (Html5Case page : html5Cases()) {
        LinkTree tree;
        page.build(tree);
        page.settings.outputFileName = dir.filePath(page.name + QStringLiteral(".html"));
        const PageGenerator::Page result = PageGenerator::exportPage(tree, page.settings);
        paths << page.settings.outputFileName;
        if (policies)
            *policies << (page.strictPolicy ? strictPolicy(page.settings, result.report) : QString());
    }
    return paths;
}

QString run(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(300000))
        process.kill();
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    if (*exitCode != 0)
        qWarning().noquote() << errors.left(4000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestHtml5Web : public QObject
{
    Q_OBJECT

private slots:
    void nuHtmlCheckerFindsNothing()
    {
        const QString java = QStandardPaths::findExecutable(QStringLiteral("java"));
        const QString vnu = WebChecks + QStringLiteral("/node_modules/vnu-jar/build/dist/vnu.jar");
        if (!have(java, "java") || !have(vnu, "vnu.jar"))
            return;
        QTemporaryDir dir;
        const QStringList pages = writePages(dir);

        int exitCode = -1;
        const QString output = run(java, QStringList{QStringLiteral("-jar"), vnu, QStringLiteral("--format"),
                                                     QStringLiteral("json"), QStringLiteral("--stdout")} + pages,
                                   &exitCode);
        const QJsonObject report = QJsonDocument::fromJson(output.toUtf8()).object();
        QVERIFY2(report.contains(QStringLiteral("messages")), qPrintable(output.left(2000)));
        QStringList faults;
        for (const QJsonValue &value : report.value(QStringLiteral("messages")).toArray()) {
            const QJsonObject message = value.toObject();
            const QString type = message.value(QStringLiteral("type")).toString();
            if (type == QStringLiteral("info") && message.value(QStringLiteral("subType")).toString() != QStringLiteral("warning"))
                continue;
            faults << QStringLiteral("%1:%2: %3: %4")
                          .arg(QFileInfo(message.value(QStringLiteral("url")).toString()).fileName())
                          .arg(message.value(QStringLiteral("lastLine")).toInt())
                          .arg(type, message.value(QStringLiteral("message")).toString());
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        QCOMPARE(exitCode, 0);
    }

    void accessibleAndFoldingInChromium()
    {
        const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
        const QString chromium = QStringLiteral("/usr/bin/chromium");
        if (!have(node, "node") || !have(chromium, "chromium")
            || !have(WebChecks + QStringLiteral("/node_modules/playwright-core"), "playwright-core")
            || !have(WebChecks + QStringLiteral("/node_modules/axe-core"), "axe-core"))
            return;
        QTemporaryDir dir;
        QStringList policies;
        const QStringList pages = writePages(dir, &policies);

        QJsonArray plan;
        const QList<Html5Case> cases = html5Cases();
        for (qsizetype i = 0; i < cases.size(); ++i) {
            const Html5Case &page = cases.at(i);
            LinkTree tree;
            page.build(tree);
            int groups = 0;
            QJsonArray names;
            for (const LinkNode *n : tree.nodes()) {
                groups += n->isGroup() ? 1 : 0;
                names << n->text();
            }
            const bool font = page.settings.defaultStyleSheet && !page.settings.fontName.isEmpty();
            plan << QJsonObject{{QStringLiteral("file"), pages.at(i)},
                                {QStringLiteral("folding"), page.settings.foldingScript},
                                {QStringLiteral("styled"), page.settings.defaultStyleSheet},
                                {QStringLiteral("groups"), groups},
                                {QStringLiteral("current"), page.current.isEmpty() ? QJsonValue() : page.current},
                                {QStringLiteral("font"), font ? page.settings.fontName : QJsonValue()},
                                {QStringLiteral("names"), names},
                                {QStringLiteral("addresses"), QJsonArray::fromStringList(page.addresses)},
                                {QStringLiteral("frames"), page.frames},
                                {QStringLiteral("reflow"), page.reflow},
                                {QStringLiteral("policy"), policies.at(i).isEmpty() ? QJsonValue() : policies.at(i)}};
        }
        QFile planFile(dir.filePath(QStringLiteral("plan.json")));
        QVERIFY(planFile.open(QIODevice::WriteOnly));
        planFile.write(QJsonDocument(plan).toJson());
        planFile.close();

        int exitCode = -1;
        const QString output = run(node, {WebChecks + QStringLiteral("/check-pages.mjs"), planFile.fileName()}, &exitCode);
        QCOMPARE(exitCode, 0);
        const QJsonArray results = QJsonDocument::fromJson(output.toUtf8()).array();
        QCOMPARE(results.size(), plan.size());
        QStringList faults;
        for (const QJsonValue &result : results) {
            const QString page = QFileInfo(result[QStringLiteral("file")].toString()).fileName();
            for (const QJsonValue &fault : result[QStringLiteral("faults")].toArray())
                faults << page + QStringLiteral(": ") + fault.toString();
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_GUILESS_MAIN(TestHtml5Web)
#include "tst_html5web.moc"
