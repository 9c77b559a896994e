#pragma once

#include <QObject>

class ProjectDocument;
class QMenu;

// 出力先: the document's outputs, the current one checked; choosing one makes it current, and the
// last item takes the current one off the list.
class OutputsMenu : public QObject
{
    Q_OBJECT

public:
    OutputsMenu(ProjectDocument &document, QMenu *menu);

private:
    void refill();

    ProjectDocument &m_document;
    QMenu *m_menu;
};
