#pragma once

#include "lists/MergedChannels.h"
#include "lists/SourceAnswers.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// The order in which a channel's sources are tried: the source that last
// played well (or that the user put on top) first; then by what is known of
// each: online, unknown, "[Not 24/7]", geo-blocked or timed out, found dead by
// the check; then the lists' order. A check's answer outweighs what the list
// says: a "[Not 24/7]" source found playing ranks as online.
namespace SourceRanking
{
enum Tier { Online, NotSaid, PartTime, Hindered, FoundDead };

Tier tierOf(const QString &status, const QStringList &tags, SourceHealth health);

// The channel's entries in play order; `preferred` (an address, may be
// empty) first when the channel has it. health gives each address's check.
QVector<int> ranked(const MergedChannels &channels, int channel, const QHash<QString, SourceHealth> &health,
    const QString &preferred);
// The same for any entries of channels.entries() (a built-in channel's).
QVector<int> ranked(const ListChannels &entries, QVector<int> members,
    const QHash<QString, SourceHealth> &health, const QString &preferred);

// Every source was checked and none plays: the channel is "fora do ar".
bool isOffAir(
    const ListChannels &entries, const QVector<int> &members, const QHash<QString, SourceHealth> &health);
} // namespace SourceRanking
