// Files to import as browsers and feed readers write them, and the import of one, for timing and
// measuring against xmllint on the same bytes (see bench/import_figures.py).
// Usage: bench_import bookmarks LINKS PATH | bench_import opml OUTLINES PATH | bench_import read PATH
#include "import/ImportFile.h"
#include "text/VormikError.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

namespace {

// A browser's export: folders of 100 bookmarks, every tenth folder holding the next nine, each
// bookmark with its dates as Firefox writes them.
QByteArray bookmarks(int links)
{
    QByteArray file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                      "<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks Menu</H1>\n<DL><p>\n";
    for (int folder = 0; folder * 100 < links; ++folder) {
        const bool outer = folder % 10 == 0;
        if (outer && folder > 0)
            file += "    </DL><p>\n";
        const QByteArray indent(outer ? 4 : 8, ' ');
        file += indent + "<DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000000\">フォルダー "
            + QByteArray::number(folder) + "</H3>\n" + indent + "<DL><p>\n";
        for (int link = folder * 100; link < std::min(links, folder * 100 + 100); ++link) {
            file += indent + "    <DT><A HREF=\"https://www.example.com/articles/" + QByteArray::number(link)
                + ".html?ref=bookmarks\" ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000000\">ページ "
                + QByteArray::number(link) + " の題名 &amp; 説明</A>\n";
        }
        if (!outer)
            file += indent + "</DL><p>\n";
    }
    return file + "    </DL><p>\n</DL><p>\n";
}

// A feed reader's subscriptions: categories of 50 feeds.
QByteArray opml(int outlines)
{
    QByteArray file = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\">\n<head><title>購読</title></head>\n<body>\n";
    for (int category = 0; category * 50 < outlines; ++category) {
        file += "  <outline text=\"分類 " + QByteArray::number(category) + "\">\n";
        for (int feed = category * 50; feed < std::min(outlines, category * 50 + 50); ++feed) {
            file += "    <outline type=\"rss\" text=\"フィード " + QByteArray::number(feed)
                + "\" xmlUrl=\"https://blog.example.com/" + QByteArray::number(feed) + "/feed.xml\" htmlUrl=\"https://blog.example.com/"
                + QByteArray::number(feed) + "/\"/>\n";
        }
        file += "  </outline>\n";
    }
    return file + "</body>\n</opml>\n";
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    try {
        if (args.size() == 3 && args.at(1) == QLatin1String("read")) {
            const ImportResult result = Import::readFile(args.at(2));
            std::printf("%d groups, %d links\n", result.groups, result.links);
            return 0;
        }
        if (args.size() == 4 && (args.at(1) == QLatin1String("bookmarks") || args.at(1) == QLatin1String("opml"))) {
            QFile file(args.at(3));
            if (!file.open(QIODevice::WriteOnly))
                throw VormikError(file.errorString());
            const int count = args.at(2).toInt();
            file.write(args.at(1) == QLatin1String("opml") ? opml(count) : bookmarks(count));
            return 0;
        }
    } catch (const VormikError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::fprintf(stderr, "usage: bench_import bookmarks LINKS PATH | bench_import opml OUTLINES PATH | bench_import read PATH\n");
    return 2;
}
