#pragma once
// The byte records that travel between the logbook and the DX-cluster client (and any
// other program that hands a call sign to the QSO window). Their layout is fixed and
// little-endian, so that both sides agree whatever the compiler does with structs.

#include <QByteArray>
#include <QString>

#include <optional>

// The tag every copy-data message of the system carries; other tags are ignored.
inline constexpr quint32 CopyDataTag = 10;

// The client's window size, sent to the logbook when the client's window closes.
// Layout: Width (int32), Height (int32), Maximized (1 byte), 3 bytes of padding.
struct TDxClusterWindowData {
    static constexpr int Size = 12;

    qint32 Width = 0;
    qint32 Height = 0;
    bool Maximized = false;

    QByteArray encode() const;
    // Accepts exactly Size bytes; any other length is not this record.
    static std::optional<TDxClusterWindowData> decode(const QByteArray &bytes);

    friend bool operator==(const TDxClusterWindowData &, const TDxClusterWindowData &) = default;
};

// A call sign and frequency handed to the QSO window.
// Layout: a length byte (0..15) and 15 characters of call sign, then Freq (IEEE double, MHz).
struct TCopyToLogData {
    static constexpr int Size = 24;
    static constexpr int MaxCallLength = 15;

    QString Call;
    double Freq = 0.0;

    // Longer call signs are cut to MaxCallLength characters; characters outside Latin-1
    // cannot travel in the 8-bit record and become '?'.
    QByteArray encode() const;
    // Accepts exactly Size bytes with a length byte of at most 15 and a finite frequency.
    static std::optional<TCopyToLogData> decode(const QByteArray &bytes);

    friend bool operator==(const TCopyToLogData &, const TCopyToLogData &) = default;
};
