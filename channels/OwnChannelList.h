#pragma once

#include "channels/ChannelCatalogue.h"
#include "channels/ChannelListFile.h"

#include <QStringList>
#include <cstdio>

// What applying a channel list to a catalogue changed and left aside.
struct ChannelListApplied {
    int channels = 0; // channels whose address changed
    QStringList unmatched; // names of no channel, each once, in file order
    int addressesOverLimit = 0; // past OwnChannelList::MaxAddresses for one channel
};

// The user's own addresses for the built-in channels, kept in "channels.m3u"
// in the per-user configuration folder. Buttons, titles and menus stay as
// they are; only where a channel plays from changes.
class OwnChannelList
{
public:
    static constexpr int MaxAddresses = 32; // per channel
    static constexpr int NamesShown = 3; // unmatched names quoted in a note

    static QString fileName();
    static QString path(); // in QStandardPaths::AppConfigLocation

    // An entry whose name is a channel's title suffix, exactly as written,
    // gives the channel its address. The reconnection system then rotates
    // through the user's addresses only: all of the channel's, the first
    // included, become its alternate list in file order, in place of any
    // built-in list, whose addresses would lead away from the user's. A channel
    // without a built-in list that is named once needs no list to be retried.
    static ChannelListApplied apply(ChannelCatalogue &catalogue, const QVector<ChannelListEntry> &entries);

    // One line saying what of the file at path was not used and why; empty
    // when the whole file was used or there is no file.
    static QString note(const QString &path, const ChannelListRead &read, const ChannelListApplied &applied);

    // catalogue with the list at path applied; *noteOut gets note().
    static ChannelCatalogue withListAt(
        const ChannelCatalogue &catalogue, const QString &path, QString *noteOut);

    // At start-up: the built-in catalogue with the user's list applied; what
    // was not used is said once on warnings.
    static ChannelCatalogue startUpCatalogue(std::FILE *warnings = stderr);

    // Name of the alternate list made for a channel that had none.
    static QString listBoxFor(const QString &control);
};
