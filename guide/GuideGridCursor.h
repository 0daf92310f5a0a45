#pragma once

#include <QModelIndex>
#include <QObject>

class GuideGridModel;

// Where the guide grid looks and which cell has the keyboard, without widgets.
// The view shows viewLength() seconds from viewStart() and visibleRows() rows
// from firstRow(); the current cell is a channel's name cell or one of its
// programmes. ← → go from programme to programme (the name cell is left of the
// first), ↑ ↓ keep to the time of the current programme, the wheel moves the
// time shown, "Agora" goes back to now. Every programme is reachable so.
class GuideGridCursor : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 SlotSecs = 30 * 60; // one column

    explicit GuideGridCursor(GuideGridModel *model, QObject *parent = nullptr);

    qint64 viewStart() const { return m_viewStart; }
    qint64 viewLength() const { return m_viewLength; }
    qint64 viewEnd() const { return m_viewStart + m_viewLength; }
    void setViewLength(qint64 seconds);
    int firstRow() const { return m_firstRow; }
    int visibleRows() const { return m_visibleRows; }
    void setVisibleRows(int rows);
    void setFirstRow(int row);

    int row() const { return m_row; } // -1 when there are no rows
    int programme() const { return m_programme; } // -1: the channel's name cell
    QModelIndex currentIndex() const;
    // A click: the cell becomes current (and is scrolled into view).
    void setCurrent(int row, int programme);
    // The current cell is a channel, or a programme on now: Enter tunes it.
    bool currentIsTunable() const;

    void moveLeft();
    void moveRight();
    void moveUp() { moveRows(-1); }
    void moveDown() { moveRows(1); }
    void pageUp() { moveRows(-qMax(1, m_visibleRows - 1)); }
    void pageDown() { moveRows(qMax(1, m_visibleRows - 1)); }
    void moveToFirstRow() { moveRows(-m_row); }
    void moveToLastRow();
    // The time shown moves by whole columns; the current programme follows
    // when it leaves the view.
    void scrollTime(int columns);
    // "Agora": the view starts at the column holding now, on the programme on now.
    void goToNow();

    // The times the grid may show: a day back, eight days ahead of now.
    qint64 rangeStart() const;
    qint64 rangeEnd() const;

signals:
    void viewChanged();
    void currentChanged();

private:
    void moveRows(int delta);
    int programmeFor(int row, qint64 when) const;
    void setView(qint64 start);
    void show(int row, int programme, bool announce = true);
    void ensureVisible();
    void modelReset();

    GuideGridModel *m_model;
    qint64 m_viewStart = 0;
    qint64 m_viewLength = 3 * 60 * 60;
    int m_firstRow = 0;
    int m_visibleRows = 10;
    int m_row = -1;
    int m_programme = -1;
    bool m_inProgrammes = true; // up and down keep to programmes, not name cells
    qint64 m_time = 0; // the time up and down keep to
};
