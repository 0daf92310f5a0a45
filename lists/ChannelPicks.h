#pragma once

#include "lists/ListChannel.h"

#include <QObject>
#include <QSet>
#include <QSettings>
#include <QStringList>

// The user's "Favoritos" and "Recentes" among list channels, kept across runs
// in "channel-picks.ini" in the per-user configuration folder. A channel is
// known by its identity, which survives list refreshes and the same channel
// appearing in several lists.
class ChannelPicks : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRecents = 20;
    static constexpr int MaxFavourites = 1000;

    static QString defaultPath(); // <config>/channel-picks.ini
    // "id:band.br" from the tvg-id (its feed dropped), else "name:band" from the
    // name without tags, else "address:" and the address.
    static QString identityOf(const ListChannel &channel);
    static QString identityOf(const QString &tvgId, const QString &name, const QString &address);

    explicit ChannelPicks(const QString &path = defaultPath(), QObject *parent = nullptr);

    QStringList favourites() const { return m_favourites; } // in the order marked
    QSet<QString> favouriteSet() const;
    bool isFavourite(const QString &identity) const { return m_favourites.contains(identity); }
    void setFavourite(const QString &identity, bool favourite);

    QStringList recents() const { return m_recents; } // the most recent first, at most MaxRecents
    // A channel was tuned: it moves to the front of "Recentes".
    void noteTuned(const QString &identity);

signals:
    void favouritesChanged();
    void recentsChanged();

private:
    QSettings m_settings;
    QStringList m_favourites;
    QStringList m_recents;
};
