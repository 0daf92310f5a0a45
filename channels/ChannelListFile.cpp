#include "channels/ChannelListFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <algorithm>

namespace
{

bool isTextByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x20 && byte != 0x7f) || c == '\t' || c == '\n' || c == '\r';
}

// Checked in pieces through one small buffer: decoding a whole megabyte
// into a string first costs more than the rest of the reading together.
bool isUtf8(QByteArrayView bytes)
{
    constexpr qsizetype Piece = 16 * 1024;
    QStringDecoder decoder(QStringDecoder::Utf8);
    QVarLengthArray<QChar, Piece> buffer(Piece);
    for (qsizetype at = 0; at < bytes.size() && !decoder.hasError(); at += Piece)
        decoder.appendToBuffer(buffer.data(), bytes.sliced(at, qMin(Piece, bytes.size() - at)));
    // A sequence cut at the end of the file turns into an error here.
    decoder.appendToBuffer(buffer.data(), QByteArrayView("\n"));
    return !decoder.hasError();
}

// Blanks are spaces and tabs. A byte order mark may open any line or name:
// lists get joined with cat, and the decoder would drop it unseen.
QByteArrayView trimmed(QByteArrayView text)
{
    while (true) {
        if (!text.isEmpty() && (text.front() == ' ' || text.front() == '\t'))
            text = text.sliced(1);
        else if (text.startsWith("\xEF\xBB\xBF"))
            text = text.sliced(3);
        else
            break;
    }
    while (!text.isEmpty() && (text.back() == ' ' || text.back() == '\t'))
        text.chop(1);
    return text;
}

bool startsWithTag(QByteArrayView line, const char *tag)
{
    const auto length = qsizetype(qstrlen(tag));
    return line.size() >= length && qstrnicmp(line.data(), tag, length) == 0;
}

// "#EXTINF:<length> <attributes>,<name>": the name starts after the first
// comma outside the attributes' quotes, so names keep their own commas
// ("Waikiki Beach, Honolulu"). With unbalanced quotes, the last comma.
QByteArrayView entryName(QByteArrayView line)
{
    bool quoted = false;
    qsizetype comma = -1;
    for (qsizetype i = 0; i < line.size() && comma < 0; ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ',' && !quoted)
            comma = i;
    }
    if (comma < 0)
        comma = line.lastIndexOf(',');
    return comma < 0 ? QByteArrayView() : trimmed(line.sliced(comma + 1));
}

} // namespace

ChannelListRead ChannelListFile::parse(QByteArrayView bytes)
{
    ChannelListRead result;
    result.bytesRead = bytes.size();
    if (!std::all_of(bytes.begin(), bytes.end(), isTextByte) || !isUtf8(bytes)) {
        result.refusal = ChannelListRead::Refusal::NotText;
        return result;
    }

    bool firstLine = true;
    bool pending = false;
    QByteArrayView pendingName;
    qsizetype at = 0;
    while (at < bytes.size()) {
        qsizetype end = at;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        const QByteArrayView raw = bytes.sliced(at, end - at);
        at = end + 1;
        if (raw.size() > MaxLineLength) {
            ++result.overlongLines;
            result.headerMissing = result.headerMissing || firstLine;
            firstLine = false;
            pending = false;
            continue;
        }
        const QByteArrayView line = trimmed(raw);
        if (line.isEmpty())
            continue;
        if (firstLine) {
            firstLine = false;
            if (startsWithTag(line, "#EXTM3U"))
                continue;
            result.headerMissing = true;
        }
        if (startsWithTag(line, "#EXTINF:")) {
            if (pending)
                ++result.entriesWithoutAddress;
            pendingName = entryName(line);
            pending = !pendingName.isEmpty();
            if (!pending)
                ++result.entriesWithoutName;
        } else if (line.startsWith('#')) {
            continue; // other tags and comments may sit between an entry and its address
        } else if (pending) {
            // Past the bound only counted: a list for 101 channels needs far fewer.
            if (result.entries.size() < MaxEntries)
                result.entries.append({ QString::fromUtf8(pendingName), QString::fromUtf8(line) });
            else
                ++result.entriesPastLimit;
            pending = false;
        } else {
            ++result.addressesWithoutEntry;
        }
    }
    if (pending)
        ++result.entriesWithoutAddress;
    return result;
}

ChannelListRead ChannelListFile::read(const QString &path)
{
    ChannelListRead result;
    const QFileInfo info(path);
    if (!info.exists()) {
        result.refusal = ChannelListRead::Refusal::Missing;
        return result;
    }
    // A pipe would block the open, a device never ends: only plain files are read.
    if (!info.isFile()) {
        result.refusal = ChannelListRead::Refusal::NotAFile;
        return result;
    }
    if (info.size() > MaxBytes) {
        result.refusal = ChannelListRead::Refusal::TooLarge;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.refusal = ChannelListRead::Refusal::Unreadable;
        result.error = file.errorString();
        return result;
    }
    // One byte past the bound tells a file that grew since it was measured.
    const QByteArray bytes = file.read(MaxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        result.refusal = ChannelListRead::Refusal::Unreadable;
        result.error = file.errorString();
        result.bytesRead = bytes.size();
        return result;
    }
    if (bytes.size() > MaxBytes) {
        result.refusal = ChannelListRead::Refusal::TooLarge;
        result.bytesRead = bytes.size();
        return result;
    }
    return parse(bytes);
}
