#pragma once
// The ADIF reader of the import: takes every field the logbook knows from the scanned
// file into the staged record, completes and checks the record at its <EOR>, drops
// duplicates of the open log, and posts the rest into the staging table, adding an error
// or warning line for everything it refuses or fills in. Nothing here shows a window;
// the review window shows what it produced.

#include "import/AdifScanner.h"
#include "import/ImportOptions.h"
#include "import/ImportStaging.h"
#include "log/LogRecord.h"
#include "base/Progress.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <array>
#include <optional>
#include <string>
#include <unordered_map>

class TDxccList;
class TImportDupeIndex;

// CRC-32 of the upper-cased names of the tags the reader takes.
namespace AdifTag
{
inline constexpr quint32 QSO_DATE = 0x17913A6A, TIME_ON = 0xEF6D2B59, CALL = 0xFA1BC28A, FREQ = 0x6161F801,
                         BAND = 0x7E4A4F5F, MODE = 0xA15FAA1F, RST_SENT = 0xE055D202, RST_RCVD = 0xC3C841E8,
                         NAME = 0x68B693B2, QTH = 0x34EFCC67, STX = 0x2ADC086D, SRX = 0x7C86AFEB,
                         MY_GRIDSQUARE = 0x95CC0D21, GRIDSQUARE = 0xC9079B7F, WWL_RCVD = 0x90E2EB69,
                         QSL_SENT = 0x815F5517, QSL_RCVD = 0xA2C2C6FD, EQSL_RCVD = 0xB5EC4B72,
                         QSL_VIA = 0xD4E83AD0, COMMENT = 0xAB31AC76, NOTES = AdifTagNOTES,
                         TX_PWR = 0xA1F3A547, DXCCP = 0xA70B5072, IOTA = 0x6392EB00, ITUZ = 0xE09F5F3C,
                         CQZ = 0xA5833E74, AWARD = 0x7D0FEC57, SUBMODE = 0x713ACB3A, NAME_INTL = 0xE8C1FBA2,
                         QTH_INTL = 0x4FD91318, COMMENT_INTL = 0x58B1D4C6, NOTES_INTL = AdifTagNOTES_INTL;
} // namespace AdifTag

// "YYYYMMDD": eight digits of a real calendar date, the year beginning with 1 or 2.
bool ParseAdifDate(const char *text, QDate &date);
// "HHMM" or "HHMMSS" of a valid time of day.
bool ParseAdifTime(const char *text, QTime &time);

class TAdifImport : public TAdifSink
{
public:
    // dxcc may be null (no entity is then resolved); dupes null means no duplicate check.
    TAdifImport(TImportStaging &staging, const TImportOptions &options, TDxccList *dxcc,
                const TImportDupeIndex *dupes = nullptr);

    // Called with the percentage of the file read, whenever it changes.
    void SetProgress(TProgressEvent progress) { m_progress = TProgressReporter(std::move(progress)); }

    // Reads the file, mapped into memory, into the staging table in one transaction.
    // Raises EVelkorError when the file cannot be mapped or holds a length that is not a
    // number; the records staged so far are then dropped.
    void ReadFile(const QString &fileName);
    // The same over bytes in memory.
    void ReadData(const uchar *data, qint64 size);

    void ProcessAdifField(quint32 tagHash, char *data, int length) override;
    void AdifLengthRepaired(TAdifLengthRepair repair, QByteArrayView leftOut) override
    {
        m_repair = repair;
        m_leftOut = leftOut;
    }
    void ProcessAdifRecord(qint64 remaining) override;
    bool AdifTextIsUtf8() override;

private:
    // The field being taken: its tag and its data, trimmed, which the taking may change
    // in place (case conversions).
    struct TAdifField {
        quint32 tag;
        char *data;
        int length;
    };
    // How a value's bytes are read when they are not ASCII: in the file's code; the same
    // with the 8-bit code page of the options; as UTF-8 when they are UTF-8 (*_INTL).
    enum class TTextCode { File, Options, Intl };

    void scan(const uchar *data, qint64 size);
    void dropPendingRecord(bool fieldCutShort);
    void newRecord();
    void setText(int field, const QString &text);
    QString decodeText(TTextCode code, const char *data, int length);
    const QString &decodedText(quint32 tagHash, TTextCode code, const char *data, int length);
    int modeOfName(const char *data, int length, const QString &text);

    // One field, by its kind (AdifImportField.cpp); false for a tag without a field.
    bool takeField(TAdifField &f);
    const QString &text(const TAdifField &f);
    void refuse(const QString &format, const TAdifField &f);
    void reportRepair(const TAdifField &f, TAdifLengthRepair repair);
    void takeDateOrTime(const TAdifField &f);
    void takeCallOrPrefix(TAdifField &f);
    void takeIota(TAdifField &f);
    void takeBandOrMode(TAdifField &f);
    void takeLocator(TAdifField &f);
    bool takeSubsquare(int field, const TAdifField &f, const QString &warning);
    void takeNameOrNote(const TAdifField &f);
    void takePlainText(const TAdifField &f);
    void takeZone(const TAdifField &f);
    void takeFrequency(const TAdifField &f);
    void takePower(const TAdifField &f);
    void takeQslLetter(TAdifField &f);

    // The end of a record (AdifImportRecord.cpp).
    void completeRecord();
    void fillFromIntl();
    void resolveEntity();

    TImportStaging &m_staging;
    TImportOptions m_options;
    TDxccList *m_dxcc;
    const TImportDupeIndex *m_dupes;
    TProgressReporter m_progress{{}};

    TLogRecord m_record;          // the staged record being read
    bool m_recordHasData = false; // a field the reader takes was read into it
    TImportStaging::TMessageMark m_recordStart; // message lines and counts when it began
    const uchar *m_data = nullptr; // the file being read
    qint64 m_size = 0;
    std::optional<bool> m_utf8File; // its texts are UTF-8 (IsUtf8AdifFile), once asked
    // The record's NAME_INTL, QTH_INTL and COMMENT_INTL or NOTES_INTL: they fill their
    // field at the end of the record when the plain tag left it empty.
    std::array<QString, 3> m_intl;
    int m_submode = 0; // the mode of the record's SUBMODE when the table has it
    TAdifLengthRepair m_repair = TAdifLengthRepair::None; // of the field being taken
    QByteArrayView m_leftOut;                             // the text its repair left out
    std::unordered_map<std::string, int> m_modeOfName; // the mode of each name met so far
    // The last text decoded for each tag, from the bytes it was decoded from: most tags
    // repeat their values from record to record, and a repeated one shares the text.
    struct TDecodedText {
        quint32 tagHash = 0; // 0: nothing decoded yet
        TTextCode code = TTextCode::File;
        std::string bytes;
        QString text;
    };
    std::array<TDecodedText, 64> m_decoded; // by decodedSlot of the tag
    QString m_uncached; // a decoded text too long to be kept
};
