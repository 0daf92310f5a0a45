#pragma once

#include <QString>

// What reading one guide found. Bad elements are skipped and counted; nothing
// in a guide stops the reading but the end of its bytes or broken XML, and
// what was read before either is kept.
struct GuideReadReport {
    enum class Compression { None, Gzip, Zlib, Xz };

    Compression compression = Compression::None;
    qint64 bytesRead = 0; // as stored
    qint64 bytesDecoded = 0;
    int channelsSeen = 0; // <channel> elements and channels only named by programmes
    int channelsKept = 0; // wanted, with programmes kept
    int programmesSeen = 0;
    int programmesKept = 0;
    int programmesOfOtherChannels = 0; // channels no list uses: dropped as read
    int programmesOutsideWindow = 0; // ended over a day ago or start over 8 days ahead
    int badProgrammes = 0; // no channel, a start or stop that is no time, nothing left after overlaps
    int badChannels = 0; // <channel> without an id
    int duplicates = 0; // a second programme at the same start on the same channel
    int overlapsCut = 0; // a programme's end moved to the start of the next
    int textsCut = 0; // texts over the length kept, and runs of bytes past the longest token
    int pastLimit = 0; // channels or programmes past what one guide may hold
    int entitiesRepaired = 0; // a bare "&" or an HTML entity made valid XML
    bool cut = false; // the file ended early: a truncated download or archive
    bool cancelled = false;
    QString error; // why the reading stopped before the end, in Portuguese; empty when it did not

    int skipped() const { return badProgrammes + badChannels + pastLimit; }
};
