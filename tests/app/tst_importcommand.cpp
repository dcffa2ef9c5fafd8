// The main window's ADIF import from the menu to the refreshed grid: the command bound by
// the application layer, the file chosen, the options confirmed, the review finished.

#include "../logbook/MainWindowFixture.h"

#include "AppCommands.h"
#include "FileDialogs.h"
#include "import/ImportOptionsDialog.h"
#include "import/ImportStaging.h"
#include "import/ImportWindow.h"
#include "base/Messages.h"
#include "ModalRunner.h"

#include <QAction>
#include <QDialog>
#include <QTest>

class TestImportCommand : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        SetModalHook({});
        FileDialogs::resetScript();
    }

    void adifImportReachesTheGrid()
    {
        MainWindowFixture mw;
        QVERIFY(!mw.w().actImportADIF->isEnabled());
        InstallExchangeCommands(mw.w());
        QVERIFY(mw.w().actImportADIF->isEnabled());
        const int before = mw.query().RecordCount();

        const QString file = mw.fx.path(QStringLiteral("import.adi"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        // One QSO of the log (a duplicate) and two new ones.
        f.write("<QSO_DATE:8>20070102<TIME_ON:4>1830<CALL:6>OK1ABC<FREQ:6>14.025<MODE:3>SSB<EOR>\n"
                "<QSO_DATE:8>20240105<TIME_ON:4>1200<CALL:5>OK2AA<FREQ:5>7.030<MODE:2>CW<EOR>\n"
                "<QSO_DATE:8>20240105<TIME_ON:4>1205<CALL:5>OK2BB<BAND:3>80m<MODE:2>CW<EOR>\n");
        f.close();
        FileDialogs::setNextAnswer(file);
        QStringList shown;
        QString summary;
        SetModalHook([&](QDialog &d) {
            shown << d.objectName();
            if (auto *options = qobject_cast<TfrmImportOptions *>(&d)) {
                options->actNext->trigger();
                return options->result();
            }
            if (auto *review = qobject_cast<TfrmImport *>(&d)) {
                summary = review->Staging().Messages().mid(0, 2).join(u'|');
                review->actImport->trigger();
                return review->result();
            }
            return int(mrCancel);
        });
        mw.w().actImportADIF->trigger();
        QCOMPARE(shown, QStringList({"frmImportOptions", "frmImport"}));
        QCOMPARE(summary, QString("Importovaných QSO: 2|Vynechaných QSO: 1"));
        QCOMPARE(mw.query().RecordCount(), before + 2);
        QVERIFY(mw.query().Locate(fiCALL, QStringLiteral("OK2BB")));
        QCOMPARE(mw.query().Value(fiFREQ).toDouble(), 3.5);
    }
};

QTEST_MAIN(TestImportCommand)
#include "tst_importcommand.moc"
