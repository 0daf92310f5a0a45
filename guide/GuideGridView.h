#pragma once

#include <QAbstractScrollArea>
#include <QModelIndex>

class GuideFrameClock;
class GuideGridCursor;
class GuideGridModel;

// Draws the guide grid: a header of 30-minute columns in local time, the
// channels' names down the left, their programmes as cells across, a line at
// now, the current cell framed. Keys and the mouse go to the cursor; ← → and
// the wheel move in time, ↑ ↓ PgUp PgDn change channel, Home is "Agora".
// Titles and names are drawn as plain text.
class GuideGridView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    static constexpr int ChannelColumnWidth = 190;
    static constexpr int SlotWidth = 170; // pixels per 30 minutes
    static constexpr int HeaderHeight = 30;
    static constexpr int RowHeight = 46;

    GuideGridView(GuideGridModel *model, GuideGridCursor *cursor, QWidget *parent = nullptr);

    GuideGridModel *model() const { return m_model; }
    GuideGridCursor *cursor() const { return m_cursor; }
    // Where a cell is drawn, in viewport coordinates; empty when out of view.
    QRect cellRect(int row, int programme) const;
    // The cell under a viewport point: (row, programme), programme -1 for a name cell.
    bool cellAt(const QPoint &point, int *row, int *programme) const;
    int xOf(qint64 when) const;
    // Counted up when the cells in view change, and when the rows themselves do.
    quint64 viewGeneration() const { return m_viewGeneration; }
    quint64 rowsGeneration() const { return m_rowsGeneration; }

signals:
    // Enter or a double-click on a cell.
    void activated(const QModelIndex &index);
    // A click, or Space: the cell's programme should be shown in full.
    void detailsRequested(const QModelIndex &index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void layoutCursor();
    void syncScrollBars();
    void paintHeader(QPainter &painter, const GuideFrameClock &clock);
    void paintRow(QPainter &painter, int row, int top, const GuideFrameClock &clock);

    GuideGridModel *m_model;
    GuideGridCursor *m_cursor;
    QFont m_bold;
    bool m_syncing = false;
    quint64 m_viewGeneration = 0;
    quint64 m_rowsGeneration = 0;
    int m_wheelAngle = 0; // eighths of a degree not yet turned into a column
};
