#pragma once

#include "html/PageGenerator.h"

#include <QObject>
#include <QString>

class QUndoStack;
class QWidget;
class WindowContext;

// The document the window shows: New, Open, Save and the page export, the project file the
// tree was last opened from or saved to, and whether the tree differs from that file.
class ProjectDocument : public QObject
{
    Q_OBJECT

public:
    ProjectDocument(WindowContext &context, QUndoStack &history, QWidget *window);

    const QString &fileName() const { return ProjectFileName; }
    // True when the tree differs from the file last opened or saved.
    bool isModified() const;

    void mnNew1Click();
    void mnOpen1Click();
    void mnSave1Click();
    void mnOutPutHTML1Click();

signals:
    // New emptied the tree; what showed its nodes empties too.
    void cleared();

private:
    WindowContext &m_context;
    QUndoStack &m_history;
    QWidget *m_window;
    QString ProjectFileName;
    // The page format of the last export, which the next one proposes.
    PageFormat m_pageFormat = PageFormat::Classic;
};
