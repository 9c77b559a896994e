#include "app/preview/PreviewBuild.h"

#include "app/preview/PageFrame.h"
#include "text/Cp932Codec.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace PreviewBuild {

std::unique_ptr<LinkTree> copyOf(const LinkTree &tree)
{
    auto copy = std::make_unique<LinkTree>();
    const std::vector<LinkNode *> &nodes = tree.nodes();
    std::vector<LinkNode *> copies;
    copies.reserve(nodes.size());
    // Absolute order puts every parent before its children, so its copy is always made.
    for (const LinkNode *node : nodes) {
        LinkNode *parent = node->parent() ? copies[static_cast<size_t>(tree.absoluteIndex(node->parent()))] : nullptr;
        LinkNode *made = copy->appendLink(parent, node->text());
        // The record carries the kind too.
        made->record() = node->record();
        copies.push_back(made);
    }
    return copy;
}

namespace {

bool shared(const QString &a, const QString &b)
{
    return a.isSharedWith(b) || a == b;
}

bool sameRecord(const LinkAttr &a, const LinkAttr &b)
{
    return a.Group == b.Group && shared(a.Href, b.Href) && shared(a.Target, b.Target) && shared(a.ObjID, b.ObjID)
           && shared(a.Class, b.Class);
}

} // namespace

bool refresh(LinkTree &copy, const std::vector<const LinkNode *> &copied, const LinkTree &tree)
{
    const std::vector<LinkNode *> &nodes = tree.nodes();
    const std::vector<LinkNode *> &copies = copy.nodes();
    if (nodes.size() != copied.size() || nodes.size() != copies.size())
        return false;
    // Absolute order with each node's level fixes the whole shape.
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i] != copied[i] || nodes[i]->level() != copies[i]->level())
            return false;
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (!shared(nodes[i]->text(), copies[i]->text()))
            copy.setText(copies[i], nodes[i]->text());
        if (!sameRecord(nodes[i]->record(), copies[i]->record()))
            copies[i]->record() = nodes[i]->record();
    }
    return true;
}

ExportSettings settingsFor(const Output &output)
{
    ExportSettings settings;
    settings.format = PageFormat::Html5;
    if (output)
        settings = *output;
    const QString name = QFileInfo(settings.outputFileName).fileName();
    settings.outputFileName = QStringLiteral("/preview/")
                              + (name.isEmpty() ? QStringLiteral("menu.") + PageGenerator::suggestedSuffix(settings.format) : name);
    return settings;
}

std::vector<int> anchorNodes(const std::vector<QString> &markup)
{
    static const QRegularExpression anchorStart(QStringLiteral("<a[\\s>]"), QRegularExpression::CaseInsensitiveOption);
    std::vector<int> anchors;
    for (size_t node = 0; node < markup.size(); ++node) {
        for (auto found = anchorStart.globalMatch(markup[node]); found.hasNext(); found.next())
            anchors.push_back(static_cast<int>(node));
    }
    return anchors;
}

Page build(const LinkTree &copy, const ExportSettings &settings)
{
    Page page;
    page.files.pageName = QFileInfo(settings.outputFileName).fileName();
    try {
        PageParts system;
        PageGenerator::Page made = PageGenerator::buildPage(copy, settings, system);
        page.files.pageType = settings.format == PageFormat::Html5 ? "text/html;charset=UTF-8"
                                                                   : "text/html;charset=Shift_JIS";
        page.files.files.insert(page.files.pageName, made.bytes);
        for (const auto &[path, content] : made.report.companionFiles)
            page.files.files.insert(QFileInfo(path).fileName(), content);
        page.anchorNodes = anchorNodes(made.markup);
        page.frame = PageFrame::digest(settings.format == PageFormat::Html5 ? QString::fromUtf8(made.bytes)
                                                                                  : Cp932::decode(made.bytes),
                                             made.markup);
        page.markup = std::move(made.markup);
        page.groupIds = std::move(made.groupIds);
        page.rootClass = system.rootClassName;
    } catch (const VormikError &error) {
        page.files.pageType = "text/plain;charset=UTF-8";
        page.files.files.insert(page.files.pageName, error.message().toUtf8());
    }
    return page;
}

} // namespace PreviewBuild
