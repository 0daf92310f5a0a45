#pragma once

#include <QDateTime>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QStringList>

// Which source of a channel is tried first, kept across runs in
// "source-choices.ini" in the per-user configuration folder: the one the user
// picked or moved to the top in "Fontes…", or, later than that, the one that
// last played well. A channel is known by its key (MergedChannels::key).
class SourceChoices : public QObject
{
    Q_OBJECT

public:
    // The channels chosen for longest ago are forgotten past this.
    static constexpr int MaxChoices = 2000;

    static QString defaultPath(); // <config>/source-choices.ini

    explicit SourceChoices(
        const QString &path = defaultPath(), QObject *parent = nullptr, int maxChoices = MaxChoices);

    // The address to try first, or empty.
    QString preferred(const QString &channelKey) const;
    void setPreferred(const QString &channelKey, const QString &address);

    // When the favourites and recents were last checked by themselves (UTC).
    QDateTime lastDailyCheck() const;
    void setLastDailyCheck(const QDateTime &when);

signals:
    void changed(const QString &channelKey);

private:
    void write();

    QSettings m_settings;
    const int m_maxChoices;
    QStringList m_keys; // the most recent choice last
    QStringList m_addresses;
};
