#pragma once
// A program folder of its own for the import windows: Velkor.ini, Data/ with an open log,
// the temporary folder, the build's entity list, and the main window's view as the
// import windows see it. Modal windows are answered by a hook that the test sets per
// window name; a window without an answer fails the test.

#include "log/DmLog.h"
#include "radio/DxccList.h"
#include "ExchangeHost.h"
#include "log/LogTable.h"
#include "ModalRunner.h"
#include "ScriptedMessages.h"
#include "log/VkrDatabase.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

struct ImportWindowFixture {
    static inline const QString Call = QStringLiteral("OK1XYZ");

    QTemporaryDir dir;
    std::unique_ptr<TdmLog> dm;
    std::unique_ptr<TDxccList> dxcc;
    TExchangeHost host;
    ScriptedMessages messages;
    QHash<QString, std::function<int(QDialog &)>> answers;
    QStringList shownWindows;
    int refreshes = 0;

    ImportWindowFixture()
    {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("Data"));
        root.mkpath(QStringLiteral("Temp"));
        qputenv("TEMP", root.filePath(QStringLiteral("Temp")).toLocal8Bit());
        QFile ini(root.filePath(QStringLiteral("Velkor.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write("[Users]\r\n0=OK1XYZ\r\n");
        ini.close();
        dm = std::make_unique<TdmLog>(dir.path());
        dm->UserOptions.Load(dm->DataDir + Call + QStringLiteral(".uf"));
        dm->UserOptions.SetCall(Call);
        dm->UserOptions.SetLocator(QStringLiteral("JN79SX"));
        CreateLogTable(dm->LogFileName(Call));
        dm->OpenDatabase(Call);
        dxcc = std::make_unique<TDxccList>(QStringLiteral(VELKOR_STAGE_DIR "/"));
        host.dm = dm.get();
        host.dxccList = dxcc.get();
        host.refreshLog = [this] { ++refreshes; };
        SetModalHook([this](QDialog &dialog) {
            shownWindows << dialog.objectName();
            const auto answer = answers.value(dialog.objectName());
            if (!answer) {
                qWarning("unexpected window %s", qPrintable(dialog.objectName()));
                return int(2);
            }
            return answer(dialog);
        });
    }

    ~ImportWindowFixture()
    {
        SetModalHook({});
        dxcc.reset();
        dm.reset();
    }

    qint64 logCount() const { return LogTable(TdmLog::DatabaseName).RecordCount(); }

    QString writeFile(const QString &name, const QByteArray &data) const
    {
        const QString path = QDir(dir.path()).filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(data);
        return path;
    }

    // Saves a picture of the window when VELKOR_SCREENSHOTS names a folder.
    static void screenshot(QWidget &window, const QString &name)
    {
        const QString folder = qEnvironmentVariable("VELKOR_SCREENSHOTS");
        if (folder.isEmpty())
            return;
        window.show();
        QTest::qWait(50);
        window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
        window.hide();
    }
};

// Checks inside a window's answer, which returns the window's modal result: a failed
// check records the failure and answers 0 (no result).
#define LCOMPARE(actual, expected)                                                                           \
    do {                                                                                                     \
        if (!QTest::qCompare(actual, expected, #actual, #expected, __FILE__, __LINE__))                      \
            return 0;                                                                                        \
    } while (false)
#define LVERIFY(condition)                                                                                   \
    do {                                                                                                     \
        if (!QTest::qVerify(static_cast<bool>(condition), #condition, "", __FILE__, __LINE__))               \
            return 0;                                                                                        \
    } while (false)
