#pragma once

#include <QLatin1String>
#include <QObject>

// Gives a widget, action or menu the name its window's design gave it, so that tests and anyone
// debugging find it with findChild.
template<typename T>
T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}
