#pragma once

#include <QHash>
#include <QWidget>

class AlternateAddresses;
class ChannelCatalogue;
class QListWidget;

// The never-shown window that the design keeps for the alternate-address
// lists: one list box per channel with a list, showing the player's
// alternate addresses and, as its selected row, where the channel's rotation
// stands. A view only; nothing reads it back.
class AlternateAddressLists : public QWidget
{
    Q_OBJECT

public:
    // The catalogue names the list boxes of the built-in channels.
    AlternateAddressLists(
        AlternateAddresses &alternates, const ChannelCatalogue &catalogue, QWidget *parent = nullptr);

    // The list box that shows the channel's list, or nullptr.
    QListWidget *listFor(const QString &channelTitle) const { return m_byTitle.value(channelTitle); }

private:
    QListWidget *addList(const QString &name, const QString &caption);
    void showList(const QString &channelTitle);

    AlternateAddresses &m_alternates;
    QHash<QString, QListWidget *> m_byTitle;
    int m_nextLeft = 0;
};
