#pragma once

#include <QApplication>
#include <QObject>
#include <QWidget>
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

// A control of a window that stands apart from its owner until it is shown, such as the class
// picker, found among the application's top-level windows.
template<typename T>
T *freeControl(const char *name)
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QLatin1String(name))
            return qobject_cast<T *>(top);
        if (T *found = top->findChild<T *>(QLatin1String(name)))
            return found;
    }
    qFatal("no window has a %s named %s", T::staticMetaObject.className(), name);
}
