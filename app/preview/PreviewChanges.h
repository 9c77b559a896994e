#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace PreviewBuild {
struct Page;
}

// What tells a page that can be changed in place from one that must be loaded anew.
namespace PreviewChanges {

// The nodes of `next` whose markup differs from `shown`'s, as a JSON array of
// {"anchor": its number among the menu's anchors, or "group": its id, "markup": the new markup};
// nothing when `next` has to be loaded whole: another frame, or a changed node that is not one
// anchor nor one heading of a folding group.
std::optional<QString> between(const PreviewBuild::Page &shown, const PreviewBuild::Page &next);

} // namespace PreviewChanges
