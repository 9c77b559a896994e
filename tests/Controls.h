#pragma once

#include <QObject>
#include <QtGlobal>

// A window's control, action or menu, found by the object name its form gives it. A name the
// window lacks ends the test program at once, saying which.
template<typename T>
T *control(const QObject &window, const char *name)
{
    T *found = window.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("%s has no %s named %s", qPrintable(window.objectName()), T::staticMetaObject.className(), name);
    return found;
}
