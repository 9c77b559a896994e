// Feeds bytes to the project reader. A file it accepts must survive a save and a second open
// unchanged; anything else is a fault worth a crash report.
#include "project/ProjectFile.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"
#include "tree/NodeFields.h"

#include <algorithm>

#include <cstdint>
#include <utility>
#include <cstdlib>
#include <cstdio>

namespace {

// The one change a save may make: characters typed in their JIS forms are stored in CP932's
// Windows forms, which look the same (wave dash, double vertical line, minus, cent, pound, not
// sign, em dash).
QString windowsForms(QString text)
{
    static const std::pair<char16_t, char16_t> forms[] = {
        {u'\u301C', u'\uFF5E'}, {u'\u2016', u'\u2225'}, {u'\u2212', u'\uFF0D'}, {u'\u00A2', u'\uFFE0'},
        {u'\u00A3', u'\uFFE1'}, {u'\u00AC', u'\uFFE2'}, {u'\u2014', u'\u2015'},
    };
    for (const auto &[jis, windows] : forms)
        text.replace(QChar(jis), QChar(windows));
    return text;
}

// `b` is `a` after a save and an open.
bool sameNode(const LinkNode *a, const LinkNode *b)
{
    if (a->level() != b->level() || a->childCount() != b->childCount() || a->imageIndex() != b->imageIndex()
        || a->isGroup() != b->isGroup())
        return false;
    return std::all_of(std::begin(NodeFields), std::end(NodeFields), [&](const NodeFieldInfo &field) {
        return windowsForms(fieldValue(*a, field.field)) == fieldValue(*b, field.field);
    });
}

bool sameTree(const LinkTree &a, const LinkTree &b)
{
    if (a.count() != b.count())
        return false;
    const auto &left = a.nodes();
    const auto &right = b.nodes();
    for (size_t i = 0; i < left.size(); ++i) {
        if (!sameNode(left[i], right[i]))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    std::unique_ptr<LinkTree> first;
    try {
        first = ProjectFile::read(bytes, QStringLiteral("fuzz.xml"));
    } catch (const VormikError &) {
        return 0; // rejected with a message: fine
    }
    const QByteArray saved = ProjectFile::write(*first);
    std::unique_ptr<LinkTree> second;
    try {
        second = ProjectFile::read(saved, QStringLiteral("saved.xml"));
    } catch (const VormikError &error) {
        std::fprintf(stderr, "a saved file was refused: %s\n", error.what());
        std::abort();
    }
    if (!sameTree(*first, *second)) {
        std::fprintf(stderr, "the tree changed on a save and an open\n");
        std::abort();
    }
    return 0;
}
