// The link list and the property editors below it.
#include "app/MainForm.h"

void TMain::FillLinkList(LinkNode *) {}
void TMain::TreeView1Change(LinkNode *) {}
void TMain::ListView1SelectItem(QTreeWidgetItem *, bool) {}
void TMain::ListView1Change(QTreeWidgetItem *) {}
void TMain::ListView1Click() {}
void TMain::LinkTextEditChange() {}
void TMain::HrefEditChange() {}
void TMain::TargetCmbBoxChange() {}
void TMain::TargetCmbBoxSelect(int) {}
void TMain::ClassEditChange() {}
void TMain::ClassEditExit() {}
void TMain::IDEditChange() {}
void TMain::GroupNameEditChange() {}
void TMain::GroupNameEditExit() {}
void TMain::writeThrough(int, const QString &) {}
