#include "AppGlobals.h"

TdmLog *dmLog = nullptr;
TDxccList *DxccList = nullptr;
TfrmVelkor *frmVelkor = nullptr;
TfrmDialog *frmDialog = nullptr;
