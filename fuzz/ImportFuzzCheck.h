#pragma once
// What every importer's fuzz target checks: a file is refused with a message or read into a tree
// no deeper than the limit, whose JSON export reads back into the same tree.
#include "html/DataExport.h"
#include "import/ImportResult.h"
#include "import/JsonReader.h"
#include "text/VormikError.h"
#include "tree/LinkTree.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline bool sameImportedTree(const LinkTree &a, const LinkTree &b)
{
    if (a.count() != b.count())
        return false;
    for (size_t i = 0; i < a.nodes().size(); ++i) {
        const LinkNode *x = a.nodes()[i];
        const LinkNode *y = b.nodes()[i];
        if (x->text() != y->text() || x->level() != y->level() || !(x->record() == y->record()))
            return false;
    }
    return true;
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
    if (!sameImportedTree(*first.tree, *second.tree)) {
        std::fprintf(stderr, "the imported tree changed through JSON\n");
        std::abort();
    }
    return 0;
}

#define VORMIK_IMPORT_FUZZ_TARGET(reader)                                                                  \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                                \
    {                                                                                                      \
        return fuzzImport(reader, data, size);                                                             \
    }
