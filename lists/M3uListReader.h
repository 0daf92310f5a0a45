#pragma once

#include "lists/ListChannels.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVector>

// What reading one channel list found. Bad lines are skipped and counted;
// nothing in a list stops the reading.
struct M3uList {
    ListChannels channels; // in list order
    QStringList guideAddresses; // x-tvg-url / url-tvg / tvg-url of the "#EXTM3U" line, split at commas
    bool headerMissing = false; // read anyway: players accept lists without "#EXTM3U"
    bool truncated = false; // bytes past M3uListReader::MaxBytes were not read
    int linesInCp1252 = 0; // not UTF-8, read as Windows-1252
    int controlLines = 0; // NUL or other control bytes: skipped
    int overlongLines = 0; // over M3uListReader::MaxLineLength: skipped
    int entriesWithoutName = 0; // "#EXTINF" with neither a name nor a tvg-name
    int entriesWithoutAddress = 0; // "#EXTINF" followed by another one or by the end
    int addressesWithoutEntry = 0; // address lines with no "#EXTINF" before them
    int entriesPastLimit = 0; // whole entries after the first MaxEntries
    int refusedAddresses = 0; // addresses the list's origin may not give (see parse())

    int skipped() const
    {
        return controlLines + overlongLines + entriesWithoutName + entriesWithoutAddress
            + addressesWithoutEntry + entriesPastLimit + refusedAddresses;
    }
};

// Reads M3U channel lists as publishers write them: "#EXTINF" attributes
// (tvg-id, tvg-name, tvg-logo, group-title, status, user-agent, http-referrer;
// quoted values may hold commas), "#EXTGRP", "#EXTVLCOPT:http-user-agent" and
// "http-referrer", byte order marks, LF / CR LF / CR, UTF-8 with a
// Windows-1252 fallback per line. A pure function of its input: safe on any thread.
class M3uListReader
{
public:
    static constexpr qsizetype MaxBytes = 32 * 1024 * 1024;
    static constexpr qsizetype MaxLineLength = 64 * 1024; // bytes; guide address lists run to kilobytes
    static constexpr qsizetype MaxEntries = 100000;

    // baseAddress is the list's own address (http(s) or a local file path):
    // relative entry addresses are resolved against it, and it says what the
    // entries may be. A remote list (or no base) gives network streams only; a
    // local list the user chose may also name local regular files, which come
    // back as paths. Anything else (the engine's special protocols, devices,
    // pipes) is refused and counted.
    static M3uList parse(QByteArrayView bytes, const QString &baseAddress = QString());

    // "1234 canais", with "; 5 linhas ignoradas" when lines were skipped.
    static QString summary(const M3uList &list);
};
