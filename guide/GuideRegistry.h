#pragma once

#include "lists/SuggestedLists.h"

#include <QDateTime>
#include <QObject>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVector>

// One programme guide the program keeps: added by the user (an address or a
// file) or named by a channel list's "#EXTM3U" header.
struct GuideSourceEntry {
    QString id; // stable; names the cache files
    QString name;
    QString address; // http(s) address, or an absolute local file path
    bool addedByUser = false;
    QStringList lists; // ids of the channel lists whose header names it
    int offsetHours = 0; // -12..+12, added to every time of the guide

    // What the last reading or refresh left.
    QDateTime lastRefresh; // UTC
    QString lastError; // empty after a clean reading
    int channelCount = 0; // channels with programmes kept
    int programmeCount = 0;
    QDateTime firstStart; // the time covered, UTC
    QDateTime lastStop;
    QByteArray etag; // validators of the downloaded copy, for the next refresh
    QString lastModified;

    bool isRemote() const;
    // A remote guide is fetched again after 12 hours, and at once when what it
    // holds ends within a day (or it was never fetched).
    bool needsRefresh(const QDateTime &now) const;
};

// What one reading of a guide found, for the registry to keep.
struct GuideReadSummary {
    QDateTime when;
    int channelCount = 0;
    int programmeCount = 0;
    QDateTime firstStart;
    QDateTime lastStop;
    QString note; // the reading's error or warning (a cut file); empty when clean
};

// The guides, kept in "guides.ini" in the per-user configuration folder, one
// group per guide, readable by hand. Guides named by lists come and go with
// the lists' headers; guides the user added stay until removed.
class GuideRegistry : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 RefreshAfterSecs = 12 * 60 * 60;
    static constexpr qint64 RefreshBeforeEndSecs = 24 * 60 * 60;
    static constexpr int MaxGuides = 100;
    static constexpr int MaxGuidesPerList = 10;
    static constexpr int MaxNameLength = 80;
    static constexpr int MaxOffsetHours = 12;

    static QString defaultPath(); // <config>/guides.ini
    static QString defaultCacheFolder(); // <cache>/guides
    // The public guides offered beside the suggested lists (a data file built in).
    static QVector<SuggestedList> suggested();

    explicit GuideRegistry(const QString &path = defaultPath(),
        const QString &cacheFolder = defaultCacheFolder(), QObject *parent = nullptr);

    QVector<GuideSourceEntry> guides() const { return m_guides; }
    // The guide with that id; an empty id when there is none.
    GuideSourceEntry guide(const QString &id) const;
    QString cacheFolder() const { return m_cacheFolder; }
    // The store of the guide as last read (GuideCache).
    QString storePath(const QString &id) const;
    // Where the network layer keeps a remote guide's downloaded copy.
    QString copyPath(const QString &id) const;
    // The file a reading starts from: a local guide's own file, a remote one's copy.
    QString sourcePath(const QString &id) const;

    // addressOrPath: an http(s) address, a file:// address or an absolute path.
    // Returns the new guide's id, or empty with the reason in *error.
    QString add(
        const QString &name, const QString &addressOrPath, int offsetHours = 0, QString *error = nullptr);
    bool rename(const QString &id, const QString &name, QString *error = nullptr);
    bool setOffset(const QString &id, int offsetHours);
    // A guide only lists name cannot be removed here: it comes back with them.
    bool remove(const QString &id, QString *error = nullptr);
    // The guide addresses one list's header names now (M3uList::guideAddresses);
    // an empty list when the list is gone. Addresses that are not http(s) are ignored.
    void setListGuides(const QString &listId, const QStringList &addresses);

    void recordRead(const QString &id, const GuideReadSummary &summary);
    void recordFetch(const QString &id, const QByteArray &etag, const QString &lastModified);
    void recordFailure(const QString &id, const QString &error);

    // Why text cannot name a guide (short Portuguese), or empty; *normalised
    // gets the address as it would be kept.
    static QString checkAddress(const QString &text, QString *normalised = nullptr);

signals:
    void guidesChanged(); // added, renamed, removed, offset changed
    void guideStateChanged(const QString &id);

private:
    int indexOf(const QString &id) const;
    int indexOfAddress(const QString &address) const;
    QString newId();
    QString defaultNameFor(const QString &address) const;
    void removeAt(int index);
    void save(const GuideSourceEntry &guide);
    void saveOrder();

    QSettings m_settings;
    QString m_cacheFolder;
    QVector<GuideSourceEntry> m_guides;
};
