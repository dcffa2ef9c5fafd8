// The main window's export commands: the save dialog (proposed name, filter, default
// extension), the QSL-message question of the eQSL form, the progress window closed also
// on failure, the marked QSOs, and the workbook written outside the logbook's temporary
// folder, opened with the desktop's program, and refused above 65,535 QSOs.

#include "../logbook/MainWindowFixture.h"

#include "AppCommands.h"
#include "ComboBoxDialog.h"
#include "ExchangeHost.h"
#include "export/ExportCommands.h"
#include "FileDialogs.h"
#include "ModalRunner.h"
#include "ScriptedMessages.h"
#include "TestFiles.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QScopeGuard>
#include <QLabel>
#include <QSqlQuery>

class TestExportCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fileCommands_data();
    void fileCommands();
    void repeatedExportAsksBeforeReplacing_data();
    void repeatedExportAsksBeforeReplacing();
    void cancelledDialogWritesNothing();
    void eqslAsksForMessage();
    void eqslMessageCancelled();
    void failureShownAndProgressClosed();
    void marksExportOnlyMarked();
    void emptyLogDoesNothing();
    void workbookOpenedOutsideTempFolder();
    void workbookWithoutProgramIsReported();
    void desktopOpenerOutcome_data();
    void desktopOpenerOutcome();
    void workbookLimit();

private:
    std::unique_ptr<MainWindowFixture> m_fx;
    std::unique_ptr<ScriptedMessages> m_messages;
    QStringList m_opened;
    bool m_openerAnswer = true;

    TfrmVelkor &w() { return m_fx->w(); }
    QString folder() const { return m_fx->fx.dir.path(); }
};

void TestExportCommands::init()
{
    m_fx = std::make_unique<MainWindowFixture>();
    InstallExchangeCommands(m_fx->w());
    m_messages = std::make_unique<ScriptedMessages>();
    m_opened.clear();
    m_openerAnswer = true;
    SetDocumentOpener([this](const QString &file) {
        m_opened << file;
        return m_openerAnswer;
    });
}

void TestExportCommands::cleanup()
{
    SetDocumentOpener({});
    SetModalHook({});
    FileDialogs::resetScript();
    m_messages.reset();
    m_fx.reset();
}

void TestExportCommands::fileCommands_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QString>("progressText");
    QTest::addColumn<QByteArray>("begins");

    QTest::newRow("ADIF") << "actExportAdif" << QStringLiteral("Formát ADIF  (*.adi)") << ".adi"
                          << QStringLiteral("Exportuji do formátu ADIF ...")
                          << QByteArray("Velkor v1.0.1\r\nExported 4");
    QTest::newRow("CSV") << "actExportCSV" << QStringLiteral("Text oddělený středníky (*.csv)") << ".csv"
                         << QStringLiteral("Exportuji do formátu CSV ...") << QByteArray("Datum;");
    QTest::newRow("TXT") << "actExportTXT" << QStringLiteral("Text oddělený mezerami (*.txt)") << ".txt"
                         << QStringLiteral("Export do formátu TXT ...") << QByteArray("Datum      Cas");
}

void TestExportCommands::fileCommands()
{
    QFETCH(QString, action);
    QFETCH(QString, filter);
    QFETCH(QString, extension);
    QFETCH(QString, progressText);
    QFETCH(QByteArray, begins);

    const QString chosen = folder() + QStringLiteral("/export");
    FileDialogs::setNextAnswer(chosen);
    QAction *command = w().findChild<QAction *>(action);
    QVERIFY(command && command->isEnabled());
    command->trigger();

    QCOMPARE(FileDialogs::requests().size(), 1);
    const FileDialogs::Request request = FileDialogs::requests().first();
    QCOMPARE(request.kind, FileDialogs::Kind::SaveFile);
    QCOMPARE(request.filter, filter);
    QVERIFY2(request.directory.endsWith(QStringLiteral("/OK1XYZ")), qPrintable(request.directory));
    QByteArray data = ReadTestFile(chosen + extension);
    data.replace('\xC8', 'C'); // "Čas" in Windows-1250
    QVERIFY2(data.startsWith(begins), data.left(40).constData());
    QCOMPARE(frmDialog->lblText()->text(), progressText);
    QVERIFY(!frmDialog->isVisible());
    QVERIFY(m_messages->shown.isEmpty());

    // A name with an extension keeps it; the next dialog opens in the folder just used.
    FileDialogs::resetScript();
    FileDialogs::setNextAnswer(folder() + QStringLiteral("/second.dat"));
    command->trigger();
    QVERIFY(QFile::exists(folder() + QStringLiteral("/second.dat")));
    QCOMPARE(FileDialogs::requests().first().directory, folder() + QStringLiteral("/OK1XYZ"));
}

void TestExportCommands::repeatedExportAsksBeforeReplacing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("extension");
    QTest::newRow("ADIF") << "actExportAdif" << ".adi";
    QTest::newRow("eQSL") << "actExportADIFshort" << ".adi";
    QTest::newRow("CSV") << "actExportCSV" << ".csv";
    QTest::newRow("TXT") << "actExportTXT" << ".txt";
}

// Two exports in a row, each taking the proposed name: the second asks under the name
// with its extension, and "no" leaves the first file as it was.
void TestExportCommands::repeatedExportAsksBeforeReplacing()
{
    QFETCH(QString, action);
    QFETCH(QString, extension);
    SetModalHook([](QDialog &) { return int(mrOk); }); // the QSL message of the eQSL form
    QAction *command = w().findChild<QAction *>(action);
    const QString proposed = folder() + QStringLiteral("/OK1XYZ");
    const QString written = proposed + extension;
    FileDialogs::setNextAnswer(proposed);
    command->trigger();
    QVERIFY(m_messages->shown.isEmpty());
    QVERIFY(WriteTestFile(written, "first"));

    const QString question = QStringLiteral("Soubor \"%1\" již existuje.\nChcete jej přepsat?")
                                 .arg(QDir::toNativeSeparators(written));
    FileDialogs::setNextAnswer(proposed);
    m_messages->answerNext(mrNo);
    command->trigger();
    QCOMPARE(m_messages->texts(), QStringList{question});
    QCOMPARE(m_messages->shown[0].type, mtConfirmation);
    QCOMPARE(ReadTestFile(written), QByteArray("first"));
    QCOMPARE(FileDialogs::requests().size(), 3); // asked again after "no", then cancelled

    FileDialogs::setNextAnswer(proposed);
    m_messages->answerNext(mrYes);
    command->trigger();
    QCOMPARE(m_messages->texts(), QStringList(2, question));
    QVERIFY(ReadTestFile(written).startsWith(extension == u".csv"   ? QByteArray("Datum;")
                                             : extension == u".txt" ? QByteArray("Datum ")
                                                                    : QByteArray("Velkor")));
}

void TestExportCommands::cancelledDialogWritesNothing()
{
    for (QAction *action : {w().actExportAdif, w().actExportADIFshort, w().actExportCSV, w().actExportTXT}) {
        FileDialogs::setNextAnswer(QString());
        SetModalHook([](QDialog &) -> int {
            QTest::qFail("no question after a cancelled save dialog", __FILE__, __LINE__);
            return mrCancel;
        });
        action->trigger();
    }
    QCOMPARE(FileDialogs::requests().size(), 4);
    QCOMPARE(QDir(folder()).entryList({"*.adi", "*.csv", "*.txt"}, QDir::Files), QStringList());
    QVERIFY(m_messages->shown.isEmpty());
}

void TestExportCommands::eqslAsksForMessage()
{
    const QString chosen = folder() + QStringLiteral("/eqsl.adi");
    FileDialogs::setNextAnswer(chosen);
    QString caption, label;
    int items = -1;
    bool editable = false;
    bool fileAskedFirst = false;
    SetModalHook([&](QDialog &dialog) {
        auto &combo = dynamic_cast<TfrmComboBox &>(dialog);
        fileAskedFirst = FileDialogs::requests().size() == 1;
        caption = combo.windowTitle();
        label = combo.lblText->text();
        items = combo.ComboBox->count();
        editable = combo.ComboBox->isEditable();
        combo.ComboBox->setEditText(QStringLiteral("Děkuji za QSO"));
        return int(mrOk);
    });
    w().actExportADIFshort->trigger();
    QVERIFY(fileAskedFirst);
    QCOMPARE(caption, QStringLiteral("Nastavení poznámky na QSL lístek"));
    QCOMPARE(label, QStringLiteral("Poznámka:"));
    QCOMPARE(items, 0);
    QVERIFY(editable);
    const QByteArray data = ReadTestFile(chosen);
    QCOMPARE(data.count("<QSLMSG:13>D\xECkuji za QSO<eor>\r\n"), 4);
    QCOMPARE(frmDialog->lblText()->text(), QStringLiteral("Exportuji do formátu ADIF ..."));
    QVERIFY(!frmDialog->isVisible());
}

void TestExportCommands::eqslMessageCancelled()
{
    const QString chosen = folder() + QStringLiteral("/eqsl.adi");
    FileDialogs::setNextAnswer(chosen);
    SetModalHook([](QDialog &) { return int(mrCancel); });
    w().actExportADIFshort->trigger();
    QVERIFY(!QFile::exists(chosen));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestExportCommands::failureShownAndProgressClosed()
{
    const QString chosen = folder() + QStringLiteral("/no/such/folder/x.csv");
    FileDialogs::setNextAnswer(chosen);
    w().actExportCSV->trigger();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->shown[0].type, mtError);
    QCOMPARE(m_messages->lastText(),
             QStringLiteral("Soubor \"%1\" nelze vytvořit!").arg(QDir::toNativeSeparators(chosen)));
    QVERIFY(!frmDialog->isVisible());
    QVERIFY(!w().qLog->ControlsDisabled());
}

void TestExportCommands::marksExportOnlyMarked()
{
    m_fx->mark("G3XYZ");
    m_fx->mark("OK1ABC/P");
    const QString chosen = folder() + QStringLiteral("/marked.adi");
    FileDialogs::setNextAnswer(chosen);
    w().actExportAdif->trigger();
    const QByteArray data = ReadTestFile(chosen);
    QVERIFY(data.contains("\r\nExported 2 records\r\n"));
    QVERIFY(data.contains("<CALL:5>G3XYZ"));
    QVERIFY(data.contains("<CALL:8>OK1ABC/P"));
    QVERIFY(!data.contains("<CALL:6>OK1ABC\r\n"));
    QCOMPARE(m_fx->model().MarkCount(), 2);
}

void TestExportCommands::emptyLogDoesNothing()
{
    QSqlQuery(QSqlDatabase::database(TdmLog::DatabaseName)).exec(QStringLiteral("DELETE FROM log"));
    w().RefreshLog(false, false);
    QVERIFY(!w().actExportAdif->isEnabled());
    const TExchangeHost host = MakeExchangeHost(w());
    for (auto command :
         {ExportAdifCommand, ExportAdifShortCommand, ExportCsvCommand, ExportTxtCommand, ExportXlsCommand})
        command(host);
    QVERIFY(FileDialogs::requests().isEmpty());
    QVERIFY(m_opened.isEmpty());
    QVERIFY(m_messages->shown.isEmpty());
}

void TestExportCommands::workbookOpenedOutsideTempFolder()
{
    m_fx->mark("G3XYZ");
    w().actExportXLS->trigger();
    QVERIFY(FileDialogs::requests().isEmpty());
    QCOMPARE(m_opened.size(), 1);
    const QFileInfo book(m_opened[0]);
    QCOMPARE(book.suffix(), QStringLiteral("xlsx"));
    QVERIFY(book.fileName().startsWith(QStringLiteral("OK1XYZ_")));
    // Beside the logbook's temporary folder, not in it: the folder's clean-up at the end
    // must not take the workbook from the spreadsheet.
    QCOMPARE(book.absolutePath(), QDir(folder()).filePath(QStringLiteral("Temp")));
    QVERIFY(!book.absoluteFilePath().startsWith(m_fx->fx.dm->TempDir));
    QVERIFY(ReadTestFile(book.absoluteFilePath()).startsWith("PK"));
    // It was written in the logbook's own folder and moved out whole: no draft stays
    // there, and no other workbook beside it.
    QCOMPARE(QDir(m_fx->fx.dm->TempDir).entryList({"*.xlsx"}, QDir::Files), QStringList());
    QCOMPARE(QDir(book.absolutePath()).entryList({"*.xlsx"}, QDir::Files), QStringList{book.fileName()});
    QCOMPARE(frmDialog->lblText()->text(), QStringLiteral("Odesílám aplikaci MS Excel ..."));
    QVERIFY(!frmDialog->isVisible());
    QVERIFY(m_messages->shown.isEmpty());
}

void TestExportCommands::workbookWithoutProgramIsReported()
{
    m_openerAnswer = false;
    w().actExportXLS->trigger();
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_messages->shown[0].type, mtWarning);
    QVERIFY2(m_messages->lastText().contains(QDir::toNativeSeparators(m_opened[0])),
             qPrintable(m_messages->lastText()));
    QVERIFY(QFile::exists(m_opened[0]));
}

void TestExportCommands::desktopOpenerOutcome_data()
{
    QTest::addColumn<QByteArray>("ending"); // how the desktop's opener ends
    QTest::addColumn<bool>("reported");
    QTest::newRow("opened") << QByteArray("exit 0") << false;
    // xdg-open's own codes: no program for the file, the program failed, bad arguments.
    QTest::newRow("no program for the type") << QByteArray("exit 3") << true;
    QTest::newRow("program failed") << QByteArray("exit 4") << true;
    QTest::newRow("syntax") << QByteArray("exit 1") << true;
    QTest::newRow("killed") << QByteArray("kill -9 $$") << true;
}

// The desktop's own opener: its real outcome decides, not the mere start of it.
void TestExportCommands::desktopOpenerOutcome()
{
    QFETCH(QByteArray, ending);
    QFETCH(bool, reported);
    SetDocumentOpener({});
    QTemporaryDir bin;
    const QString called = bin.filePath(QStringLiteral("called"));
    QVERIFY(WriteTestFile(bin.filePath(QStringLiteral("xdg-open")),
                          "#!/bin/sh\nprintf '%s' \"$1\" > '" + called.toUtf8() + "'\n" + ending + "\n"));
    QVERIFY(QFile::setPermissions(bin.filePath(QStringLiteral("xdg-open")),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
    const auto restore = qScopeGuard([&] { qputenv("PATH", path); });

    w().actExportXLS->trigger();
    const QString book = QString::fromUtf8(ReadTestFile(called));
    QVERIFY2(book.endsWith(QStringLiteral(".xlsx")), qPrintable(book));
    QVERIFY(QFile::exists(book));
    if (!reported) {
        QVERIFY(m_messages->shown.isEmpty());
        return;
    }
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("Sešit je uložen v souboru \"%1\", ale v systému není program, který by jej "
                                        "otevřel. Otevřete jej v tabulkovém procesoru.")
                             .arg(QDir::toNativeSeparators(QFileInfo(book).absoluteFilePath()))});
    QCOMPARE(m_messages->shown[0].type, mtWarning);
}

void TestExportCommands::workbookLimit()
{
    // The sample log's 4 QSOs and 65,532 more: one over the limit.
    QSqlQuery insert(QSqlDatabase::database(TdmLog::DatabaseName));
    QVERIFY(insert.exec(QStringLiteral(
        "INSERT INTO log (DAT, UTC, CALL, FREQ, BAND, MODE, QSLO, QSLP, EQSLP) "
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 65532) "
        "SELECT '2008-01-01', printf('%02d:%02d:%02d', i / 3600 % 24, i / 60 % 60, i % 60), 'OK' || i, "
        "14.0, 6, 1, 0, 0, 0 FROM n")));
    w().RefreshLog(false, false);
    QCOMPARE(w().qLog->RecordCount(), 65536);

    w().actExportXLS->trigger();
    QCOMPARE(m_messages->texts(),
             QStringList{QStringLiteral("Je možné exportovat maximálně 65535 záznamů!")});
    QCOMPARE(m_messages->shown[0].type, mtInformation);
    QVERIFY(m_opened.isEmpty());
    QVERIFY(!frmDialog->isVisible());

    // Ten marked QSOs of them are exported.
    for (int row = 0; row < 10; ++row)
        m_fx->model().SetMarked(w().qLog->IdAt(row * 1000), true);
    w().actExportXLS->trigger();
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_messages->shown.size(), 1);

    // 65,535 QSOs without marks are exported.
    m_fx->model().ClearMarks();
    QVERIFY(insert.exec(QStringLiteral("DELETE FROM log WHERE CALL = 'OK1'")));
    w().RefreshLog(false, false);
    QCOMPARE(w().qLog->RecordCount(), 65535);
    w().actExportXLS->trigger();
    QCOMPARE(m_opened.size(), 2);
    QCOMPARE(m_messages->shown.size(), 1);
}

QTEST_MAIN(TestExportCommands)
#include "tst_exportcommands.moc"
