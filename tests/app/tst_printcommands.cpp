// The main window's "Tisk nálepek" and "Tisk deníku": the temporary tables they prepare
// and remove, the refusal without marks, and the QSL-sent state after a label print.

#include "../logbook/MainWindowFixture.h"

#include "AppCommands.h"
#include "FileDialogs.h"
#include "ModalRunner.h"
#include "print/PrintLabels.h"
#include "print/PrintLog.h"
#include "ScriptedMessages.h"

#include <QCheckBox>
#include <QLabel>
#include <QComboBox>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>

class TestPrintCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> f;
    QTemporaryDir m_out;
    QStringList m_modals;

    QString temp(const QString &name) const { return f->fx.dm->TempDir + name; }

    static QStringList callsOf(const QString &tableFile)
    {
        QStringList calls;
        LogConnection connection(tableFile, LogConnection::OpenReadOnly);
        {
            QSqlQuery q(connection.database());
            q.exec("SELECT CALL FROM log ORDER BY ID");
            while (q.next())
                calls << q.value(0).toString();
        }
        return calls;
    }

    void markAll()
    {
        for (const QString &call : {"OK1ABC/P", "OK1ABC", "DL/OK1ABC", "G3XYZ"})
            f->mark(call);
    }

    QList<int> qslo()
    {
        QList<int> states;
        for (const TLogRecord &r : f->fx.rows())
            states << r[fiQSLO].toInt();
        return states;
    }

    // Answers the label dialog: PDF target, the QSLo box as given, prints to `pdf`.
    void printLabelsTo(const QString &pdf, bool tick)
    {
        SetModalHook([this, pdf, tick](QDialog &dialog) {
            m_modals << dialog.objectName();
            auto *labels = qobject_cast<TfrmTiskQSL *>(&dialog);
            if (!labels)
                return int(mrCancel);
            m_modals << frmDialog->lblText()->text() << callsOf(temp("_QSL.db"));
            labels->cbPrinter->setCurrentIndex(labels->cbPrinter->count() - 1);
            labels->chbQSLo->setChecked(tick);
            FileDialogs::setNextAnswer(pdf);
            labels->btnPrint->click();
            return labels->result();
        });
    }

private slots:
    void init()
    {
        f = std::make_unique<MainWindowFixture>();
        QFile::copy(VELKOR_SOURCE_DIR "/data/Tisk.rav", f->fx.dm->AppDir + "Tisk.rav");
        InstallPrintCommands(f->w());
        m_modals.clear();
        FileDialogs::resetScript();
    }

    void cleanup()
    {
        SetModalHook({});
        FileDialogs::resetScript();
        f.reset();
    }

    void labelsWithoutMarksAreRefused()
    {
        ScriptedMessages messages;
        SetModalHook([this](QDialog &dialog) {
            m_modals << dialog.objectName();
            return int(mrCancel);
        });
        QVERIFY(f->w().actPrintQSL->isEnabled());
        f->w().actPrintQSL->trigger();
        QCOMPARE(messages.texts(), QStringList{"Nejsou vybrána žádná spojení!"});
        QVERIFY(m_modals.isEmpty());
    }

    void labelPrintMarksTheQsosSent()
    {
        markAll();
        printLabelsTo(m_out.filePath("labels.pdf"), true);
        f->w().actPrintQSL->trigger();
        // The dialog saw the labels in bureau order: the three-letter suffixes of OK1,
        // then the other entities by call.
        // The ordering ended on its last step, shown through the main window.
        QCOMPARE(m_modals, (QStringList{"frmTiskQSL", "Třídím QSL ...\nOstatní značky", "OK1ABC", "OK1ABC/P",
                                        "DL/OK1ABC", "G3XYZ"}));
        QCOMPARE(qslo(), (QList<int>{1, 1, 1, 1}));
        QCOMPARE(f->model().MarkCount(), 4); // the marks stay
        QVERIFY(QFile::exists(m_out.filePath("labels.pdf")));
        QVERIFY(!QFile::exists(temp("_Temp.db")));
        QVERIFY(!QFile::exists(temp("_QSL.db")));
        QVERIFY(!QFile::exists(temp("Tisk.rnd")));
        QVERIFY(!frmDialog->isVisible());
    }

    void failedLabelPrintLeavesTheStates()
    {
        ScriptedMessages messages;
        f->mark("G3XYZ");
        printLabelsTo(m_out.filePath("no/such/folder/labels.pdf"), true);
        f->w().actPrintQSL->trigger();
        QCOMPARE(messages.texts(), QStringList{"Při tisku se vyskytla chyba."});
        QCOMPARE(qslo(), (QList<int>{0, 0, 0, 0}));
        QVERIFY(!QFile::exists(temp("_QSL.db")));
    }

    void logPrintOfTheMarkedQsos()
    {
        f->mark("G3XYZ");
        f->mark("OK1ABC");
        int range = -1;
        QStringList table;
        SetModalHook([&](QDialog &dialog) {
            auto *log = qobject_cast<TfrmTiskDenik *>(&dialog);
            range = log ? log->RangeIndex() : -1;
            if (log && range == 1)
                table = callsOf(log->TableFile());
            return int(mrCancel);
        });
        f->w().actPrintLog->trigger();
        QCOMPARE(range, 1);
        QCOMPARE(table.size(), 2);
        QVERIFY(table.contains("G3XYZ") && table.contains("OK1ABC"));
        QVERIFY(!QFile::exists(temp("_Temp.db")));

        f->model().ClearMarks();
        f->w().actPrintLog->trigger();
        QCOMPARE(range, 0);
    }

    void missingProjectIsReportedAndCleanedUp()
    {
        ScriptedMessages messages;
        QFile::remove(f->fx.dm->AppDir + "Tisk.rav");
        SetModalHook([this](QDialog &dialog) {
            m_modals << dialog.objectName();
            return int(mrCancel);
        });
        f->mark("G3XYZ");
        f->w().actPrintQSL->trigger();
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.lastText().contains("Tisk.rav"));
        QVERIFY(m_modals.isEmpty());
        QVERIFY(!QFile::exists(temp("_Temp.db")) && !QFile::exists(temp("_QSL.db")));
        QVERIFY(!frmDialog->isVisible());
    }
};

QTEST_MAIN(TestPrintCommands)
#include "tst_printcommands.moc"
