#pragma once

#include <QString>

// What a name would do in a browser if written as markup. The classic page writes names as markup,
// since stored pages put tags in them on purpose; a name that would run script, load an object
// or a frame, take input or change how the rest of the page is read is written as text instead.
// The importers tell their user of names that hold markup at all.
namespace ActiveContent {

enum class Kind {
    Text,   // no tag, comment or declaration: the same as text
    Markup, // tags that only show something
    Active, // script, style, a frame or object, a form, an event handler, a script address, or
            // markup left open (a tag, a comment) that would reach into the page's own
};

// Reads `name` as a browser's tokenizer reads a page's body, in one pass.
Kind of(const QString &name);

// True for an address that runs script when followed or loaded: javascript: or vbscript:, and
// data: too unless it is an image's source, read as a browser reads a URL (tabs and line breaks
// inside it and controls around it ignored, the scheme in any case).
bool isScriptAddress(const QString &address, bool imageSource = false);

} // namespace ActiveContent
