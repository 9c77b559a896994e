// The exported page in a real browser: headless Chromium loads it next to a small harness page
// that clicks a group heading twice and writes what it saw into its own DOM.
#include "html/PageGenerator.h"
#include "import/ImportFile.h"
#include "tree/LinkTree.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const char Harness[] = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>harness</title></head>
<body>
<pre id="result">pending</pre>
<pre id="loads">0</pre>
<iframe id="page" src="menu.htm"></iframe>
<script>
var loads = 0;
var frame = document.getElementById('page');
frame.addEventListener('load', function () {
  loads += 1;
  document.getElementById('loads').textContent = String(loads);
  if (loads !== 1) return;
  var doc = frame.contentDocument;
  var view = frame.contentWindow;
  var shown = function (el) { return view.getComputedStyle(el).display; };
  var out = {};
  var blocks = Array.prototype.slice.call(doc.querySelectorAll('div[id^="group-"]'));
  out.blocks = blocks.length;
  out.hiddenAfterLoad = blocks.filter(function (b) { return shown(b) === 'none'; }).length;
  var heading = doc.querySelector('a[onclick*="group-0-0"]');
  var block = doc.getElementById('group-0-0');
  heading.click();
  out.afterFirstClick = shown(block);
  out.innerAfterFirstClick = shown(doc.getElementById('group-1-0'));
  heading.click();
  out.afterSecondClick = shown(block);
  out.charset = doc.characterSet;
  out.rootFont = view.getComputedStyle(doc.querySelector('body > div')).fontFamily;
  out.texts = Array.prototype.map.call(doc.querySelectorAll('div.tree > div, div.tree div div'),
                                       function (d) { return d.textContent; });
  document.getElementById('result').textContent = JSON.stringify(out);
});
</script>
</body></html>
)";

// Writes each page into a frame whose dialogs it records instead of showing, then moves the
// pointer over every element and focuses it. A page of its own shows that a dialog is seen.
const char DialogHarness[] = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>harness</title></head><body><pre id="result">pending</pre>
<script>
const settle = () => new Promise((done) => setTimeout(done, 300));
async function dialogsOf(text) {
  const frame = document.body.appendChild(document.createElement('iframe')), doc = frame.contentDocument, seen = [];
  doc.open();
  for (const name of ['alert', 'confirm', 'prompt', 'print']) frame.contentWindow[name] = (t) => seen.push(name + ' ' + t);
  doc.write(text), doc.close(), await settle();
  for (const el of doc.querySelectorAll('*'))
    for (const type of ['mouseover', 'mouseenter', 'mousemove', 'focus', 'focusin']) el.dispatchEvent(new MouseEvent(type, { bubbles: true }));
  await settle();
  return seen;
}
const page = async (file, encoding) => new TextDecoder(encoding).decode(await (await fetch(file)).arrayBuffer());
(async () => document.getElementById('result').textContent = JSON.stringify({ control: await dialogsOf('<img src=x onerror=alert(0)>'),
  classic: await dialogsOf(await page('menu.htm', 'shift_jis')), html5: await dialogsOf(await page('menu.html', 'utf-8')) }))();
</script></body></html>
)";

QString chromium()
{
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    return onPath.isEmpty() && QFile::exists(QStringLiteral("/usr/bin/chromium")) ? QStringLiteral("/usr/bin/chromium")
                                                                                  : onPath;
}

// The tree every check opens: two nested groups with CP932 texts, and a top-level link.
void buildTree(LinkTree &tree)
{
    LinkNode *docs = tree.appendGroup(nullptr, QStringLiteral("資料①"));
    tree.appendLink(docs, QStringLiteral("案内～はこちら"))->record().Href = QStringLiteral("guide.html");
    LinkNode *inner = tree.appendGroup(docs, QStringLiteral("下位"));
    tree.appendLink(inner, QStringLiteral("髙橋"))->record().Href = QStringLiteral("t.html");
    tree.appendLink(nullptr, QStringLiteral("ニュース"))->record().Href = QStringLiteral("news.html");
}

ExportSettings defaultSettings()
{
    ExportSettings settings;
    settings.groupMark = QStringLiteral("□");
    return settings;
}

// A family name as the computed style gives it, without the quotes the browser may add.
QString unquoted(QString family)
{
    if (family.size() >= 2 && family.startsWith(QLatin1Char('"')) && family.endsWith(QLatin1Char('"')))
        family = family.mid(1, family.size() - 2);
    return family;
}

} // namespace

class TestPageBrowser : public QObject
{
    Q_OBJECT

private slots:
    void foldingWorksInChromium()
    {
        const QJsonObject result = openInChromium(defaultSettings());
        if (result.isEmpty())
            return;

        QCOMPARE(result.value(QStringLiteral("blocks")).toInt(), 2);
        QCOMPARE(result.value(QStringLiteral("hiddenAfterLoad")).toInt(), 2);
        QCOMPARE(result.value(QStringLiteral("afterFirstClick")).toString(), QStringLiteral("block"));
        QCOMPARE(result.value(QStringLiteral("innerAfterFirstClick")).toString(), QStringLiteral("none"));
        QCOMPARE(result.value(QStringLiteral("afterSecondClick")).toString(), QStringLiteral("none"));
        QCOMPARE(result.value(QStringLiteral("charset")).toString(), QStringLiteral("Shift_JIS"));
        // The heading's link is not followed while the script runs.
        QCOMPARE(result.value(QStringLiteral("loads")).toString(), QStringLiteral("1"));

        QStringList texts;
        for (const QJsonValue &text : result.value(QStringLiteral("texts")).toArray())
            texts << text.toString();
        QVERIFY2(texts.contains(QStringLiteral("□資料①")), qPrintable(texts.join(QLatin1Char('|'))));
        QVERIFY(texts.contains(QStringLiteral("├案内～はこちら")));
        QVERIFY(texts.contains(QStringLiteral("└□下位")));
        QVERIFY(texts.contains(QStringLiteral("　└髙橋")));
        QVERIFY(texts.contains(QStringLiteral("ニュース")));
    }

    // Characters Shift_JIS lacks, the yen sign and the overline are written as references in
    // the page's text, which a script or style element does not read.
    void groupClassOutsideShiftJisStillFolds()
    {
        ExportSettings settings = defaultSettings();
        settings.classNameEntry = QStringLiteral("menü¥‾😀");
        const QJsonObject result = openInChromium(settings);
        if (result.isEmpty())
            return;
        QCOMPARE(result.value(QStringLiteral("blocks")).toInt(), 2);
        QCOMPARE(result.value(QStringLiteral("hiddenAfterLoad")).toInt(), 2);
        QCOMPARE(result.value(QStringLiteral("afterFirstClick")).toString(), QStringLiteral("block"));
    }

    void fontOutsideShiftJisIsNamedAsGiven()
    {
        ExportSettings settings = defaultSettings();
        settings.fontName = QStringLiteral("Fönt¥‾𠮷 ゴシック");
        const QJsonObject result = openInChromium(settings);
        if (result.isEmpty())
            return;
        QCOMPARE(unquoted(result.value(QStringLiteral("rootFont")).toString()), settings.fontName);
    }

    // Bookmarks anyone can plant, imported and exported as both pages: nothing runs, with the
    // pointer over them or not.
    void hostileBookmarksRunNothing()
    {
        const ImportResult imported = Import::readFile(QStringLiteral(VORMIK_TEST_DATA "/import/hostile-bookmarks.html"));
        QTemporaryDir dir;
        for (const auto &[format, name] : {std::pair{PageFormat::Classic, "menu.htm"}, std::pair{PageFormat::Html5, "menu.html"}}) {
            ExportSettings settings = defaultSettings();
            settings.format = format;
            settings.outputFileName = dir.filePath(QLatin1String(name));
            PageGenerator::exportPage(*imported.tree, settings);
        }
        QString dom;
        dumpDom(dir, QByteArray(DialogHarness), dom);
        if (dom.isEmpty())
            return;
        const QJsonObject seen = resultOf(dom);
        QVERIFY2(!seen.value(QStringLiteral("control")).toArray().isEmpty(), qPrintable(dom.left(2000)));
        QCOMPARE(seen.value(QStringLiteral("classic")).toArray(), QJsonArray());
        QCOMPARE(seen.value(QStringLiteral("html5")).toArray(), QJsonArray());
    }

private:
    // Exports the test tree with `settings`, opens it in the harness and returns what the harness
    // saw; an empty object when the test was skipped or has failed.
    QJsonObject openInChromium(ExportSettings settings)
    {
        QJsonObject result;
        exportAndOpen(settings, result);
        return result;
    }

    void exportAndOpen(ExportSettings &settings, QJsonObject &result)
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        LinkTree tree;
        buildTree(tree);
        settings.outputFileName = dir.filePath(QStringLiteral("menu.htm"));
        PageGenerator::exportPage(tree, settings);
        QString dom;
        dumpDom(dir, QByteArray(Harness), dom);
        if (dom.isEmpty())
            return;
        result = resultOf(dom);
        QVERIFY2(!result.isEmpty(), qPrintable(dom.left(2000)));
        const QRegularExpression loadsPattern(QStringLiteral("<pre id=\"loads\">(\\d+)</pre>"));
        result.insert(QStringLiteral("loads"), loadsPattern.match(dom).captured(1));
    }

    // The JSON a harness left in its <pre id="result">.
    static QJsonObject resultOf(const QString &dom)
    {
        const QRegularExpression resultPattern(QStringLiteral("<pre id=\"result\">(.*?)</pre>"),
                                               QRegularExpression::DotMatchesEverythingOption);
        QString json = resultPattern.match(dom).captured(1);
        json.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        return QJsonDocument::fromJson(json.toUtf8()).object();
    }

    // Writes `harness` into `dir` as harness.html, serves the folder on loopback and gives the DOM
    // headless Chromium leaves of it; `dom` stays empty when the test was skipped or has failed.
    void dumpDom(const QTemporaryDir &dir, const QByteArray &harness, QString &dom)
    {
        const QString browser = chromium();
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (browser.isEmpty() || python.isEmpty()) {
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("chromium and python3 are needed for this test in CI");
            QSKIP("chromium or python3 is not installed");
        }
        QFile harnessFile(dir.filePath(QStringLiteral("harness.html")));
        QVERIFY(harnessFile.open(QIODevice::WriteOnly));
        harnessFile.write(harness);
        harnessFile.close();

        // A loopback-only server on a port the system picks; it says which on its first line.
        QProcess server;
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(python, {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"),
                              QStringLiteral("0"), QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                              QStringLiteral("--directory"), dir.path()});
        QVERIFY(server.waitForStarted(10000));
        QString banner;
        const QRegularExpression portPattern(QStringLiteral("port (\\d+)"));
        while (!portPattern.match(banner).hasMatch() && server.waitForReadyRead(10000))
            banner += QString::fromUtf8(server.readAll());
        const QString port = portPattern.match(banner).captured(1);
        QVERIFY2(!port.isEmpty(), qPrintable(banner));

        QProcess browserRun;
        browserRun.start(browser, {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                                   QStringLiteral("--disable-gpu"), QStringLiteral("--disable-dev-shm-usage"),
                                   QStringLiteral("--disable-background-networking"),
                                   QStringLiteral("--disable-component-update"), QStringLiteral("--disable-sync"),
                                   QStringLiteral("--no-first-run"), QStringLiteral("--disable-quic"),
                                   QStringLiteral("--user-data-dir=") + dir.filePath(QStringLiteral("profile")),
                                   QStringLiteral("--virtual-time-budget=5000"), QStringLiteral("--dump-dom"),
                                   QStringLiteral("http://127.0.0.1:%1/harness.html").arg(port)});
        const bool finished = browserRun.waitForFinished(45000);
        if (!finished)
            browserRun.kill();
        server.kill();
        server.waitForFinished(5000);
        QVERIFY2(finished, "chromium did not finish");
        dom = QString::fromUtf8(browserRun.readAllStandardOutput());
        QVERIFY2(!dom.isEmpty(), qPrintable(QString::fromUtf8(browserRun.readAllStandardError()).left(2000)));
    }
};

QTEST_GUILESS_MAIN(TestPageBrowser)
#include "tst_pagebrowser.moc"
