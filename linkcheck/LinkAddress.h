#pragma once

#include <QString>
#include <QUrl>

// What a link's address asks the link check to look at.
namespace LinkAddress {

enum class Kind {
    File,     // a local file (relative to the base folder, or file:) that must exist
    Web,      // http: or https:, asked over the network
    Skipped,  // nothing to check: see the reason
};

enum class SkipReason { None, Empty, FragmentOnly, Mail, Script, OtherScheme };

struct Target
{
    Kind kind = Kind::Skipped;
    SkipReason reason = SkipReason::None;
    QString path{}; // File: the path to look for
    QUrl url{};     // Web: the address asked, without its fragment
};

// Classifies `href` (a node's address as written in the page) as a browser reads it: a relative
// address is a file under `baseFolder`, the folder the page lies in; a root-relative one
// (`/sub/page.html`) a file under `rootFolder`, the site's root (the base folder when empty); a
// protocol-relative one (`//host/page`) an https: address; `\` in the path is `/`.
Target classify(const QString &href, const QString &baseFolder, const QString &rootFolder = {});

} // namespace LinkAddress
