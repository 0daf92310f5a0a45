#include "guide/WantedChannels.h"

#include "guide/GuideKeys.h"

WantedChannels WantedChannels::everything()
{
    WantedChannels wanted;
    wanted.m_all = true;
    return wanted;
}

void WantedChannels::addId(QStringView id)
{
    addIdKey(GuideKeys::idKey(id));
}

void WantedChannels::addName(QStringView name)
{
    addNameKey(GuideKeys::nameKey(name));
}

void WantedChannels::addIdKey(const QString &key)
{
    if (!key.isEmpty())
        m_ids.insert(key);
}

void WantedChannels::addNameKey(const QString &key)
{
    if (!key.isEmpty())
        m_names.insert(key);
}

bool WantedChannels::wants(QStringView id, const QStringList &displayNames) const
{
    if (m_all)
        return true;
    if (m_ids.contains(GuideKeys::idKey(id)))
        return true;
    if (m_names.isEmpty())
        return false;
    if (m_names.contains(GuideKeys::nameKey(id)))
        return true;
    for (const QString &name : displayNames) {
        if (m_names.contains(GuideKeys::nameKey(name)))
            return true;
    }
    return false;
}

bool WantedChannels::wantsKeys(const QString &idKey, const QStringList &nameKeys) const
{
    if (m_all || m_ids.contains(idKey))
        return true;
    for (const QString &key : nameKeys) {
        if (m_names.contains(key))
            return true;
    }
    return false;
}
