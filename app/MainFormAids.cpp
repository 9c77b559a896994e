// The ID check and the class picker.
#include "app/MainForm.h"

void TMain::OverlapIDBtnClick() {}
void TMain::UsedClassBtnClick() {}
void TMain::ClassOKBtnClick() {}
