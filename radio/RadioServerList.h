#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>

class QDnsLookup;
class QSettings;

// Where the community radio database answers. Its servers are listed in DNS
// (the SRV record of _api._tcp.radio-browser.info); the list is looked up at
// most once a day and kept, so a start without DNS still knows them, and a
// few well-known servers stand in when the lookup has never worked. The
// order handed out is random, as the database asks of its clients, so the
// load spreads over its servers.
class RadioServerList : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 RefreshSeconds = 24 * 60 * 60;

    // Kept in settings (group "servers"); not owned.
    explicit RadioServerList(QSettings &settings, QObject *parent = nullptr);
    ~RadioServerList() override;

    // The servers known now ("https://de1.api.radio-browser.info"), shuffled.
    QStringList servers() const;
    // Looks the list up when the kept one is older than a day (or was never
    // looked up); `ready` follows, at once when nothing needs looking up.
    void refreshIfStale(const QDateTime &now = QDateTime::currentDateTimeUtc());
    bool isLookingUp() const { return m_lookup != nullptr; }

    static QStringList wellKnownServers();
    // The SRV targets as base addresses, names checked: only hosts under
    // radio-browser.info are taken (a spoofed answer cannot send us elsewhere).
    static QStringList serversFromTargets(const QStringList &targets);

signals:
    void ready();

private:
    void lookupFinished();

    QSettings &m_settings;
    QDnsLookup *m_lookup = nullptr;
};
