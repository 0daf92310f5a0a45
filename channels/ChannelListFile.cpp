#include "channels/ChannelListFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace
{

bool isTextByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x20 && byte != 0x7f) || c == '\t' || c == '\n' || c == '\r';
}

// "#EXTINF:<length> <attributes>,<name>": the name starts after the first
// comma outside the attributes' quotes, so names keep their own commas
// ("Waikiki Beach, Honolulu"). With unbalanced quotes, the last comma.
QString entryName(QStringView line)
{
    bool quoted = false;
    qsizetype comma = -1;
    for (qsizetype i = 0; i < line.size() && comma < 0; ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (line[i] == u',' && !quoted)
            comma = i;
    }
    if (comma < 0)
        comma = line.lastIndexOf(u',');
    return comma < 0 ? QString() : line.sliced(comma + 1).trimmed().toString();
}

bool startsWithTag(QStringView line, QLatin1String tag)
{
    return line.startsWith(tag, Qt::CaseInsensitive);
}

} // namespace

ChannelListRead ChannelListFile::parse(QByteArrayView bytes)
{
    ChannelListRead result;
    result.bytesRead = bytes.size();
    if (!std::all_of(bytes.begin(), bytes.end(), isTextByte)) {
        result.refusal = ChannelListRead::Refusal::NotText;
        return result;
    }
    // Stateless: a sequence cut at the end of the file counts as an error too.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        result.refusal = ChannelListRead::Refusal::NotText;
        return result;
    }

    bool firstLine = true;
    bool pending = false;
    QString pendingName;
    const QStringView all(text);
    qsizetype at = 0;
    while (at < all.size()) {
        qsizetype end = at;
        while (end < all.size() && all[end] != u'\n' && all[end] != u'\r')
            ++end;
        const QStringView raw = all.sliced(at, end - at);
        at = end + 1;
        if (raw.size() > MaxLineLength) {
            ++result.overlongLines;
            result.headerMissing = result.headerMissing || firstLine;
            firstLine = false;
            pending = false;
            continue;
        }
        const QStringView line = raw.trimmed();
        if (line.isEmpty())
            continue;
        if (firstLine) {
            firstLine = false;
            if (startsWithTag(line, QLatin1String("#EXTM3U")))
                continue;
            result.headerMissing = true;
        }
        if (startsWithTag(line, QLatin1String("#EXTINF:"))) {
            if (pending)
                ++result.entriesWithoutAddress;
            pendingName = entryName(line);
            pending = !pendingName.isEmpty();
            if (!pending)
                ++result.entriesWithoutName;
        } else if (line.startsWith(u'#')) {
            continue; // other tags and comments may sit between an entry and its address
        } else if (pending) {
            result.entries.append({ pendingName, line.toString() });
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
