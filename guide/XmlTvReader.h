#pragma once

#include "guide/GuideInput.h"
#include "guide/GuideReadReport.h"
#include "guide/GuideStore.h"
#include "guide/WantedChannels.h"

#include <memory>

class QIODevice;

struct GuideReadOptions {
    qint64 now = 0; // seconds since 1970 UTC: the time window is taken around it
    int offsetHours = 0; // added to every time of the guide, for guides whose times are wrong
    WantedChannels wanted;
    qint64 maxDecodedBytes = GuideInput::DefaultMaxDecoded;
};

// Reads an XMLTV guide as a stream (GuideInput: plain, gzip, zlib or xz) into
// a GuideStore, never holding the file: programmes of channels nobody wants
// and programmes outside the window are dropped as they are read. Titles,
// descriptions and the rest are cut at a length a window can show; where a
// text comes in several languages, Portuguese wins, then the first. Safe on
// any thread; meant for a worker.
class XmlTvReader
{
public:
    static constexpr qint64 KeepBefore = 24 * 60 * 60;
    static constexpr qint64 KeepAfter = 8 * 24 * 60 * 60;
    static constexpr int MaxLineChars = 300; // titles, sub-titles, names, categories, ratings
    static constexpr int MaxDescriptionChars = 4000;
    static constexpr int MaxCategories = 8;
    static constexpr int MaxOffsetHours = 12;

    struct Result {
        std::unique_ptr<GuideStore> store; // never null: what was read, maybe nothing
        GuideReadReport report;
    };

    // source must be open; a file or a buffer (a read of 0 bytes is its end).
    static Result read(
        QIODevice *source, const GuideReadOptions &options, GuideReadObserver *observer = nullptr);

    // "T2 E5" from an xmltv_ns number ("1.4.0/1"), the on-screen form as
    // written, empty for ".." and for systems nobody reads.
    static QString episodeText(QStringView system, QStringView number);
};
