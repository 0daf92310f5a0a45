#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVector>

// One "#EXTINF" entry of an M3U channel list: the name after the line's first
// comma outside quotes, and the address on the next line that is neither
// empty nor a comment.
struct ChannelListEntry {
    QString name;
    QString address;

    bool operator==(const ChannelListEntry &other) const
    {
        return name == other.name && address == other.address;
    }
};
Q_DECLARE_TYPEINFO(ChannelListEntry, Q_RELOCATABLE_TYPE);

// What reading a channel list found. A refused file yields no entries.
struct ChannelListRead {
    enum class Refusal {
        None,
        Missing, // no such file
        NotAFile, // a folder, a pipe, a device...
        Unreadable, // it exists but cannot be opened or read
        TooLarge, // over ChannelListFile::MaxBytes
        NotText, // NUL or control bytes, or not UTF-8
    };

    Refusal refusal = Refusal::None;
    QString error; // the system's words for an unreadable file
    qint64 bytesRead = 0; // never more than MaxBytes + 1
    bool headerMissing = false; // read anyway: players accept lists without "#EXTM3U"
    QVector<ChannelListEntry> entries; // in file order
    int overlongLines = 0; // skipped; an entry waiting for its address is dropped with it
    int entriesWithoutName = 0; // "#EXTINF" with no comma or nothing after it
    int entriesWithoutAddress = 0; // "#EXTINF" followed by another one or by the end
    int addressesWithoutEntry = 0; // address lines with no "#EXTINF" before them
    int entriesPastLimit = 0; // whole entries after the first MaxEntries, not kept
};

// Reads the M3U lists users write by hand or export from other players:
// LF, CR LF or CR line ends, an optional UTF-8 byte order mark; names and
// addresses lose the spaces and tabs around them. Everything is bounded, so a wrong or hostile file costs
// little and changes nothing.
class ChannelListFile
{
public:
    static constexpr qint64 MaxBytes = 1024 * 1024;
    static constexpr qsizetype MaxLineLength = 8 * 1024; // bytes, line end excluded
    static constexpr qsizetype MaxEntries = 4096;

    static ChannelListRead parse(QByteArrayView bytes);
    // Larger files are refused before a byte of them is read.
    static ChannelListRead read(const QString &path);
};
