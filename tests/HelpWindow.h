#pragma once

#include <QApplication>
#include <QTextBrowser>

// The help viewer, wherever it lives among the application's windows; null before help was shown.
inline QTextBrowser *helpWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("HelpViewer"))
            return qobject_cast<QTextBrowser *>(window);
    }
    return nullptr;
}
