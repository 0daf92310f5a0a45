#include "player/AlternateAddresses.h"

#include "player/AlternateRotation.h"

void AlternateAddresses::setEntries(const QString &channel, const QStringList &entries)
{
    const auto found = m_lists.constFind(channel);
    if (found == m_lists.cend() ? entries.size() < 2 : found->entries == entries)
        return;
    m_lists.insert(channel, List { entries, -1 });
    emit changed(channel);
}

void AlternateAddresses::setPosition(const QString &channel, int position)
{
    const auto found = m_lists.find(channel);
    if (found == m_lists.end() || found->position == position)
        return;
    found->position = position;
    emit changed(channel);
}

std::optional<QString> AlternateAddresses::step(const QString &channel)
{
    const auto found = m_lists.find(channel);
    if (found == m_lists.end() || found->entries.isEmpty())
        return std::nullopt;
    const RotationStep next = nextRotation(found->position, int(found->entries.size()));
    found->position = next.position;
    emit changed(channel);
    if (!next.loadEntry)
        return std::nullopt;
    return found->entries.at(next.position);
}
