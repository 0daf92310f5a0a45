#include "lists/SourceCheckResults.h"

#include "base/BoundedRead.h"
#include "base/Logging.h"
#include "lists/ChannelListRegistry.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <utility>

namespace
{
constexpr int kSaveDelayMs = 2000;
} // namespace

SourceCheckResults::SourceCheckResults(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
{
    m_saveLater.setSingleShot(true);
    m_saveLater.setInterval(kSaveDelayMs);
    connect(&m_saveLater, &QTimer::timeout, this, &SourceCheckResults::save);
}

QString SourceCheckResults::pathOf(const QString &listId) const
{
    // The id names a file: only ids the registry makes are let through.
    if (listId != ChannelListRegistry::ownListId() && !ChannelListRegistry::isListId(listId))
        return {};
    return m_folder + QLatin1Char('/') + listId + QStringLiteral(".checks");
}

void SourceCheckResults::load(const QString &listId)
{
    const QString path = pathOf(listId);
    if (path.isEmpty())
        return;
    QFile file(path);
    ListResults results;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray text = readBounded(file, MaxFileBytes);
        if (text.size() > MaxFileBytes)
            qCInfo(lumiLists) << "check results too large, ignored:" << path;
        else
            results = SourceAnswers::read(text, MaxResults);
    }
    if (results.isEmpty() && !m_lists.contains(listId))
        return;
    m_lists.insert(listId, results);
    rebuild();
}

void SourceCheckResults::forget(const QString &listId)
{
    m_unsaved.remove(listId);
    const QString path = pathOf(listId);
    if (!path.isEmpty())
        QFile::remove(path);
    if (m_lists.remove(listId))
        rebuild();
}

void SourceCheckResults::record(
    const QString &listId, const QString &address, SourceHealth health, const QDateTime &when)
{
    if (pathOf(listId).isEmpty() || address.isEmpty())
        return;
    ListResults &results = m_lists[listId];
    if (results.size() >= MaxResults && !results.contains(address))
        return;
    results.insert(address, { health, when.toSecsSinceEpoch() });
    m_unsaved.insert(listId);
    m_saveLater.start();
    rebuild();
}

void SourceCheckResults::save()
{
    m_saveLater.stop();
    const QSet<QString> unsaved = std::exchange(m_unsaved, {});
    for (const QString &listId : unsaved) {
        QDir().mkpath(m_folder);
        QSaveFile file(pathOf(listId));
        const QByteArray text = SourceAnswers::written(m_lists.value(listId));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
            qCWarning(lumiLists) << "could not keep the check results of" << listId << file.errorString();
    }
}

void SourceCheckResults::rebuild()
{
    m_health.clear();
    QHash<QString, qint64> when;
    for (const ListResults &results : std::as_const(m_lists)) {
        for (auto it = results.constBegin(); it != results.constEnd(); ++it) {
            const auto seen = when.constFind(it.key());
            if (seen != when.constEnd() && *seen > it->checkedAt)
                continue;
            when.insert(it.key(), it->checkedAt);
            m_health.insert(it.key(), it->health);
        }
    }
    emit changed();
}
