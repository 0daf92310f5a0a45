#pragma once

#include <QAbstractListModel>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// One recording: a programme of a channel, in one file or in numbered parts.
struct Recording {
    enum class State {
        Running,
        Finished, // stopped by the user, the schedule or the end of the program
        DiskFull, // stopped before the disk filled up
        Failed, // the file could not be written
    };
    QString id;
    QString channel;
    QString programme; // from the guide; empty when unknown
    QDateTime start;
    double seconds = 0; // of programme in the files
    qint64 bytes = 0;
    QStringList files; // first part first
    State state = State::Running;
};

// The recordings the user has, newest first, kept across runs in a readable
// JSON file. A model without widgets: the recordings window is a view of it.
// Recordings still marked running when the list is read (the program ended
// without stopping them) are read as finished: their files were written up to
// the moment it ended.
class RecordingList : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        ChannelRole = Qt::UserRole + 1,
        ProgrammeRole,
        StartRole,
        SecondsRole,
        BytesRole,
        StateRole,
        FilesRole,
        IdRole,
    };

    // storePath: the JSON file; read now when it exists.
    explicit RecordingList(const QString &storePath, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    const QList<Recording> &recordings() const { return m_recordings; }
    // Null when no recording has that id.
    const Recording *find(const QString &id) const;

    // Adds a recording at the top and returns its id (a new one).
    QString add(Recording recording);
    // Replaces what is known of a recording (same id); false when none has it.
    bool update(const Recording &recording);
    // Renames the files of a finished recording to `name` (a part's number
    // kept); never over an existing file, and only within their folder. False
    // and nothing renamed when a name is taken, empty or holds a slash.
    bool rename(const QString &id, const QString &name);
    // Deletes the files and forgets the recording; a running one is refused.
    bool remove(const QString &id);

    // The text shown for a state ("Gravando", "Concluída" …).
    static QString stateText(Recording::State state);

private:
    void load();
    void save() const;
    int rowOf(const QString &id) const;

    const QString m_storePath;
    QList<Recording> m_recordings;
};
