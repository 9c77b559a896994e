#pragma once

#include <QString>

// The record every node carries. It lives inside its node, so it is created with the node and
// released with it, whatever removes the node.
struct LinkAttr
{
    bool Group = false;
    QString Href;
    QString Target;
    QString ObjID;
    QString Class;

    bool operator==(const LinkAttr &) const = default;
};
