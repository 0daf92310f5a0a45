#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

// Which guide channels are worth keeping programmes for: those some list
// entry, built-in channel or choice of the user could match (GuideKeys). A
// value, copied to the worker that reads the guide.
class WantedChannels
{
public:
    // Keeps every channel: for tools and tests.
    static WantedChannels everything();

    void addId(QStringView id);
    void addName(QStringView name);
    // Keys made already (GuideKeys).
    void addIdKey(const QString &key);
    void addNameKey(const QString &key);
    bool isEmpty() const { return !m_all && m_ids.isEmpty() && m_names.isEmpty(); }

    // A guide channel is wanted by its id, or by its id or a display name
    // read as a name (guides that only have ids write "tv-globo" or "SBT").
    bool wants(QStringView id, const QStringList &displayNames) const;
    // The same for keys made already: GuideKeys::idKey of the id, and
    // GuideKeys::nameKey of the id and of each display name.
    bool wantsKeys(const QString &idKey, const QStringList &nameKeys) const;

private:
    bool m_all = false;
    QSet<QString> m_ids; // GuideKeys::idKey
    QSet<QString> m_names; // GuideKeys::nameKey
};
