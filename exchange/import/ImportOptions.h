#pragma once
// The settings of one import: what the operator confirms in the import options dialog
// before the source is read, and which of them a source format cannot use. The importers
// read them and change nothing in them.

#include <QFlags>
#include <QString>
#include <QStringList>

class TUserOptions;

struct TImportOptions {
    quint8 CharSet = 0;           // code page of the source text, index of ImportCharSetNames
    bool CheckDupes = false;      // drop records equal to a QSO of the open log (ADIF)
    bool StxSrxToNameQth = false; // ADIF STX as the name, SRX as the QTH; NAME and QTH ignored
    bool ReplaceNote = false;     // every record gets Note instead of the source's note
    double Power = 0;             // W, for records whose source gives none
    QString OwnLocator;           // for records whose source gives none
    QString Note;                 // used with ReplaceNote
};

// Options a source format cannot use; the dialog greys their controls out.
enum TImportDisableFlag : quint8 {
    idStxSrx = 0x1,  // chImportSTXSRX
    idCharSet = 0x2, // cbCharSet
    idDupes = 0x4,   // chDupe
};
Q_DECLARE_FLAGS(TImportDisable, TImportDisableFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TImportDisable)

// The three sources of the main window's import commands.
enum class TImportSource { Adif, Trevan, Ostrel };

// The code pages of the options dialog; the index is TImportOptions::CharSet.
inline const QStringList ImportCharSetNames{QStringLiteral("CP1250 (Windows)"),
                                            QStringLiteral("CP895 (Kamenických)"),
                                            QStringLiteral("CP852 (Latin II)"), QStringLiteral("ISO8859-2")};

// The options a command presets before the dialog: own locator and power from the
// operator's settings, no note, and the code page and duplicate check of the source.
TImportOptions ImportOptionsPreset(TImportSource source, const TUserOptions &user);
// The options the source cannot use: none for ADIF, STX/SRX and duplicates for the other
// logbook's dBase table, all three for an old log table of this program.
TImportDisable ImportDisableFor(TImportSource source);
