#pragma once

#include "channels/Channel.h"
#include "guide/GuideChoices.h"
#include "guide/GuideSchedule.h"
#include "guide/WantedChannels.h"
#include "lists/ListChannel.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

// A channel as the guide matcher sees it: who it is and what it is called.
struct GuideChannelQuery {
    QString identity; // ChannelPicks::identityOf, or GuideChoices::builtInIdentity
    QString tvgId;
    QStringList names; // as written; tags and quality words are dropped when compared
    QStringList ownGuides; // ids of the guides its own list names: tried first
    // GuideKeys of tvgId and names, made once by forEntry() and forBuiltIn()
    // so that matching is lookups; a query made by hand gets them from keyed().
    QString idKey;
    QString feedIdKey; // the id with its feed, case ignored: "globo.br@rj"
    QStringList nameKeys;
    bool hasKeys = false;

    GuideChannelQuery keyed() const;

    static GuideChannelQuery forEntry(const ListChannel &entry, const QStringList &ownGuides = {});
    // A built-in channel goes by the list entry it plays; without one, by its
    // tooltip (a menu item's caption) and its title after "Lumivortex TV - ".
    static GuideChannelQuery forBuiltIn(
        const Channel &channel, const ListChannel *plays = nullptr, const QStringList &ownGuides = {});
};

// One guide the matcher may take channels from.
struct GuideSource {
    QString id;
    std::shared_ptr<const GuideStore> store;
};

// Finds each channel's guide channel: the user's choice first (a guide channel
// or "Nenhum"); else by id (tvg-id = <channel id>, ignoring case and an
// "@Feed" suffix on either side); else by name (GuideKeys::nameKey of the
// channel's names against a guide channel's display names and its id). Never
// by prefix: "Globo FM" is not "Globo", "SBT (Alterosa)" is not "SBT". Among
// several guides, the channel's own list's guides come first, then the order
// given; a guide channel with programmes beats one without. Of one channel's
// feeds ("Globo.br@SP", "Globo.br@RJ"), the one the entry names comes first.
class GuideMatcher
{
public:
    void setGuides(const QVector<GuideSource> &guides);
    const QVector<GuideSource> &guides() const { return m_guides; }
    void setChoices(const QHash<QString, GuideChoices::Choice> &choices) { m_choices = choices; }

    GuideSchedule match(const GuideChannelQuery &channel) const;
    // The guide a match came from; empty when none.
    QString guideOf(const GuideSchedule &schedule) const;

    // What a reading of any guide should keep for these channels and choices.
    static WantedChannels wanted(
        const QVector<GuideChannelQuery> &channels, const QHash<QString, GuideChoices::Choice> &choices);

private:
    struct Ref {
        int guide;
        int channel;
    };
    GuideSchedule best(const QVector<Ref> *refs, const GuideChannelQuery &channel) const;
    GuideSchedule chosen(const GuideChoices::Choice &choice, bool *resolved) const;

    QVector<GuideSource> m_guides;
    QHash<QString, QVector<Ref>> m_byId;
    QHash<QString, QVector<Ref>> m_byName;
    QHash<QString, GuideChoices::Choice> m_choices;
};
