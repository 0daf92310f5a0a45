#include "guide/GuideGridCursor.h"

#include "guide/GuideGridModel.h"
#include "guide/XmlTvReader.h"

namespace
{
qint64 floorSlot(qint64 when)
{
    const qint64 slot = GuideGridCursor::SlotSecs;
    return when >= 0 ? when / slot * slot : (when - slot + 1) / slot * slot;
}
} // namespace

GuideGridCursor::GuideGridCursor(GuideGridModel *model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
    connect(m_model, &QAbstractItemModel::modelReset, this, &GuideGridCursor::modelReset);
    m_viewStart = floorSlot(m_model->now());
    m_time = m_model->now();
    modelReset();
}

qint64 GuideGridCursor::rangeStart() const
{
    return floorSlot(m_model->now() - XmlTvReader::KeepBefore);
}

qint64 GuideGridCursor::rangeEnd() const
{
    return m_model->now() + XmlTvReader::KeepAfter;
}

QModelIndex GuideGridCursor::currentIndex() const
{
    if (m_row < 0)
        return {};
    return m_programme >= 0 ? m_model->programmeIndex(m_row, m_programme) : m_model->channelIndex(m_row);
}

bool GuideGridCursor::currentIsTunable() const
{
    return currentIndex().data(GuideGridModel::TunableRole).toBool();
}

void GuideGridCursor::setViewLength(qint64 seconds)
{
    seconds = qMax(SlotSecs, seconds);
    if (seconds == m_viewLength)
        return;
    m_viewLength = seconds;
    setView(m_viewStart);
}

void GuideGridCursor::setVisibleRows(int rows)
{
    rows = qMax(1, rows);
    if (rows == m_visibleRows)
        return;
    m_visibleRows = rows;
    setFirstRow(m_firstRow);
}

void GuideGridCursor::setFirstRow(int row)
{
    row = qBound(0, row, qMax(0, m_model->channelCount() - m_visibleRows));
    if (row == m_firstRow)
        return;
    m_firstRow = row;
    emit viewChanged();
}

void GuideGridCursor::setView(qint64 start)
{
    start = qBound(
        rangeStart(), floorSlot(start), qMax(rangeStart(), floorSlot(rangeEnd() - m_viewLength + SlotSecs)));
    if (start == m_viewStart)
        return;
    m_viewStart = start;
    emit viewChanged();
}

int GuideGridCursor::programmeFor(int row, qint64 when) const
{
    const GuideSchedule &schedule = m_model->channel(row).schedule;
    const int on = schedule.indexAt(when);
    if (on >= 0)
        return on;
    // Nothing at that time: the next programme, if the view shows it.
    const int next = schedule.firstEndingAfter(when);
    if (next < schedule.count() && schedule.record(next).start < viewEnd())
        return next;
    return -1;
}

void GuideGridCursor::show(int row, int programme, bool announce)
{
    const bool changed = row != m_row || programme != m_programme;
    m_row = row;
    m_programme = programme;
    ensureVisible();
    if (changed && announce)
        emit currentChanged();
}

void GuideGridCursor::ensureVisible()
{
    if (m_row < 0)
        return;
    if (m_row < m_firstRow)
        setFirstRow(m_row);
    else if (m_row >= m_firstRow + m_visibleRows)
        setFirstRow(m_row - m_visibleRows + 1);
    if (m_programme < 0)
        return;
    const auto &p = m_model->channel(m_row).schedule.record(m_programme);
    const qint64 shownFrom = qMax(p.start, rangeStart());
    // A programme partly in view is in view: the time shown does not jump back to its start.
    if (p.stop <= m_viewStart)
        setView(shownFrom);
    else if (shownFrom >= viewEnd())
        setView(shownFrom - qMax<qint64>(0, m_viewLength - 2 * SlotSecs));
}

void GuideGridCursor::setCurrent(int row, int programme)
{
    if (row < 0 || row >= m_model->channelCount())
        return;
    if (programme >= m_model->channel(row).schedule.count())
        programme = -1;
    m_inProgrammes = programme >= 0;
    if (programme >= 0)
        m_time = qMax(m_model->channel(row).schedule.record(programme).start, m_viewStart);
    show(row, programme);
}

void GuideGridCursor::moveLeft()
{
    if (m_row < 0)
        return scrollTime(-1);
    if (m_programme < 0) {
        if (!m_inProgrammes)
            return scrollTime(-1);
        m_inProgrammes = false;
        return show(m_row, -1);
    }
    const GuideSchedule &schedule = m_model->channel(m_row).schedule;
    if (m_programme == 0 || schedule.record(m_programme - 1).stop <= rangeStart()) {
        m_inProgrammes = false;
        return show(m_row, -1);
    }
    m_time = schedule.record(m_programme - 1).start;
    show(m_row, m_programme - 1);
}

void GuideGridCursor::moveRight()
{
    if (m_row < 0)
        return scrollTime(1);
    const GuideSchedule &schedule = m_model->channel(m_row).schedule;
    int next = m_programme + 1;
    if (m_programme < 0)
        next = schedule.firstEndingAfter(m_inProgrammes ? m_time : m_viewStart);
    if (next >= schedule.count() || schedule.record(next).start >= rangeEnd()) {
        if (m_programme < 0 && m_inProgrammes)
            return scrollTime(1);
        return;
    }
    m_inProgrammes = true;
    m_time = qMax(schedule.record(next).start, m_viewStart);
    show(m_row, next);
}

void GuideGridCursor::moveRows(int delta)
{
    if (m_model->channelCount() == 0)
        return;
    const int row = qBound(0, m_row + delta, m_model->channelCount() - 1);
    show(row, m_inProgrammes ? programmeFor(row, m_time) : -1);
}

void GuideGridCursor::moveToLastRow()
{
    moveRows(m_model->channelCount() - 1 - m_row);
}

void GuideGridCursor::scrollTime(int columns)
{
    setView(m_viewStart + columns * SlotSecs);
    if (m_row < 0 || m_programme < 0)
        return;
    const auto &p = m_model->channel(m_row).schedule.record(m_programme);
    if (p.stop > m_viewStart && p.start < viewEnd())
        return;
    m_time = m_viewStart;
    const int programme = programmeFor(m_row, m_time);
    const bool changed = programme != m_programme;
    m_programme = programme;
    if (changed)
        emit currentChanged();
}

void GuideGridCursor::goToNow()
{
    setView(m_model->now());
    m_time = m_model->now();
    m_inProgrammes = true;
    if (m_row >= 0)
        show(m_row, programmeFor(m_row, m_time));
}

void GuideGridCursor::modelReset()
{
    const int count = m_model->channelCount();
    const int row = count == 0 ? -1 : qBound(0, m_row, count - 1);
    m_row = row;
    m_programme = row >= 0 && m_inProgrammes ? programmeFor(row, m_time) : -1;
    m_firstRow = qBound(0, m_firstRow, qMax(0, count - m_visibleRows));
    ensureVisible();
    emit viewChanged();
    emit currentChanged();
}
