#pragma once
// The imports of the two older log tables into the review window: the dBase log table
// "denik.dbf" of another logbook and the Paradox log table of an older version of this
// program. Each checks the table's field list, copies every row into the staging table
// with the error and warning lines of its mapping, and shows the review.

#include "import/ImportOptions.h"
#include "base/Progress.h"

#include <QStringList>

class TDxccList;
class TfrmImport;
class TImportStaging;
class TSourceTable;
struct TExchangeHost;

// The field lists the two tables must have, exactly and in this order.
extern const QStringList TrevanFieldNames;
extern const QStringList OstrelFieldNames;

// Reads the file into the window's staging table and shows the review; true when the
// operator appended the staged records. An unreadable file or a wrong field list is
// reported and nothing is shown.
bool ImportTrevanDb(TfrmImport &window, const TExchangeHost &host, const QString &fileName,
                    const TImportOptions &options);
bool ImportOstrelDb(TfrmImport &window, const TExchangeHost &host, const QString &fileName,
                    const TImportOptions &options);

// The copy loops: every row of the source, in the order of its date and time, as one
// staged record. dxcc may be null. A value of the old log table that the log cannot take
// raises EVelkorError and stages nothing.
void ImportTrevanRecords(const TSourceTable &source, TImportStaging &staging, const TImportOptions &options,
                         TDxccList *dxcc, const TProgressEvent &progress = {});
void ImportOstrelRecords(const TSourceTable &source, TImportStaging &staging, const TImportOptions &options,
                         TDxccList *dxcc, const TProgressEvent &progress = {});
