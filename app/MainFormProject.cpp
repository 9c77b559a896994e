// New, Open and Save.
#include "app/MainForm.h"

void TMain::mnNew1Click() {}
void TMain::mnOpen1Click() {}
void TMain::mnSave1Click() {}
