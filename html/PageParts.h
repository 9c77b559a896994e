#pragma once

#include <QString>

// The working record of one export; empty until the export fills it.
struct TSystemStruct
{
    QString GroupClassName; // class of every group block; the folding script hides these
    QString RootClassName;  // class of the block around all node lines; the stylesheet's selector
    QString StyleSheet;     // the style element, empty without the default stylesheet
    QString HeadText;       // the processed template, then the root block's start tag
    QString FooterText;     // empty without the author link
};
