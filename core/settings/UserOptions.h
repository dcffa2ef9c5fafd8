#pragma once
// One operator's settings file <CALL>.uf. Every setting is read from and written to
// the in-memory ini contents by its own getter and setter; only the call sign is kept
// apart, in Call. A getter returns the key's default when the key is missing or its
// value does not convert, and for keys with a range also when the value lies outside.

#include "settings/Options.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// Offered by the settings dialog and used when the operator never chose a cluster.
inline const QString DefaultClusterHost = QStringLiteral("dxc.nc7j.com");
inline constexpr int DefaultClusterPort = 41112;
// Public time servers offered by the settings dialog for setting the PC clock.
inline const std::array<QString, 2> NtpServerNames{QStringLiteral("cz.pool.ntp.org"),
                                                   QStringLiteral("pool.ntp.org")};

class TUserOptions : public TOptions
{
public:
    // The file holds the cluster password: it is written for its owner alone.
    TUserOptions() { Ini.SetOwnerOnly(true); }

    // The operator's call sign in upper case, the name of the log; kept in step with
    // [User] Call.
    QString Call;

    // Loads the file, then takes Call from [User] Call in upper case.
    void Load(const QString &fileName) override;
    // Empties the settings and Call.
    void Clear() override;
    // Stores the upper-cased call sign in Call and in [User] Call.
    void SetCall(const QString &call);

    // [User]
    QString GetLocator() const;              // empty unless a valid six-character locator
    void SetLocator(const QString &locator); // stored in upper case

    // [DateTime]
    bool GetNTPSync() const;
    void SetNTPSync(bool value);
    QString GetNTPServer() const;
    void SetNTPServer(const QString &value);

    // [nQSO]: defaults of the QSO window
    QString GetRSTo() const; // at most 3 characters
    void SetRSTo(const QString &value);
    QString GetRSTp() const;
    void SetRSTp(const QString &value);
    double GetPower() const; // watts, rounded to 3 decimals; 100 outside 0 <= p < 1000000
    void SetPower(double value);
    int GetQSLo() const; // 0..3
    void SetQSLo(int value);
    int GetQSLp() const; // 0..1
    void SetQSLp(int value);
    bool GetRefreshLog() const;
    void SetRefreshLog(bool value);
    bool GetLookInLog() const;
    void SetLookInLog(bool value);
    bool GetLookInCB() const;
    void SetLookInCB(bool value);
    bool GetNameUpCase() const;
    void SetNameUpCase(bool value);
    int GetQuickQSOs() const;
    void SetQuickQSOs(int value);

    // Frequency list, stored as "3,5;7;14,025;". Entries that do not convert are
    // skipped, as is text after the last ";".
    void GetFreqs(QStringList &list) const;       // cleared first; entries as "0.####"
    void GetFreqArray(QList<double> &list) const; // appended to, not cleared
    void SetFreqs(const QList<double> &freqs);
    int GetFreq() const; // position of the current entry in the list
    void SetFreq(int value);

    // Mode list, stored as mode-table indexes "1;2;3;". Entries that do not convert
    // or lie outside the mode table are skipped; the default is every mode 1..27.
    void GetModes(QStringList &list) const;    // cleared first; mode names
    void GetModeArray(QList<int> &list) const; // cleared first; mode indexes
    void SetModes(const QList<int> &modes);
    int GetMode() const; // position of the current entry in the list
    void SetMode(int value);

    // [ListDxcc] and [ListIOTA]: sizes of the list windows
    int GetListDxccWidth() const;
    void SetListDxccWidth(int value);
    int GetListDxccHeight() const;
    void SetListDxccHeight(int value);
    bool GetListDxccMaximized() const;
    void SetListDxccMaximized(bool value);
    int GetListIOTAWidth() const;
    void SetListIOTAWidth(int value);
    int GetListIOTAHeight() const;
    void SetListIOTAHeight(int value);
    bool GetListIOTAMaximized() const;
    void SetListIOTAMaximized(bool value);

    // [Map]: written for a new operator, never read
    void SetMapCenterX(double value);
    void SetMapCenterY(double value);
    void SetMapZoom(double value);
    void SetMapWWLGrid(bool value);
    void SetMapGeoGrid(bool value);

    // [Design]: indexes into the display-format tables of the log grid
    int GetDateFormat() const; // 0..5
    void SetDateFormat(int value);
    int GetTimeFormat() const; // 0..3
    void SetTimeFormat(int value);
    int GetFreqFormat() const; // 0..6
    void SetFreqFormat(int value);
    bool GetExtendedFont() const;
    void SetExtendedFont(bool value);

    // [Columns]: the log grid's layout, keyed by log field name.
    // Alignments: 0 left, 1 right, 2 centre.
    QString GetColumnCaption(const QString &fieldName) const; // default: the field name
    void SetColumnCaption(const QString &fieldName, const QString &value);
    int GetColumnCaptionAlignment(const QString &fieldName) const;
    void SetColumnCaptionAlignment(const QString &fieldName, int value);
    int GetColumnAlignment(const QString &fieldName) const;
    void SetColumnAlignment(const QString &fieldName, int value);
    int GetColumnWidth(const QString &fieldName) const;
    void SetColumnWidth(const QString &fieldName, int value);
    int GetColumnIndex(const QString &fieldName, int defaultIndex) const;
    void SetColumnIndex(const QString &fieldName, int value);
    bool GetColumnVisible(const QString &fieldName) const;
    void SetColumnVisible(const QString &fieldName, bool value);

    // [WENDRA]: the DX-cluster client
    int GetClusterWidth() const;
    void SetClusterWidth(int value);
    int GetClusterHeight() const;
    void SetClusterHeight(int value);
    bool GetClusterMaximized() const;
    void SetClusterMaximized(bool value);
    QString GetClusterHost() const;
    void SetClusterHost(const QString &value);
    int GetClusterPort() const; // 1..65535
    void SetClusterPort(int value);
    // Stored scrambled in S1 and S2; empty unless both are present and well formed.
    QString GetClusterPassword() const;
    void SetClusterPassword(const QString &password); // cut to 15 characters

    // [BackUp]: automatic backup when a log is closed
    bool GetBackUpEnabled() const;
    void SetBackUpEnabled(bool value);
    int GetBackUpInterval() const; // 0 weekly, 1 monthly
    void SetBackUpInterval(int value);
    QDate GetBackUpLast() const; // today when never stored
    void SetBackUpLast(const QDate &value);
    QString GetBackUpPath() const; // empty: the program's own backup folder
    void SetBackUpPath(const QString &value);

private:
    int readIntInRange(const QString &section, const QString &key, int defaultValue, int low, int high) const;
};
