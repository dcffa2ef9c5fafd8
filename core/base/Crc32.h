#pragma once
// CRC-32 as zlib, PNG and IEEE 802.3 compute it (reflected polynomial 0xEDB88320,
// initial value 0xFFFFFFFF, final complement). The backup archive is checked with it
// and the ADIF import hashes tag names with the step-by-step routines.

#include <QtGlobal>

class QIODevice;

// The CRC of a buffer in one call; 0 for an empty buffer.
quint32 CalcCRC32(const void *buf, qsizetype len);

// The CRC of a device from its current position to its end, read in chunks of at most
// 61440 bytes. The device is left at its end.
quint32 CRC32Stream(QIODevice &stream);

// The same computation in steps: Init, any number of updates, Final.
void CRC32Init(quint32 &crc);
void CRC32UpdateByte(quint32 &crc, quint8 b);
void CRC32Update(quint32 &crc, const void *buf, qsizetype len);
void CRC32Final(quint32 &crc);
