#include "recording/RecordingList.h"

#include "base/Logging.h"
#include "recording/JsonStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QUuid>
#include <cstdio>
#include <fcntl.h>

namespace
{

QString stateName(Recording::State state)
{
    switch (state) {
    case Recording::State::Running:
        return QStringLiteral("running");
    case Recording::State::Finished:
        return QStringLiteral("finished");
    case Recording::State::DiskFull:
        return QStringLiteral("disk-full");
    case Recording::State::Failed:
        return QStringLiteral("failed");
    }
    return {};
}

Recording::State stateFromName(const QString &name)
{
    if (name == QLatin1String("disk-full"))
        return Recording::State::DiskFull;
    if (name == QLatin1String("failed"))
        return Recording::State::Failed;
    return Recording::State::Finished; // "running" too: the program ended while it ran
}

} // namespace

RecordingList::RecordingList(const QString &storePath, QObject *parent)
    : QAbstractListModel(parent)
    , m_storePath(storePath)
{
    load();
}

int RecordingList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_recordings.size());
}

QVariant RecordingList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_recordings.size())
        return {};
    const Recording &r = m_recordings[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return r.programme.isEmpty() ? r.channel : r.channel + QStringLiteral(" — ") + r.programme;
    case ChannelRole:
        return r.channel;
    case ProgrammeRole:
        return r.programme;
    case StartRole:
        return r.start;
    case SecondsRole:
        return r.seconds;
    case BytesRole:
        return r.bytes;
    case StateRole:
        return int(r.state);
    case FilesRole:
        return r.files;
    case IdRole:
        return r.id;
    default:
        return {};
    }
}

QHash<int, QByteArray> RecordingList::roleNames() const
{
    return { { Qt::DisplayRole, "display" }, { ChannelRole, "channel" }, { ProgrammeRole, "programme" },
        { StartRole, "start" }, { SecondsRole, "seconds" }, { BytesRole, "bytes" }, { StateRole, "state" },
        { FilesRole, "files" }, { IdRole, "id" } };
}

const Recording *RecordingList::find(const QString &id) const
{
    const int row = rowOf(id);
    return row < 0 ? nullptr : &m_recordings[row];
}

int RecordingList::rowOf(const QString &id) const
{
    for (int i = 0; i < m_recordings.size(); ++i)
        if (m_recordings[i].id == id)
            return i;
    return -1;
}

QString RecordingList::add(Recording recording)
{
    recording.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    beginInsertRows({}, 0, 0);
    m_recordings.prepend(recording);
    endInsertRows();
    save();
    return recording.id;
}

bool RecordingList::update(const Recording &recording)
{
    const int row = rowOf(recording.id);
    if (row < 0)
        return false;
    m_recordings[row] = recording;
    emit dataChanged(index(row), index(row));
    save();
    return true;
}

bool RecordingList::rename(const QString &id, const QString &name)
{
    const int row = rowOf(id);
    const QString clean = name.trimmed();
    if (row < 0 || m_recordings[row].state == Recording::State::Running || clean.isEmpty()
        || clean.contains(QLatin1Char('/')) || clean.startsWith(QLatin1Char('.')))
        return false;
    Recording &r = m_recordings[row];
    QStringList renamed;
    for (int part = 0; part < r.files.size(); ++part) {
        const QFileInfo info(r.files[part]);
        const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
        const QString number = part == 0 ? QString() : QStringLiteral(" (parte %1)").arg(part + 1);
        renamed << info.path() + QLatin1Char('/') + clean + number + suffix;
    }
    for (int part = 0; part < renamed.size(); ++part)
        if (renamed[part] != r.files[part] && QFileInfo::exists(renamed[part]))
            return false;
    for (int part = 0; part < renamed.size(); ++part) {
        if (renamed[part] == r.files[part])
            continue;
        // Never replaces a file that appeared since the check above.
        if (::renameat2(AT_FDCWD, QFile::encodeName(r.files[part]).constData(), AT_FDCWD,
                QFile::encodeName(renamed[part]).constData(), RENAME_NOREPLACE)
            != 0) {
            qCWarning(lumiRecording) << "cannot rename" << r.files[part];
            return false;
        }
        r.files[part] = renamed[part];
    }
    emit dataChanged(index(row), index(row));
    save();
    return true;
}

bool RecordingList::remove(const QString &id)
{
    const int row = rowOf(id);
    if (row < 0 || m_recordings[row].state == Recording::State::Running)
        return false;
    for (const QString &file : std::as_const(m_recordings[row].files))
        QFile::remove(file);
    beginRemoveRows({}, row, row);
    m_recordings.removeAt(row);
    endRemoveRows();
    save();
    return true;
}

QString RecordingList::stateText(Recording::State state)
{
    switch (state) {
    case Recording::State::Running:
        return QStringLiteral("Gravando");
    case Recording::State::Finished:
        return QStringLiteral("Concluída");
    case Recording::State::DiskFull:
        return QStringLiteral("Parada: disco quase cheio");
    case Recording::State::Failed:
        return QStringLiteral("Falhou");
    }
    return {};
}

void RecordingList::load()
{
    const QJsonArray items = JsonStore::read(m_storePath, QStringLiteral("recordings"));
    for (const QJsonValue &value : items) {
        const QJsonObject o = value.toObject();
        Recording r;
        r.id = o.value(QLatin1String("id")).toString();
        r.channel = o.value(QLatin1String("channel")).toString();
        r.programme = o.value(QLatin1String("programme")).toString();
        r.start = QDateTime::fromString(o.value(QLatin1String("start")).toString(), Qt::ISODate);
        r.seconds = o.value(QLatin1String("seconds")).toDouble();
        r.bytes = qint64(o.value(QLatin1String("bytes")).toDouble());
        for (const QJsonValue &f : o.value(QLatin1String("files")).toArray())
            r.files << f.toString();
        r.state = stateFromName(o.value(QLatin1String("state")).toString());
        if (!r.id.isEmpty())
            m_recordings << r;
    }
}

void RecordingList::save() const
{
    QJsonArray items;
    for (const Recording &r : m_recordings) {
        QJsonObject o;
        o.insert(QLatin1String("id"), r.id);
        o.insert(QLatin1String("channel"), r.channel);
        o.insert(QLatin1String("programme"), r.programme);
        o.insert(QLatin1String("start"), r.start.toString(Qt::ISODateWithMs));
        o.insert(QLatin1String("seconds"), r.seconds);
        o.insert(QLatin1String("bytes"), double(r.bytes));
        o.insert(QLatin1String("files"), QJsonArray::fromStringList(r.files));
        o.insert(QLatin1String("state"), stateName(r.state));
        items << o;
    }
    JsonStore::write(m_storePath, QStringLiteral("recordings"), items);
}
