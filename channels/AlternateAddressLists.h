#pragma once

#include <QHash>
#include <QWidget>

class ChannelCatalogue;
class QListWidget;

// Holds the alternate-address lists, one list box per channel; a list box's
// selected row is that channel's rotation position (-1 until the first step).
// Never shown.
class AlternateAddressLists : public QWidget
{
    Q_OBJECT

public:
    explicit AlternateAddressLists(const ChannelCatalogue &catalogue, QWidget *parent = nullptr);

    // The list of the channel whose window title is windowTitle, or nullptr.
    QListWidget *listForTitle(const QString &windowTitle) const;
    // Gives the channel whose window title is windowTitle these entries; a list
    // whose entries change starts its rotation again. Fewer than two entries:
    // the channel keeps no list (a retry replays its one address).
    void setEntries(const QString &windowTitle, const QStringList &entries);

private:
    QListWidget *addList(const QString &name, const QString &caption);

    QHash<QString, QListWidget *> m_byTitle;
    int m_nextLeft = 0;
};
