#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>
#include <optional>

// Each channel's alternate addresses and where its reconnection rotation
// stands, keyed by the channel's window title ("Lumivortex TV - BandSports"):
// two channels may share an address, never a title, and the title is what the
// rotation follows. A position is an index into the list, or -1 until the
// first step; it keeps its value for the whole run.
class AlternateAddresses : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    bool has(const QString &channel) const { return m_lists.contains(channel); }
    QStringList entries(const QString &channel) const { return m_lists.value(channel).entries; }
    int position(const QString &channel) const { return m_lists.value(channel, List {}).position; }
    QStringList channels() const { return m_lists.keys(); }

    // Gives the channel these entries; a list whose entries change starts its
    // rotation again. Fewer than two entries for a channel without a list: it
    // keeps none (a retry replays its one address).
    void setEntries(const QString &channel, const QStringList &entries);
    void setPosition(const QString &channel, int position);
    // One step of the channel's rotation: the address to load, or nothing on
    // the step that wraps to the start and for a channel without a list.
    std::optional<QString> step(const QString &channel);

signals:
    void changed(const QString &channel);

private:
    struct List {
        QStringList entries;
        int position = -1;
    };
    QHash<QString, List> m_lists;
};
