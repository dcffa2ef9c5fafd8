#include "print/PrintCommands.h"

#include "log/DmLog.h"
#include "base/Messages.h"
#include "ModalRunner.h"
#include "print/PrintLabels.h"
#include "print/PrintLog.h"
#include "ProgressDialog.h"
#include "print/QslTable.h"

#include <QFile>

namespace
{

// Removes the command's temporary tables when the command ends, however it ends.
class TempTables
{
public:
    TempTables(const QString &folder, QStringList names) : m_folder(folder), m_names(std::move(names)) {}
    ~TempTables()
    {
        for (const QString &name : m_names) {
            QFile::remove(m_folder + name);
            QFile::remove(m_folder + name + QStringLiteral("-journal"));
        }
    }
    QString path(int i) const { return m_folder + m_names[i]; }

private:
    QString m_folder;
    QStringList m_names;
};

} // namespace

void PrintQslLabels(const TExchangeHost &host, const TProgressEvent &sortProgress)
{
    const QList<TBookmark> marks = host.markedIds ? host.markedIds() : QList<TBookmark>();
    if (marks.isEmpty()) {
        MessageDlgDef(QStringLiteral("Nejsou vybrána žádná spojení!"), mtInformation, mbOK, mrOk);
        return;
    }
    const TempTables tables(host.dm->TempDir, {QStringLiteral("_Temp.db"), QStringLiteral("_QSL.db")});
    {
        TfrmDialogCloser closer(host.progress);
        TProgressEvent copyProgress;
        if (host.progress) {
            host.progress->ShowProgress(QStringLiteral("Exportuji vybraná spojení ..."), 0, 100);
            copyProgress = host.progress->ProgressCallback();
        }
        CopyMarkedToTable(*host.gridQuery(), marks, tables.path(0), copyProgress);
        if (host.progress)
            host.progress->ShowProgress(QStringLiteral("Třídím QSL ..."), 0, 12);
        BuildQSLTable(tables.path(0), tables.path(1), sortProgress);
    }
    TfrmTiskQSL dialog(host);
    RunModal(dialog);
}

void PrintLog(const TExchangeHost &host)
{
    LogQuery *query = host.gridQuery ? host.gridQuery() : nullptr;
    if (!query || !query->Active() || query->IsEmpty())
        return;
    const QList<TBookmark> marks = host.markedIds ? host.markedIds() : QList<TBookmark>();
    const TempTables tables(host.dm->TempDir, {QStringLiteral("_Temp.db")});
    if (!marks.isEmpty())
        CopyMarkedToTable(*query, marks, tables.path(0));
    TfrmTiskDenik dialog(host);
    if (!marks.isEmpty())
        dialog.SetRangeIndex(1);
    RunModal(dialog);
}
