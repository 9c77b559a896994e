// The commands that add and delete nodes, and the update cycle of their actions.
#include "app/MainForm.h"

void TMain::TopLevelAddGroupAction1Execute() {}
void TMain::ChildAddGroupAction1Execute() {}
void TMain::TopLevelAddLinkAction1Execute() {}
void TMain::ChildAddLinkAction1Execute() {}
void TMain::LV_AddLinkAction1Execute() {}
void TMain::TVPop_Delete1Click() {}
void TMain::LVPop_Delete1Click() {}
void TMain::ActionList1Update() {}
