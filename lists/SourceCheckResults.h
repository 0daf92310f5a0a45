#pragma once

#include "lists/SourceAnswers.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

// What the background check found of each source, kept with the list the
// source came from, in a file beside the list's cached copy
// ("<cache>/lists/<id>.checks"), so that a restart shows the same "fora do
// ar" marks (in SourceAnswers' form).
class SourceCheckResults : public QObject
{
    Q_OBJECT

public:
    using Result = SourceAnswers::Result;
    using ListResults = SourceAnswers::Results;

    // A file holds no more than this; the lists themselves hold fewer entries.
    static constexpr int MaxResults = 250000;
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    explicit SourceCheckResults(const QString &folder, QObject *parent = nullptr);

    // Reads a list's results from its file (a list without one has none).
    void load(const QString &listId);
    // The list's results go, file and all (the list was removed).
    void forget(const QString &listId);
    void record(const QString &listId, const QString &address, SourceHealth health,
        const QDateTime &when = QDateTime::currentDateTimeUtc());
    // Writes what changed; also done a moment after the last record().
    void save();

    ListResults results(const QString &listId) const { return m_lists.value(listId); }
    // Every list's results by address; where lists disagree, the latest check holds.
    const QHash<QString, SourceHealth> &health() const { return m_health; }
    QString pathOf(const QString &listId) const;

signals:
    void changed();

private:
    void rebuild();

    QString m_folder;
    QHash<QString, ListResults> m_lists;
    QHash<QString, SourceHealth> m_health;
    QSet<QString> m_unsaved;
    QTimer m_saveLater;
};
