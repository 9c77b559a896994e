#pragma once
// What every importer's fuzz target checks: a file is refused with a message or read into a tree
// no deeper than the limit, whose JSON export reads back into the same tree.
#include "export/DataExport.h"
#include "import/ImportResult.h"
#include "import/FormatReaders.h"
#include "import/TextDecoding.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>

// The first node that differs, or -1; a missing node counts as differing.
inline qsizetype firstDifference(const LinkTree &a, const LinkTree &b)
{
    const size_t common = std::min(a.nodes().size(), b.nodes().size());
    for (size_t i = 0; i < common; ++i) {
        const LinkNode *x = a.nodes()[i];
        const LinkNode *y = b.nodes()[i];
        if (x->text() != y->text() || x->level() != y->level() || !(x->record() == y->record()))
            return static_cast<qsizetype>(i);
    }
    return a.count() == b.count() ? -1 : static_cast<qsizetype>(common);
}

inline QByteArray described(const LinkTree &tree, qsizetype index)
{
    if (index >= static_cast<qsizetype>(tree.nodes().size()))
        return "(none)";
    const LinkNode *node = tree.nodes()[static_cast<size_t>(index)];
    return QStringLiteral("level %1 %2 \"%3\" href \"%4\"")
        .arg(node->level())
        .arg(node->isGroup() ? u"group" : u"link", node->text(), node->record().Href)
        .toUtf8()
        .toPercentEncoding(" \"=");
}

template<class Reader>
int fuzzImport(Reader read, const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    ImportResult first;
    try {
        first = read(bytes, QStringLiteral("fuzz"));
    } catch (const VormikError &) {
        return 0; // refused with a message: fine
    }
    if (first.tree->deepestLevel() >= Import::MaxDepth || first.groups + first.links != first.tree->count()) {
        std::fprintf(stderr, "a tree deeper than the limit, or miscounted\n");
        std::abort();
    }
    ImportResult second;
    try {
        second = JsonReader::read(DataExport::json(*first.tree), QStringLiteral("again"));
    } catch (const VormikError &error) {
        std::fprintf(stderr, "the JSON of an imported tree was refused: %s\n", error.what());
        std::abort();
    }
    if (const qsizetype at = firstDifference(*first.tree, *second.tree); at >= 0) {
        std::fprintf(stderr, "the imported tree changed through JSON at node %lld:\n  %s\n  %s\n",
                     static_cast<long long>(at), described(*first.tree, at).constData(),
                     described(*second.tree, at).constData());
        std::abort();
    }
    return 0;
}

// A reader given the bytes as every import gives them: decoded to UTF-8 first.
template<ImportResult (*Read)(const QByteArray &, const QString &)>
ImportResult decodedThen(const QByteArray &bytes, const QString &fileName)
{
    TextDecoding::Decoder decoder(bytes);
    return Read(decoder.decode(bytes, true), fileName);
}

// A reader that takes the file piece by piece, given it as one piece.
template<ImportResult (*Read)(const QByteArray &, const std::function<QByteArray()> &, const QString &)>
ImportResult decodedAsOnePiece(const QByteArray &bytes, const QString &fileName)
{
    TextDecoding::Decoder decoder(bytes);
    return Read(decoder.decode(bytes, true), {}, fileName);
}

#define VORMIK_IMPORT_FUZZ_TARGET(reader)                                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                                \
    {                                                                                                      \
        return fuzzImport(reader, data, size);                                                             \
    }
