#pragma once

#include "lists/ListChannels.h"

#include <QHash>
#include <QString>
#include <QVector>

// The entries of every list grouped into channels: the same channel found in
// several lists, or several times in one, is one channel with many sources.
// Entries are the same channel when their tvg-ids are the same without the
// "@Feed" suffix; entries without an id, when their names are the same once
// folded and stripped of quality and status tags ("Band (720p) [Not 24/7]",
// "BAND HD" and "Band" are one). An entry without an id joins the channel of
// an id when that id's entries carry its name and no other id's do; when two
// ids share a name ("Band.br", "Band.us") it stays with the other id-less ones.
// Names are never matched by prefix: "Globo" and "Globo FM" stay apart.
class MergedChannels
{
public:
    MergedChannels() = default;
    explicit MergedChannels(const ListChannels &entries);

    const ListChannels &entries() const { return m_entries; }
    int size() const { return m_starts.isEmpty() ? 0 : int(m_starts.size()) - 1; }
    bool isEmpty() const { return size() == 0; }

    // "id:band.br", "name:band", or "address:" and the address for an entry
    // with neither: what favourites, recents and the kept choice follow.
    QString key(int channel) const;
    int sourceCount(int channel) const { return int(m_starts[channel + 1] - m_starts[channel]); }
    // The entries of a channel, in the lists' order.
    QVector<int> sources(int channel) const;
    // The channel's first entry in the lists' order: its name, logo and group are the row's.
    int firstEntry(int channel) const { return m_members[m_starts[channel]]; }
    int channelOfEntry(int entry) const { return m_channelOf.value(entry, -1); }
    size_t keyHash(int channel) const { return m_keyHashes[channel]; }
    // The channel with that key, or whose entries include one with that key of
    // its own (a name that joined an id's channel); -1 when none has it.
    int channelOfKey(const QString &key) const;
    // Keys of entries that joined an id's channel by their name, with that channel.
    const QHash<QString, int> &aliases() const { return m_aliases; }

    // The key an entry alone would give.
    static QString keyOf(const QString &tvgId, const QString &name, const QString &address);
    static QString keyOf(const ListChannel &entry);

private:
    ListChannels m_entries;
    QVector<qint32> m_members; // entry indexes, channel after channel
    QVector<qint32> m_starts; // where each channel begins in m_members; one more at the end
    QVector<qint32> m_channelOf; // entry -> channel
    QVector<size_t> m_keyHashes; // channel -> qHash(key)
    QHash<QString, int> m_aliases;
};
