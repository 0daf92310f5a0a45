#pragma once

#include "guide/StringPool.h"
#include "guide/WantedChannels.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <vector>

// One programme as the windows show it. Times are seconds since 1970 UTC.
struct GuideProgramme {
    qint64 start = 0;
    qint64 stop = 0;
    QString title;
    QString subTitle;
    QString description;
    QStringList categories; // as written: "Filme, Drama" stays one category
    QString episode; // "T2 E5", or as the guide writes it on screen
    QString rating; // "[L] Livre para todos os públicos"
    QString icon; // address from outside: for the network layer, never the engine

    bool isValid() const { return stop > start; }
    bool isOnAt(qint64 when) const { return start <= when && when < stop; }
};

// How much of a programme to decode: a channel row shows titles and times,
// a detail view everything.
enum class GuideDetail { Titles, Full };

struct NowNext {
    GuideProgramme now; // invalid when nothing is on
    GuideProgramme next; // invalid when nothing follows
};

// A guide held compactly: texts pooled (StringPool), channels in guide order,
// programmes in one array sorted by channel, then start, never overlapping.
// Immutable once made, so one copy is shared between the worker that made it
// and the GUI thread that asks it (std::shared_ptr<const GuideStore>).
class GuideStore
{
public:
    struct Channel {
        quint32 id = 0; // pooled text
        quint32 icon = 0;
        quint32 firstName = 0; // into names
        quint32 nameCount = 0;
        quint32 firstProgramme = 0; // into programmes
        quint32 programmeCount = 0;
        quint32 flags = 0; // WasWanted
    };
    // The channel's programmes were kept; without it, a reading dropped them.
    static constexpr quint32 WasWanted = 1;
    struct Programme {
        qint64 start = 0;
        qint64 stop = 0;
        quint32 title = 0;
        quint32 subTitle = 0;
        quint32 description = 0;
        quint32 categories = 0; // joined by CategorySeparator
        quint32 episode = 0;
        quint32 rating = 0;
        quint32 icon = 0;
    };
    // Never in parsed XML text: XML 1.0 has no control characters but tab and line ends.
    static constexpr char16_t CategorySeparator = 0x1F;

    struct Parts {
        StringPool strings;
        std::vector<Channel> channels;
        std::vector<quint32> names;
        std::vector<Programme> programmes;
    };

    GuideStore() = default;
    // Takes parts read from a guide or a cache file; nullptr (and *why, for the log) unless
    // every index lies in range, each channel's programmes follow the one
    // before's, and each channel's programmes are sorted and do not overlap.
    static std::unique_ptr<GuideStore> fromParts(Parts parts, QString *why = nullptr);

    int channelCount() const { return int(m_parts.channels.size()); }
    QString channelId(int channel) const;
    QStringList displayNames(int channel) const;
    QString channelIcon(int channel) const;
    bool wasWanted(int channel) const;
    // Whether wanted now names a channel whose programmes were dropped when
    // this guide was read: then only reading the guide again can show them.
    bool missesWanted(const WantedChannels &wanted) const;
    // The channel whose id is id ignoring case, else ignoring an "@Feed"
    // suffix as well; -1 when none.
    int findChannel(QStringView id) const;
    // The channel's id and names as matching compares them (GuideKeys), made
    // with the store, on the thread that made it.
    const QString &idKey(int channel) const { return m_idKeys.at(channel); }
    const QStringList &nameKeys(int channel) const { return m_nameKeys.at(channel); }

    int programmeCount(int channel) const;
    int totalProgrammes() const { return int(m_parts.programmes.size()); }
    const Programme &record(int channel, int index) const;
    GuideProgramme programme(int channel, int index, GuideDetail detail = GuideDetail::Full) const;
    QString title(int channel, int index) const;
    // Index of the programme on at when, or -1.
    int programmeAt(int channel, qint64 when) const;
    // Index of the first programme still running or starting at or after
    // when; programmeCount() when none.
    int firstEndingAfter(int channel, qint64 when) const;

    NowNext nowNext(int channel, qint64 when, GuideDetail detail = GuideDetail::Full) const;
    // What is on at when and everything after it that starts before until.
    QVector<GuideProgramme> between(int channel, qint64 when, qint64 until) const;

    // The earliest start and the latest stop of any programme; 0 when empty.
    qint64 firstStart() const { return m_firstStart; }
    qint64 lastStop() const { return m_lastStop; }

    const Parts &parts() const { return m_parts; }
    QString text(quint32 id) const { return m_parts.strings.text(id); }

private:
    Parts m_parts;
    QHash<QString, int> m_byId;
    QHash<QString, int> m_byFeedId; // with the feed, case ignored
    QVector<QString> m_idKeys;
    QVector<QStringList> m_nameKeys; // of the id and of each display name, without repeats or empties
    qint64 m_firstStart = 0;
    qint64 m_lastStop = 0;
};
