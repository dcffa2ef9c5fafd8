#pragma once
// The code an ADIF file's texts are written in, told once for the whole file. ADIF says
// nothing of it: older programs, this logbook's own export among them, write an 8-bit
// code page, newer ones UTF-8. Some Windows-1250 text is also well-formed UTF-8 ("ÍŠ" is
// the bytes of one UTF-8 character), so one value alone cannot tell; the other values of
// the file can.

#include <QtGlobal>

// True when the file's texts are to be read as UTF-8 (a value that is not well-formed
// UTF-8 is then still read in the 8-bit code page on its own); false when they are all
// 8-bit. A file with the UTF-8 byte-order mark is UTF-8, the logbook's own export is
// 8-bit; otherwise the texts beyond ASCII between the tags vote, each as UTF-8 when it
// is well-formed UTF-8 that reads as text, and the file is UTF-8 unless the other
// votes are more. The values of *_INTL tags, UTF-8 by the format, do not vote.
bool IsUtf8AdifFile(const uchar *data, qint64 size);
