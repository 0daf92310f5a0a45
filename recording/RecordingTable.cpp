#include "recording/RecordingTable.h"

#include "base/PlainText.h"
#include "recording/RecordingList.h"

#include <QColor>
#include <QLocale>

RecordingTable::RecordingTable(RecordingList &list, QObject *parent)
    : QAbstractTableModel(parent)
    , m_list(list)
{
    connect(&list, &QAbstractItemModel::rowsAboutToBeInserted, this,
        [this](const QModelIndex &, int first, int last) { beginInsertRows({}, first, last); });
    connect(&list, &QAbstractItemModel::rowsInserted, this, [this] { endInsertRows(); });
    connect(&list, &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [this](const QModelIndex &, int first, int last) { beginRemoveRows({}, first, last); });
    connect(&list, &QAbstractItemModel::rowsRemoved, this, [this] { endRemoveRows(); });
    connect(&list, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(&list, &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
    connect(&list, &QAbstractItemModel::dataChanged, this,
        [this](const QModelIndex &from, const QModelIndex &to) {
            emit dataChanged(index(from.row(), 0), index(to.row(), ColumnCount - 1));
        });
}

int RecordingTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_list.rowCount();
}

int RecordingTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString RecordingTable::lengthText(double seconds)
{
    const qint64 whole = qint64(seconds < 0 ? 0 : seconds);
    const QString minutesSeconds = QStringLiteral("%1:%2")
                                       .arg((whole / 60) % 60, 2, 10, QLatin1Char('0'))
                                       .arg(whole % 60, 2, 10, QLatin1Char('0'));
    return whole < 3600 ? minutesSeconds : QStringLiteral("%1:%2").arg(whole / 3600).arg(minutesSeconds);
}

QVariant RecordingTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_list.rowCount())
        return {};
    const Recording &r = m_list.recordings().at(index.row());
    if (role == Qt::TextAlignmentRole && (index.column() == LengthColumn || index.column() == SizeColumn))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::UserRole)
        return r.id;
    if (role == Qt::ForegroundRole && index.column() == StateColumn && r.state != Recording::State::Finished)
        return QColor(r.state == Recording::State::Running ? 0xd00000 : 0x805000);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case ChannelColumn:
        return PlainText::line(r.channel);
    case ProgrammeColumn:
        return PlainText::line(r.programme);
    case StartColumn:
        return QLocale::system().toString(r.start, QStringLiteral("dd/MM/yyyy HH:mm"));
    case LengthColumn:
        return lengthText(r.seconds);
    case SizeColumn:
        return QLocale::system().formattedDataSize(r.bytes, 1, QLocale::DataSizeTraditionalFormat);
    case StateColumn:
        return RecordingList::stateText(r.state);
    default:
        return {};
    }
}

QVariant RecordingTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ChannelColumn:
        return QStringLiteral("Canal");
    case ProgrammeColumn:
        return QStringLiteral("Programa");
    case StartColumn:
        return QStringLiteral("Início");
    case LengthColumn:
        return QStringLiteral("Duração");
    case SizeColumn:
        return QStringLiteral("Tamanho");
    case StateColumn:
        return QStringLiteral("Estado");
    default:
        return {};
    }
}
