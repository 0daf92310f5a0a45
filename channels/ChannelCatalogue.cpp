#include "channels/ChannelCatalogue.h"

#include "base/PlainText.h"

#include <algorithm>

QString logoResourceFor(const QString &control)
{
    return QLatin1String(":/logos/") + control + QLatin1String(".png");
}

QString Channel::logoResource() const
{
    return logo ? logoResourceFor(control) : QString();
}

QString MenuButton::logoResource() const
{
    return logo ? logoResourceFor(control) : QString();
}

QString ChannelCatalogue::windowTitlePrefix()
{
    return QStringLiteral("Lumivortex TV - ");
}

QString ChannelCatalogue::windowTitleFor(const Channel &c)
{
    // List channels and addresses are named from outside.
    return windowTitlePrefix() + PlainText::line(c.titleSuffix);
}

void ChannelCatalogue::index()
{
    m_byControl.clear();
    m_byTitleSuffix.clear();
    m_listByBox.clear();
    for (int i = 0; i < m_channels.size(); ++i) {
        m_byControl.insert(m_channels.at(i).control, i);
        m_byTitleSuffix.insert(m_channels.at(i).titleSuffix, i);
    }
    for (int i = 0; i < m_lists.size(); ++i)
        m_listByBox.insert(m_lists.at(i).listBox, i);
}

QVector<Channel> ChannelCatalogue::channelsIn(const QString &container) const
{
    QVector<Channel> result;
    for (const Channel &c : m_channels) {
        if (c.container == container)
            result.append(c);
    }
    std::stable_sort(
        result.begin(), result.end(), [](const Channel &a, const Channel &b) { return a.slot < b.slot; });
    return result;
}

const Channel *ChannelCatalogue::byControl(const QString &control) const
{
    const auto it = m_byControl.constFind(control);
    return it == m_byControl.cend() ? nullptr : &m_channels.at(*it);
}

const Channel *ChannelCatalogue::byWindowTitle(const QString &title) const
{
    const QString prefix = windowTitlePrefix();
    if (!title.startsWith(prefix))
        return nullptr;
    const auto it = m_byTitleSuffix.constFind(title.mid(prefix.size()));
    return it == m_byTitleSuffix.cend() ? nullptr : &m_channels.at(*it);
}

const AlternateList *ChannelCatalogue::alternateList(const QString &listBox) const
{
    const auto it = m_listByBox.constFind(listBox);
    return it == m_listByBox.cend() ? nullptr : &m_lists.at(*it);
}

const AlternateList *ChannelCatalogue::alternateListForTitle(const QString &windowTitle) const
{
    for (const AlternateList &list : m_lists) {
        if (windowTitle == windowTitlePrefix() + list.titleSuffix)
            return &list;
    }
    return nullptr;
}

const MenuButton *ChannelCatalogue::menuButton(const QString &control) const
{
    for (const MenuButton &b : m_menuButtons) {
        if (b.control == control)
            return &b;
    }
    return nullptr;
}

void ChannelCatalogue::setAddress(const QString &control, const QString &address)
{
    const auto it = m_byControl.constFind(control);
    if (it != m_byControl.cend())
        m_channels[*it].address = address;
}

void ChannelCatalogue::setAlternateEntries(const QString &listBox, const QStringList &entries)
{
    const auto it = m_listByBox.constFind(listBox);
    if (it != m_listByBox.cend())
        m_lists[*it].entries = entries;
}

bool ChannelCatalogue::addAlternateList(
    const QString &control, const QString &listBox, const QStringList &entries)
{
    const auto it = m_byControl.constFind(control);
    if (it == m_byControl.cend() || listBox.isEmpty() || m_listByBox.contains(listBox))
        return false;
    Channel &channel = m_channels[*it];
    if (!channel.alternateList.isEmpty())
        return false;
    channel.alternateList = listBox;
    m_listByBox.insert(listBox, int(m_lists.size()));
    m_lists.append(AlternateList { listBox, channel.titleSuffix, entries });
    return true;
}
