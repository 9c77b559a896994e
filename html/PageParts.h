#pragma once

#include <QString>

// The working record of one export; empty until the export fills it.
struct PageParts
{
    QString groupClassName; // class of every group block; the folding script hides these
    QString rootClassName;  // class of the block around all node lines; the stylesheet's selector
    QString styleSheet;     // the style element, empty without the default stylesheet
    QString headText;       // the processed template, then the root block's start tag
    QString footerText;     // empty without the author link
};
