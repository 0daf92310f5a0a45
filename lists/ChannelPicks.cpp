#include "lists/ChannelPicks.h"

#include "lists/ChannelNameRules.h"

#include <QStandardPaths>

namespace
{

const QString FavouritesKey = QStringLiteral("Favoritos/channels");
const QString RecentsKey = QStringLiteral("Recentes/channels");

QStringList distinct(const QStringList &items, int most)
{
    QStringList result;
    for (const QString &item : items) {
        if (!item.isEmpty() && !result.contains(item) && result.size() < most)
            result.append(item);
    }
    return result;
}

} // namespace

QString ChannelPicks::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        + QStringLiteral("/channel-picks.ini");
}

QString ChannelPicks::identityOf(const ListChannel &channel)
{
    return identityOf(channel.tvgId, channel.name, channel.address);
}

QString ChannelPicks::identityOf(const QString &tvgId, const QString &name, const QString &address)
{
    QString id = tvgId.trimmed();
    const qsizetype feed = id.indexOf(QLatin1Char('@'));
    if (feed >= 0)
        id.truncate(feed);
    if (!id.isEmpty())
        return QStringLiteral("id:") + id.toLower();
    const QString key = ChannelNameRules::matchKey(name);
    if (!key.isEmpty())
        return QStringLiteral("name:") + key;
    return QStringLiteral("address:") + address;
}

ChannelPicks::ChannelPicks(const QString &path, QObject *parent)
    : QObject(parent)
    , m_settings(path, QSettings::IniFormat)
{
    m_favourites = distinct(m_settings.value(FavouritesKey).toStringList(), MaxFavourites);
    m_recents = distinct(m_settings.value(RecentsKey).toStringList(), MaxRecents);
}

QSet<QString> ChannelPicks::favouriteSet() const
{
    return QSet<QString>(m_favourites.cbegin(), m_favourites.cend());
}

void ChannelPicks::setFavourite(const QString &identity, bool favourite)
{
    if (identity.isEmpty() || favourite == isFavourite(identity))
        return;
    if (favourite && m_favourites.size() >= MaxFavourites)
        return;
    if (favourite)
        m_favourites.append(identity);
    else
        m_favourites.removeAll(identity);
    m_settings.setValue(FavouritesKey, m_favourites);
    m_settings.sync();
    emit favouritesChanged();
}

void ChannelPicks::noteTuned(const QString &identity)
{
    if (identity.isEmpty() || (!m_recents.isEmpty() && m_recents.first() == identity))
        return;
    m_recents.removeAll(identity);
    m_recents.prepend(identity);
    while (m_recents.size() > MaxRecents)
        m_recents.removeLast();
    m_settings.setValue(RecentsKey, m_recents);
    m_settings.sync();
    emit recentsChanged();
}
