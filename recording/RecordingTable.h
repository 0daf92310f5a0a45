#pragma once

#include <QAbstractTableModel>

class RecordingList;

// The recordings list in the recordings window's columns: channel,
// programme, start, length, size and state. It follows the list's changes
// row for row, so a running recording's length and size move in place.
class RecordingTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        ChannelColumn,
        ProgrammeColumn,
        StartColumn,
        LengthColumn,
        SizeColumn,
        StateColumn,
        ColumnCount
    };

    explicit RecordingTable(RecordingList &list, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    RecordingList &list() const { return m_list; }

    // "1:02:03", or "02:03" under an hour.
    static QString lengthText(double seconds);

private:
    RecordingList &m_list;
};
