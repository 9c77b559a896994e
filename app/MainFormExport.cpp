// The HTML export command.
#include "app/MainForm.h"

void TMain::mnOutPutHTML1Click() {}
