#pragma once

#include <QDateTime>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QVector>

// One channel list the user keeps: a publisher's address or a local file.
struct ChannelListSource {
    QString id; // stable; names the cache file. "channels.m3u" for the user's own file
    QString name; // shown in the lists window
    QString address; // http(s) address, or an absolute local file path
    bool fixed = false; // the user's channels.m3u: read whenever it exists, never renamed or removed here
    // "aceitar certificados inválidos": the list's HTTPS streams play without
    // their certificates being checked (the list itself is still checked).
    bool acceptInvalidCertificates = false;

    // What the last reading or refresh left.
    QDateTime lastRefresh; // UTC; remote lists: last time the publisher's copy was fetched or confirmed
    QByteArray etag; // validators of the cached copy, sent back on the next refresh
    QString lastModified;
    int channelCount = 0;
    QString lastError; // why the last refresh or reading failed; empty after a success

    bool isRemote() const;
    // A remote list whose copy is older than ChannelListRegistry::RefreshAfterSecs, or was never fetched.
    bool needsRefresh(const QDateTime &now) const;
};

// The user's channel lists, kept in "channel-lists.ini" in the per-user
// configuration folder, one group per list, readable and editable by hand.
// Remote lists keep their last good copy in the per-user cache folder.
class ChannelListRegistry : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 RefreshAfterSecs = 12 * 60 * 60;
    static constexpr int MaxNameLength = 80;

    static QString defaultPath(); // <config>/channel-lists.ini
    static QString cacheFolder(); // <cache>/lists
    static QString ownListId(); // "channels.m3u"
    // "list1", "list2"…: the only ids the registry writes, and the only ones
    // it reads back, since an id names the list's file in the cache folder.
    static bool isListId(const QString &id);

    explicit ChannelListRegistry(const QString &path = defaultPath(), QObject *parent = nullptr);

    // The user's channels.m3u first when it exists, then the lists in the order added.
    QVector<ChannelListSource> lists() const;
    // The list with that id; an empty id when there is none.
    ChannelListSource list(const QString &id) const;
    // Where a remote list's last good copy is kept; empty for an id that is
    // not a list's, so nothing outside the cache folder is ever named.
    QString cachePath(const QString &id) const;
    // Ids in the file that are not of the form the registry writes: their lists
    // are left out (and said once on the lumi.lists log).
    QStringList ignoredIds() const { return m_ignoredIds; }

    // addressOrPath: an http(s) address, a file:// address or an absolute local
    // path. An empty name is made from the address. Returns the new list's id,
    // or an empty string with the reason in *error.
    QString add(const QString &name, const QString &addressOrPath, QString *error = nullptr);
    bool rename(const QString &id, const QString &name, QString *error = nullptr);
    // The list's cached copy goes with it.
    bool remove(const QString &id, QString *error = nullptr);

    // A refresh that brought a new copy or found it unchanged (lastError cleared).
    void recordRefresh(const QString &id, const QDateTime &when, const QByteArray &etag,
        const QString &lastModified, int channelCount);
    // A local list or cached copy read: its channel count, error cleared.
    void recordRead(const QString &id, int channelCount);
    // A failed refresh or reading; everything else is kept.
    void recordFailure(const QString &id, const QString &error);
    // Kept with the list; off for every new list.
    void setAcceptInvalidCertificates(const QString &id, bool accept);

    // Whether the suggested public lists were offered and answered (either way).
    bool suggestionsAnswered() const;
    void setSuggestionsAnswered(bool answered = true);

    // Why text cannot name a list (short Portuguese), or empty; *normalised gets
    // the address as it would be kept.
    static QString checkAddress(const QString &text, QString *normalised = nullptr);

signals:
    void listsChanged(); // added, renamed or removed
    void listStateChanged(const QString &id); // refresh, reading or certificate choice recorded

private:
    QString checkName(const QString &name, const QString &exceptId, QString *cleaned) const;
    QString defaultNameFor(const QString &address) const;
    void readState(ChannelListSource &list) const;
    void writeState(const ChannelListSource &list);
    void saveOrder();

    mutable QSettings m_settings;
    QStringList m_order; // ids of the user's lists
    QStringList m_ignoredIds;
};
