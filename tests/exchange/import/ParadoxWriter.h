#pragma once
// Writes small Paradox 7 tables for the tests, the way an older logbook stored its log:
// one 2 KB block after another, numbers big-endian with the sign bit flipped, memos that
// do not fit their leader in blocks of their own in the .mb file beside the table.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>
#include <QVariant>
#include <QtEndian>

#include <cstring>

struct ParadoxField {
    QByteArray name;
    char type; // A D T @ N $ S I + L M
    int size;
};

class ParadoxWriter
{
public:
    static constexpr int HeaderSize = 2048;
    static constexpr int BlockSize = 2048;

    // Writes `path` (and, when a memo needs it, the .mb file beside it); false on failure.
    static bool write(const QString &path, const QList<ParadoxField> &fields, const QList<QVariantList> &rows,
                      quint16 codePage = 1250)
    {
        int recordSize = 0;
        for (const ParadoxField &f : fields)
            recordSize += f.size;
        QByteArray memo(4096, '\0'); // the memo file's header block
        memo[1] = 1;
        // A table with memo fields always has its memo file, even when every memo fits
        // its leader.
        bool memoUsed = std::any_of(fields.cbegin(), fields.cend(), [](const ParadoxField &f) { return f.type == 'M'; });
        QByteArray records;
        for (const QVariantList &row : rows)
            for (int i = 0; i < fields.size(); ++i)
                records += encode(fields[i], row.value(i), memo, memoUsed);
        const int perBlock = (BlockSize - 6) / recordSize;
        const int blocks = rows.isEmpty() ? 0 : int((rows.size() + perBlock - 1) / perBlock);
        QByteArray file = header(fields, recordSize, int(rows.size()), blocks, codePage);
        for (int b = 0; b < blocks; ++b) {
            QByteArray block(BlockSize, '\0');
            const int first = b * perBlock;
            const int count = std::min<int>(perBlock, int(rows.size()) - first);
            qToLittleEndian<quint16>(b + 1 < blocks ? b + 2 : 0, block.data());
            qToLittleEndian<quint16>(b, block.data() + 2);
            qToLittleEndian<qint16>((count - 1) * recordSize, block.data() + 4);
            block.replace(6, count * recordSize, records.mid(first * recordSize, count * recordSize));
            file += block;
        }
        if (memoUsed && !save(QString(path).replace(QStringLiteral(".db"), QStringLiteral(".mb")), memo))
            return false;
        return save(path, file);
    }

private:
    static bool save(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    }

    static char code(char type)
    {
        switch (type) {
        case 'A': return 0x01;
        case 'D': return 0x02;
        case 'S': return 0x03;
        case 'I': return 0x04;
        case '$': return 0x05;
        case 'N': return 0x06;
        case 'L': return 0x09;
        case 'M': return 0x0C;
        case 'T': return 0x14;
        case '@': return 0x15;
        case '+': return 0x16;
        default: return 0;
        }
    }

    static QByteArray header(const QList<ParadoxField> &fields, int recordSize, int rows, int blocks, quint16 codePage)
    {
        QByteArray h(HeaderSize, '\0');
        char *d = h.data();
        qToLittleEndian<quint16>(recordSize, d);
        qToLittleEndian<quint16>(HeaderSize, d + 2);
        d[4] = 2; // not indexed
        d[5] = BlockSize / 1024;
        qToLittleEndian<quint32>(rows, d + 6);
        qToLittleEndian<quint16>(blocks, d + 0x0A);
        qToLittleEndian<quint16>(blocks, d + 0x0C);
        qToLittleEndian<quint16>(blocks ? 1 : 0, d + 0x0E);
        qToLittleEndian<quint16>(blocks, d + 0x10);
        qToLittleEndian<quint16>(fields.size(), d + 0x21);
        qToLittleEndian<quint32>(0xFF00FF00u, d + 0x25);
        d[0x39] = 0x0C;
        qToLittleEndian<quint16>(codePage, d + 0x6A);
        int at = 0x78;
        for (const ParadoxField &f : fields) {
            d[at++] = code(f.type);
            d[at++] = char(f.size);
        }
        at += 4 + int(fields.size()) * 4;
        std::memcpy(d + at, "LOG.DB", 6);
        at += 261;
        for (const ParadoxField &f : fields) {
            std::memcpy(d + at, f.name.constData(), f.name.size());
            at += int(f.name.size()) + 1;
        }
        return h;
    }

    static QByteArray integer(qint64 value, int size)
    {
        QByteArray bytes(size, '\0');
        const quint64 stored = quint64(value + (qint64(1) << (size * 8 - 1)));
        for (int i = 0; i < size; ++i)
            bytes[size - 1 - i] = char(stored >> (8 * i));
        return bytes;
    }

    static QByteArray number(double value)
    {
        QByteArray bytes(8, '\0');
        qToBigEndian(value, bytes.data());
        if (bytes[0] & 0x80)
            for (char &b : bytes)
                b = char(~b);
        else
            bytes[0] = char(bytes[0] | 0x80);
        return bytes;
    }

    static qint64 dayNumber(const QDate &date) { return date.toJulianDay() - QDate(1, 1, 1).toJulianDay() + 1; }

    static QByteArray encode(const ParadoxField &f, const QVariant &value, QByteArray &memo, bool &memoUsed)
    {
        if (value.isNull() && f.type != 'M')
            return QByteArray(f.size, '\0');
        switch (f.type) {
        case 'A': return value.toByteArray().leftJustified(f.size, '\0', true);
        case 'D': return integer(dayNumber(value.toDate()), 4);
        case 'T': return integer(value.toTime().msecsSinceStartOfDay(), 4);
        case '@': {
            const QDateTime t = value.toDateTime();
            return number(double(dayNumber(t.date())) * 86400000.0 + t.time().msecsSinceStartOfDay());
        }
        case 'N': case '$': return number(value.toDouble());
        case 'S': return integer(value.toLongLong(), 2);
        case 'I': case '+': return integer(value.toLongLong(), 4);
        case 'L': return QByteArray(1, value.toBool() ? char(0x81) : char(0x80));
        case 'M': {
            const QByteArray text = value.toByteArray();
            const int leader = f.size - 10;
            QByteArray field = text.left(leader).leftJustified(leader, '\0');
            QByteArray pointer(10, '\0');
            if (text.size() > leader) {
                memoUsed = true;
                const int chunks = int(text.size() + 9 + 4095) / 4096;
                QByteArray block(chunks * 4096, '\0');
                block[0] = 2;
                qToLittleEndian<quint16>(chunks, block.data() + 1);
                qToLittleEndian<quint32>(text.size(), block.data() + 3);
                qToLittleEndian<quint16>(1, block.data() + 7);
                block.replace(9, text.size(), text);
                qToLittleEndian<quint32>(quint32(memo.size()) | 0xFF, pointer.data());
                memo += block;
            }
            qToLittleEndian<quint32>(text.size(), pointer.data() + 4);
            qToLittleEndian<quint16>(1, pointer.data() + 8);
            return field + pointer;
        }
        default: return QByteArray(f.size, '\0');
        }
    }
};
