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

private:
    QHash<QString, QListWidget *> m_byTitle;
};
