// The preview pane with the real engine: it follows the tree, keeps what the user opened, and
// never lets the page reach out.
#include "TreeEdits.h"
#include "app/editing/LinkTreeModel.h"
#include "app/window/MainWindow.h"
#include "app/preview/PreviewPane.h"
#include "app/preview/PreviewScheme.h"

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>

#include <memory>

namespace {

QVariant evaluate(const PreviewPane &pane, const QString &script)
{
    QVariant result;
    bool done = false;
    pane.findChild<QWebEnginePage *>()->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    if (!QTest::qWaitFor([&] { return done; }, 10000))
        qWarning("no answer from the page to %s", qPrintable(script));
    return result;
}

LinkAttr linkTo(const QString &address)
{
    LinkAttr fields;
    fields.Href = address;
    return fields;
}

// Shows `pane` with the page of `format` and waits for the first page.
bool showFormat(PreviewPane &pane, int format)
{
    pane.setOutputSource([format] {
        ExportSettings settings;
        settings.format = PageFormat(format);
        return PreviewBuild::Output(settings);
    });
    QSignalSpy shown(&pane, &PreviewPane::pageShown);
    pane.resize(400, 300);
    pane.show();
    return shown.wait(30000);
}

} // namespace

class TestPreview : public QObject
{
    Q_OBJECT

    enum Edit { RenameLink, RenameGroup, Insert, TakeClass };

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
    }

    // A rename shows, and the group the user opened stays open though a group added before it
    // numbers the groups anew; one closed stays closed.
    void followsEditsKeepingOpenGroups_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("open");   // the user's way of opening the group with this id
        QTest::addColumn<QString>("isOpen"); // whether the group of this id is open
        QTest::newRow("HTML5") << int(PageFormat::Html5)
                               << "document.getElementById('%1').querySelector('summary').click()"
                               << "document.getElementById('%1').querySelector('details').open";
        QTest::newRow("classic") << int(PageFormat::Classic)
                                 << "document.querySelector('a[onclick*=\"%1\"]').click()"
                                 << "document.getElementById('%1').style.display === 'block'";
    }
    void followsEditsKeepingOpenGroups()
    {
        QFETCH(int, format);
        QFETCH(QString, open);
        QFETCH(QString, isOpen);
        LinkTreeModel model;
        LinkNode *opened = TreeEdits::appendGroup(model, nullptr, QStringLiteral("Opened"));
        LinkNode *link = TreeEdits::appendLink(model, opened, QStringLiteral("Before"), linkTo(QStringLiteral("a.html")));
        TreeEdits::appendGroup(model, nullptr, QStringLiteral("Closed"));
        PreviewPane pane(model, [&]() -> const LinkTree & { return model.tree(); });
        QSignalSpy shown(&pane, &PreviewPane::pageShown);
        QVERIFY(showFormat(pane, format));
        evaluate(pane, open.arg(QStringLiteral("group-0-0")));
        QVERIFY(evaluate(pane, isOpen.arg(QStringLiteral("group-0-0"))).toBool());

        TreeEdits::setNodeText(model, link, QStringLiteral("After"));
        std::vector<std::unique_ptr<LinkNode>> first;
        first.push_back(LinkTree::detachedGroup(QStringLiteral("New")));
        TreeEdits::apply(std::make_unique<InsertNodesStep>(model, QString(), nullptr, 0, std::move(first)));
        QVERIFY(shown.wait(30000));
        QVERIFY(evaluate(pane, QStringLiteral("document.body.textContent.includes('After')")).toBool());
        QVERIFY(!evaluate(pane, QStringLiteral("document.body.textContent.includes('Before')")).toBool());
        // Now the opened group is the second at its level.
        QVERIFY(evaluate(pane, isOpen.arg(QStringLiteral("group-0-1"))).toBool());
        QVERIFY(!evaluate(pane, isOpen.arg(QStringLiteral("group-0-0"))).toBool());
        QVERIFY(!evaluate(pane, isOpen.arg(QStringLiteral("group-0-2"))).toBool());
    }

    // A change of some nodes' names alone is made in the page shown, which is not loaded again
    // (what a script left on the window stays) and still picks the link clicked; a change of the
    // page's shape or of what its head takes from the tree loads the page anew.
    void changesInPlaceOnlyNodesMarkup_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("edit");
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<QString>("shows"); // true of the page after the change; %1 is the group's class before
        const QString renamed = QStringLiteral("document.body.textContent.includes('After')"
                                               " && !document.body.textContent.includes('Before')");
        QTest::newRow("HTML5 link renamed") << int(PageFormat::Html5) << int(RenameLink) << true << renamed;
        QTest::newRow("classic link renamed") << int(PageFormat::Classic) << int(RenameLink) << true << renamed;
        QTest::newRow("HTML5 group renamed")
            << int(PageFormat::Html5) << int(RenameGroup) << true
            << "document.querySelector('summary').textContent.includes('Renamed')"
               " && document.querySelector('details').open";
        QTest::newRow("HTML5 node inserted") << int(PageFormat::Html5) << int(Insert) << false
                                             << "document.querySelectorAll('summary')[1].textContent.includes('New')";
        QTest::newRow("classic group class taken") << int(PageFormat::Classic) << int(TakeClass) << false
                                                   << "document.getElementById('group-0-0').className !== '%1'";
    }
    void changesInPlaceOnlyNodesMarkup()
    {
        QFETCH(int, format);
        QFETCH(int, edit);
        QFETCH(bool, inPlace);
        QFETCH(QString, shows);
        LinkTreeModel model;
        LinkNode *group = TreeEdits::appendGroup(model, nullptr, QStringLiteral("Group"));
        LinkNode *link = TreeEdits::appendLink(model, group, QStringLiteral("Before"), linkTo(QStringLiteral("a.html")));
        PreviewPane pane(model, [&]() -> const LinkTree & { return model.tree(); });
        QSignalSpy shown(&pane, &PreviewPane::pageShown);
        QVERIFY(showFormat(pane, format));
        evaluate(pane, QStringLiteral("window.keptMark = 1; document.querySelector('summary') &&"
                                      " document.querySelector('summary').click()"));
        const QString groupClass = evaluate(pane, QStringLiteral("document.getElementById('group-0-0').className")).toString();

        if (edit == RenameLink)
            TreeEdits::setNodeText(model, link, QStringLiteral("After"));
        else if (edit == RenameGroup)
            TreeEdits::setNodeText(model, group, QStringLiteral("Renamed"));
        else if (edit == Insert)
            TreeEdits::appendGroup(model, nullptr, QStringLiteral("New"));
        else
            TreeEdits::setField(model, link, NodeField::Class, groupClass);
        QVERIFY(shown.wait(30000));
        QCOMPARE(evaluate(pane, QStringLiteral("window.keptMark === 1")).toBool(), inPlace);
        QVERIFY(evaluate(pane, shows.arg(groupClass)).toBool());

        const LinkNode *picked = nullptr;
        connect(&pane, &PreviewPane::nodePicked, this, [&](const LinkNode *node) { picked = node; });
        evaluate(pane, QStringLiteral("Array.prototype.find.call(document.querySelectorAll('a'), function (a) {"
                                      " return a.textContent === '%1'; }).click()").arg(link->text()));
        QTRY_COMPARE(picked, link);
    }

    // F5 shows the pane and the next window remembers it; a click on a link selects its node, and
    // neither the click, a script's request nor a move of the page reaches the network.
    void clickPicksNodeAndNothingLeaves()
    {
        QTcpServer elsewhere;
        QVERIFY(elsewhere.listen(QHostAddress::LocalHost));
        int requests = 0;
        connect(&elsewhere, &QTcpServer::newConnection, this, [&] { ++requests; });
        const QString away = QStringLiteral("http://127.0.0.1:%1/").arg(elsewhere.serverPort());

        MainWindow window;
        LinkNode *group = TreeEdits::appendGroup(window.treeModel(), nullptr, QStringLiteral("Group"));
        LinkNode *target = TreeEdits::appendLink(window.treeModel(), group, QStringLiteral("Away"), linkTo(away));
        window.show();
        QVERIFY(!window.findChild<PreviewPane *>()->isVisible());
        window.findChild<QAction *>(QStringLiteral("mnPreview1"))->trigger();
        auto *pane = window.findChild<PreviewPane *>();
        QSignalSpy shown(pane, &PreviewPane::pageShown);
        QVERIFY(pane->isVisible());
        QVERIFY(shown.wait(30000));

        evaluate(*pane, QStringLiteral("Array.prototype.find.call(document.querySelectorAll('a'),"
                                       " function (a) { return a.textContent === 'Away'; }).click()"));
        QTRY_COMPARE(window.selectedNode(), target);
        // https, which a page of the preview's secure scheme may ask for, unlike http.
        const QString secure = QStringLiteral("https://127.0.0.1:%1/").arg(elsewhere.serverPort());
        evaluate(*pane, QStringLiteral("fetch('%1fetch').catch(function () {}); new Image().src = '%1image';"
                                       " location.href = '%2page'").arg(secure, away));
        QTest::qWait(1500);
        QCOMPARE(requests, 0);
        QCOMPARE(evaluate(*pane, QStringLiteral("location.protocol")).toString(),
                 QString::fromLatin1(PreviewScheme::Name) + QLatin1Char(':'));

        MainWindow next;
        QVERIFY(next.findChild<QAction *>(QStringLiteral("mnPreview1"))->isChecked());
        QVERIFY(!next.findChild<PreviewPane *>()->isHidden());
    }
};

int main(int argc, char *argv[])
{
    PreviewScheme::registerScheme();
    QApplication app(argc, argv);
    TestPreview test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_preview.moc"
