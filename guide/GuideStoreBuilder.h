#pragma once

#include "guide/GuideReadReport.h"
#include "guide/GuideStore.h"

#include <QStringList>
#include <QStringView>
#include <limits>
#include <memory>
#include <vector>

// Gathers a guide's channels and programmes as they are read, in any order,
// and makes the store: each channel's programmes sorted by start, duplicates
// dropped, a missing stop taken from the next start, overlaps cut at the next
// start, and only what touches the time window kept.
class GuideStoreBuilder
{
public:
    static constexpr qint64 NoStop = std::numeric_limits<qint64>::min();
    static constexpr int MaxChannels = 100000;
    static constexpr int MaxProgrammes = 3000000;
    static constexpr qsizetype MaxTextBytes = 256 * 1024 * 1024;
    static constexpr int MaxNamesPerChannel = 8;
    // The last programme of a channel without a stop has no next start to end at.
    static constexpr qint64 OpenEndedLength = 60 * 60;

    // Programmes that end by windowStart or start at or after windowEnd are dropped.
    GuideStoreBuilder(qint64 windowStart, qint64 windowEnd, GuideReadReport &report);

    // A channel's index; a second <channel> with the same id adds its names
    // to the first. Unwanted channels are kept (their names let the user
    // choose them) but take no programmes.
    int addChannel(QStringView id, const QStringList &names, QStringView icon, bool wanted);
    // The index of the channel with exactly this id, or -1.
    int channelIndex(QStringView id) const;
    bool isWanted(int channel) const { return m_channels[size_t(channel)].wanted; }

    // Texts of the programme's fields are pooled here first.
    quint32 text(QStringView value);
    // stop may be NoStop. Counted in the report when dropped.
    void addProgramme(int channel, qint64 start, qint64 stop, const GuideStore::Programme &texts);

    std::unique_ptr<GuideStore> finish();

private:
    struct PendingChannel {
        quint32 id = 0;
        quint32 icon = 0;
        std::vector<quint32> names;
        bool wanted = false;
        bool sorted = true;
        std::vector<GuideStore::Programme> programmes;
    };

    void settle(PendingChannel &channel, std::vector<GuideStore::Programme> &out);

    qint64 m_windowStart;
    qint64 m_windowEnd;
    GuideReadReport &m_report;
    GuideStore::Parts m_parts;
    std::vector<PendingChannel> m_channels;
    QHash<QString, int> m_byId;
    qsizetype m_programmes = 0;
};
