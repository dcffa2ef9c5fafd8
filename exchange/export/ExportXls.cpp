// The workbook writer: an .xlsx file with one sheet "Tab", bold captions in row 1 and one
// QSO per row from row 2, written with libxlsxwriter. The spreadsheet program opens it
// afterwards; the column widths are computed here from the content, as the spreadsheet's
// own auto-fit would set them.

#include "export/Export.h"
#include "export/ExportValues.h"
#include "export/ExportWalk.h"

#include "radio/Amater.h"
#include "base/FileError.h"
#include "base/FileUtils.h"
#include "base/Formats.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

#include <array>
#include <charconv>

using namespace ExportValues;

namespace
{

constexpr int ColumnCount = 24;
constexpr double MsPerDay = 86400000.0;

enum Column {
    colDAT,
    colUTC,
    colCALL,
    colMCALL,
    colFREQ,
    colBAND,
    colMODE,
    colRSTO,
    colRSTP,
    colNAME,
    colQTH,
    colLOCP,
    colLOCO,
    colQSLO,
    colQSLP,
    colEQSLP,
    colQSLVIA,
    colNOTE,
    colPWR,
    colDXCC,
    colITU,
    colWAZ,
    colIOTA,
    colAWARD
};

QStringList captions()
{
    QStringList c;
    for (int f : {fiDAT, fiUTC, fiCALL})
        c << LogFieldCaptions[f];
    c << QStringLiteral("MCALL");
    for (int f : {fiFREQ, fiBAND,  fiMODE,   fiRSTO, fiRSTP, fiNAME, fiQTH, fiLOCP, fiLOCO, fiQSLO,
                  fiQSLP, fiEQSLP, fiQSLVIA, fiNOTE, fiPWR,  fiDXCC, fiITU, fiWAZ,  fiIOTA, fiAWARD})
        c << LogFieldCaptions[f];
    return c;
}

template <size_t N> QString nameOf(const std::array<QString, N> &names, const TLogRowView &r, int field)
{
    const int index = Index(r, field);
    return index >= 0 && index < int(N) ? names[size_t(index)] : QString();
}

class Workbook
{
public:
    explicit Workbook(const QString &fileName) : m_fileName(fileName)
    {
        // The workbook holds the operator's QSOs and is left in the shared temporary
        // folder for the spreadsheet program: it is the operator's alone, as the log is.
        // Made so before it is filled; the writer replaces the contents, not the mode.
        CreateOwnerOnlyFile(fileName);
        m_book = workbook_new(QFile::encodeName(fileName).constData());
        if (!m_book)
            cannotWrite();
        m_sheet = workbook_add_worksheet(m_book, "Tab");
        m_bold = workbook_add_format(m_book);
        format_set_bold(m_bold);
        m_time = workbook_add_format(m_book);
        format_set_num_format(m_time, "hh:mm:ss");
        // Four decimals, shown with the spreadsheet's own decimal separator.
        m_freq = workbook_add_format(m_book);
        format_set_num_format(m_freq, "0.0000");
        m_text = workbook_add_format(m_book);
        format_set_num_format(m_text, "@");
        m_widths.fill(0);
    }

    ~Workbook()
    {
        // After a failure nothing is written: the workbook is only freed.
        if (m_book)
            lxw_workbook_free(m_book);
    }

    void Captions()
    {
        const QStringList texts = captions();
        for (int col = 0; col < ColumnCount; ++col)
            string(0, col, texts[col], m_bold, true);
    }

    void Row(int row, const TLogRowView &r)
    {
        m_utf8.resize(0);
        AppendDate(m_utf8, r.Date(fiDAT), true);
        ascii(row, colDAT, m_utf8, nullptr);
        if (r.IsNull(fiUTC))
            blank(row, colUTC, m_time);
        else
            number(row, colUTC, r.Time(fiUTC).msecsSinceStartOfDay() / MsPerDay, m_time, 8);
        text(row, colCALL, r, fiCALL);
        baseCall(row, colMCALL, r);
        const double freq = r.Double(fiFREQ);
        number(row, colFREQ, freq, m_freq, QString::number(freq, 'f', 4).size());
        string(row, colBAND, BandName(r));
        string(row, colMODE, ModeName(r));
        text(row, colRSTO, r, fiRSTO, m_text);
        text(row, colRSTP, r, fiRSTP, m_text);
        text(row, colNAME, r, fiNAME);
        text(row, colQTH, r, fiQTH);
        text(row, colLOCP, r, fiLOCP);
        text(row, colLOCO, r, fiLOCO);
        string(row, colQSLO, nameOf(QslSentNames, r, fiQSLO));
        string(row, colQSLP, nameOf(QslRcvdNames, r, fiQSLP));
        string(row, colEQSLP, nameOf(EQslNames, r, fiEQSLP));
        text(row, colQSLVIA, r, fiQSLVIA);
        text(row, colNOTE, r, fiNOTE);
        const double pwr = r.Double(fiPWR);
        number(row, colPWR, pwr, nullptr, QString::number(pwr, 'g', 15).size());
        text(row, colDXCC, r, fiDXCC);
        integer(row, colITU, r.Int(fiITU));
        integer(row, colWAZ, r.Int(fiWAZ));
        text(row, colIOTA, r, fiIOTA);
        text(row, colAWARD, r, fiAWARD);
    }

    // Sets the widths and writes the file.
    void Close()
    {
        for (int col = 0; col < ColumnCount; ++col)
            check(worksheet_set_column(m_sheet, lxw_col_t(col), lxw_col_t(col), width(col), nullptr));
        lxw_workbook *book = m_book;
        m_book = nullptr;
        if (workbook_close(book) != LXW_NO_ERROR || !QFile::setPermissions(m_fileName, OwnerOnlyFile)) {
            QFile::remove(m_fileName);
            cannotWrite();
        }
    }

private:
    // A text field: its stored bytes when they are ASCII (UTF-8 as they are), else its text.
    void text(int row, int col, const TLogRowView &r, int field, lxw_format *format = nullptr)
    {
        QByteArrayView bytes;
        if (!r.Ascii(field, bytes))
            return string(row, col, r.String(field), format);
        m_utf8.resize(0);
        m_utf8.append(bytes);
        ascii(row, col, m_utf8, format);
    }

    void baseCall(int row, int col, const TLogRowView &r)
    {
        QByteArrayView bytes;
        if (!r.Ascii(fiCALL, bytes))
            return string(row, col, ExtractBaseCall(r.String(fiCALL)));
        m_utf8.resize(0);
        AppendBaseCall(m_utf8, r, fiCALL);
        ascii(row, col, m_utf8, nullptr);
    }

    // ASCII bytes, as `string` writes the same text.
    void ascii(int row, int col, const QByteArray &value, lxw_format *format)
    {
        if (value.isEmpty()) {
            if (format)
                blank(row, col, format);
            return;
        }
        check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(col), value.constData(), format));
        fit(col, int(value.size()));
    }

    void integer(int row, int col, int value)
    {
        char digits[16];
        number(row, col, value, nullptr, std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
    }

    void string(int row, int col, const QString &value, lxw_format *format = nullptr, bool bold = false)
    {
        if (value.isEmpty()) {
            if (format)
                blank(row, col, format);
            return;
        }
        check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(col), value.toUtf8().constData(),
                                     format));
        // Bold letters are a little wider.
        fit(col, bold ? int(value.size()) * 11 / 10 + 1 : int(value.size()));
    }

    void number(int row, int col, double value, lxw_format *format, qsizetype shownLength)
    {
        check(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(col), value, format));
        fit(col, int(shownLength));
    }

    void blank(int row, int col, lxw_format *format)
    {
        check(worksheet_write_blank(m_sheet, lxw_row_t(row), lxw_col_t(col), format));
    }

    void fit(int col, int characters) { m_widths[size_t(col)] = std::max(m_widths[size_t(col)], characters); }

    // In the spreadsheet's unit (the width of one digit), with a little room on both sides.
    double width(int col) const { return std::min(255.0, m_widths[size_t(col)] + 1.7); }

    void check(lxw_error error)
    {
        if (error != LXW_NO_ERROR)
            throw EFileError(
                QStringLiteral("Chyba při vytváření sešitu \"%1\": %2")
                    .arg(QDir::toNativeSeparators(m_fileName), QString::fromUtf8(lxw_strerror(error))));
    }

    [[noreturn]] void cannotWrite()
    {
        throw EFileError(
            QStringLiteral("Soubor \"%1\" nelze vytvořit!").arg(QDir::toNativeSeparators(m_fileName)));
    }

    QString m_fileName;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_bold = nullptr;
    lxw_format *m_time = nullptr;
    lxw_format *m_freq = nullptr;
    lxw_format *m_text = nullptr;
    std::array<int, ColumnCount> m_widths;
    QByteArray m_utf8; // the bytes of the cell being written
};

} // namespace

void ExportXLS(LogQuery &query, const QList<TBookmark> &marked, const QString &fileName,
               const TProgressEvent &onProgress)
{
    TExportWalk walk(query, marked, ExportXLSMaxRows);
    Workbook book(fileName);
    book.Captions();
    int row = 1;
    walk.Run([&](const TLogRowView &r) { book.Row(row++, r); }, onProgress);
    book.Close();
}
