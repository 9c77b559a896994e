// New, Open, Save and the HTML export.
#include "app/MainForm.h"

void TMain::mnNew1Click() {}
void TMain::mnOpen1Click() {}
void TMain::mnSave1Click() {}
void TMain::mnOutPutHTML1Click() {}
