#pragma once
// The logbook's program-wide instances, created at program start in this order and
// destroyed at its end in the reverse order; null outside that time.

class TdmLog;
class TDxccList;
class TfrmDialog;
class TfrmVelkor;

extern TdmLog *dmLog;
extern TDxccList *DxccList;
extern TfrmVelkor *frmVelkor;
extern TfrmDialog *frmDialog;
