#pragma once

#include "channels/ChannelCatalogue.h"
#include "lists/ListChannels.h"

#include <QHash>
#include <QString>
#include <QVector>

// The list entries each built-in channel plays, by the channel's control.
using BuiltInSources = QHash<QString, QVector<ListChannel>>;

// Recognises the program's built-in channels among the entries of the user's
// channel lists. An entry is a channel's when
//  - its name is the channel's title suffix exactly, as written (such entries come first), or
//  - its name without tags equals the channel's tooltip or title suffix (menu
//    items: caption) ignoring case, accents, spaces and punctuation, or
//  - its tvg-id without the country suffix does.
// There is no prefix or substring rule: "Globo" never takes "Globo FM".
class BuiltInChannelMatcher
{
public:
    static constexpr int MaxSources = 32; // per channel, as for the user's own list

    explicit BuiltInChannelMatcher(const ChannelCatalogue &catalogue);

    // Each matched channel's entries in play order: those that play first
    // (playsFirst) before the rest, then exact names before the others, then
    // list order. Placeholder addresses are left out, repeated addresses kept once.
    BuiltInSources match(const ListChannels &entries) const;

    // Listed as online (or not said) and not a web page.
    static bool playsFirst(const ListChannel &entry);
    static bool playsFirst(const QString &status, const QString &address);

    int channelCount() const { return int(m_controls.size()); }
    // Channels that have something to play: matched entries, or an address of
    // their own that is not a placeholder.
    int channelsWithAddress(const BuiltInSources &sources) const;
    // "N dos 101 canais do programa têm endereço".
    static QString coverageText(int withAddress, int total);

    // catalogue with each matched channel playing its first source, and all
    // its sources, in play order, as the alternates its reconnection rotates
    // through, in place of any built-in list (whose addresses would lead away
    // from the lists' ones).
    static ChannelCatalogue applied(const ChannelCatalogue &catalogue, const BuiltInSources &sources);

private:
    QVector<QString> m_controls;
    QVector<bool> m_ownAddressPlays;
    QHash<QString, QVector<int>> m_byKey; // match key -> channel indexes
    QHash<QString, int> m_byTitle; // exact title suffix -> channel index
};
