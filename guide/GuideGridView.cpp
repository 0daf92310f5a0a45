#include "guide/GuideGridView.h"

#include "base/SafeCall.h"
#include "guide/GuideGridAccessible.h"
#include "guide/GuideGridCursor.h"
#include "guide/GuideGridModel.h"

#include <QAccessible>
#include <QDateTime>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

namespace
{
const QColor Past(0xe4, 0xe7, 0xec);
const QColor OnNow(0xd6, 0xe6, 0xfa);
const QColor Later(0xf6, 0xf7, 0xf9);
const QColor Lines(0xc4, 0xc9, 0xd2);
const QColor NowLine(0xd0, 0x20, 0x20);
const QColor Current(0x1f, 0x5f, 0xbf);

enum class Line { Top, Middle, Bottom };

// One line of plain text in rect, cut with "…" when it does not fit. Text
// drawn at a point skips the layout a rectangle needs: most of a frame's time.
void drawFitted(
    QPainter &painter, const QFontMetrics &metrics, const QRect &rect, Line line, const QString &text)
{
    const int baseline = line == Line::Top ? rect.top() + metrics.ascent()
        : line == Line::Bottom             ? rect.bottom() - metrics.descent()
                                           : rect.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    const bool fits = qsizetype(metrics.maxWidth()) * text.size() <= rect.width();
    painter.drawText(
        QPoint(rect.left(), baseline), fits ? text : metrics.elidedText(text, Qt::ElideRight, rect.width()));
}

} // namespace

// "HH:mm" in local time for the times of one frame. Asking the C library for
// local time stats /etc/localtime each time; one frame needs the offset once,
// or twice when a change of offset falls in it.
class GuideFrameClock
{
public:
    GuideFrameClock(qint64 from, qint64 to)
        : m_offset(offsetAt(from))
        , m_steady(m_offset == offsetAt(to))
    {
    }
    QString text(qint64 when) const
    {
        if (!m_steady)
            return GuideGridModel::clock(when);
        const qint64 local = when + m_offset;
        const qint64 minutes = ((local % 86400 + 86400) % 86400) / 60;
        const char16_t digits[5] = { char16_t(u'0' + minutes / 600), char16_t(u'0' + minutes / 60 % 10), u':',
            char16_t(u'0' + minutes % 60 / 10), char16_t(u'0' + minutes % 10) };
        return QString(reinterpret_cast<const QChar *>(digits), 5);
    }

private:
    static int offsetAt(qint64 when)
    {
        return QDateTime::fromSecsSinceEpoch(when).toLocalTime().offsetFromUtc();
    }

    int m_offset;
    bool m_steady;
};

GuideGridView::GuideGridView(GuideGridModel *model, GuideGridCursor *cursor, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_model(model)
    , m_cursor(cursor)
{
    // Before anything here tells accessibility about the view, or it would
    // keep the plain interface it made first.
    GuideGridAccessible::install();
    setObjectName(QStringLiteral("GuideGridView"));
    setAccessibleName(QStringLiteral("Grade de programação"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->setObjectName(QStringLiteral("GuideRowScrollBar"));
    horizontalScrollBar()->setObjectName(QStringLiteral("GuideTimeScrollBar"));
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { ++m_rowsGeneration; });
    connect(m_cursor, &GuideGridCursor::viewChanged, this, [this] {
        ++m_viewGeneration;
        syncScrollBars();
        viewport()->update();
        GuideGridAccessible::viewChanged(this);
    });
    connect(m_cursor, &GuideGridCursor::currentChanged, this, [this] {
        viewport()->update();
        GuideGridAccessible::currentChanged(this);
    });
    connect(m_model, &GuideGridModel::nowChanged, viewport(), qOverload<>(&QWidget::update));
    connect(m_model, &QAbstractItemModel::modelReset, viewport(), qOverload<>(&QWidget::update));
    layoutCursor();
}

int GuideGridView::xOf(qint64 when) const
{
    return ChannelColumnWidth + int((when - m_cursor->viewStart()) * SlotWidth / GuideGridCursor::SlotSecs);
}

QRect GuideGridView::cellRect(int row, int programme) const
{
    const int visibleRow = row - m_cursor->firstRow();
    if (row < 0 || row >= m_model->channelCount() || visibleRow < 0 || visibleRow > m_cursor->visibleRows())
        return {};
    const int top = HeaderHeight + visibleRow * RowHeight;
    if (programme < 0)
        return QRect(0, top, ChannelColumnWidth, RowHeight);
    const auto &p = m_model->channel(row).schedule.record(programme);
    if (p.stop <= m_cursor->viewStart() || p.start >= m_cursor->viewEnd())
        return {};
    const int left = qMax(ChannelColumnWidth, xOf(p.start));
    const int right = qMin(viewport()->width(), xOf(p.stop));
    return QRect(left, top, qMax(1, right - left), RowHeight);
}

bool GuideGridView::cellAt(const QPoint &point, int *row, int *programme) const
{
    if (point.y() < HeaderHeight)
        return false;
    *row = m_cursor->firstRow() + (point.y() - HeaderHeight) / RowHeight;
    if (*row >= m_model->channelCount())
        return false;
    if (point.x() < ChannelColumnWidth) {
        *programme = -1;
        return true;
    }
    const qint64 when = m_cursor->viewStart()
        + qint64(point.x() - ChannelColumnWidth) * GuideGridCursor::SlotSecs / SlotWidth;
    *programme = m_model->channel(*row).schedule.indexAt(when);
    return *programme >= 0;
}

void GuideGridView::layoutCursor()
{
    const int width = qMax(SlotWidth, viewport()->width() - ChannelColumnWidth);
    m_cursor->setViewLength(qint64(width) * GuideGridCursor::SlotSecs / SlotWidth);
    m_cursor->setVisibleRows(qMax(1, (viewport()->height() - HeaderHeight) / RowHeight));
    syncScrollBars();
}

void GuideGridView::syncScrollBars()
{
    m_syncing = true;
    const int columns = int((m_cursor->rangeEnd() - m_cursor->rangeStart()) / GuideGridCursor::SlotSecs);
    const int shownSlots = int(m_cursor->viewLength() / GuideGridCursor::SlotSecs);
    horizontalScrollBar()->setRange(0, qMax(0, columns - shownSlots));
    horizontalScrollBar()->setPageStep(qMax(1, shownSlots));
    horizontalScrollBar()->setValue(
        int((m_cursor->viewStart() - m_cursor->rangeStart()) / GuideGridCursor::SlotSecs));
    verticalScrollBar()->setRange(0, qMax(0, m_model->channelCount() - m_cursor->visibleRows()));
    verticalScrollBar()->setPageStep(m_cursor->visibleRows());
    verticalScrollBar()->setValue(m_cursor->firstRow());
    m_syncing = false;
}

void GuideGridView::scrollContentsBy(int, int)
{
    if (m_syncing)
        return;
    m_cursor->setFirstRow(verticalScrollBar()->value());
    const qint64 start
        = m_cursor->rangeStart() + qint64(horizontalScrollBar()->value()) * GuideGridCursor::SlotSecs;
    m_cursor->scrollTime(int((start - m_cursor->viewStart()) / GuideGridCursor::SlotSecs));
}

void GuideGridView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    layoutCursor();
}

void GuideGridView::paintHeader(QPainter &painter, const GuideFrameClock &clock)
{
    const QRect header(0, 0, viewport()->width(), HeaderHeight);
    painter.fillRect(header, palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    const QDateTime day = QDateTime::fromSecsSinceEpoch(m_cursor->viewStart()).toLocalTime();
    const QFontMetrics metrics(font());
    drawFitted(painter, metrics, QRect(8, 0, ChannelColumnWidth - 16, HeaderHeight), Line::Middle,
        QLocale(QLocale::Portuguese, QLocale::Brazil).toString(day.date(), QStringLiteral("ddd dd/MM")));
    for (qint64 t = m_cursor->viewStart(); t < m_cursor->viewEnd(); t += GuideGridCursor::SlotSecs) {
        const int x = xOf(t);
        painter.setPen(Lines);
        painter.drawLine(x, 0, x, HeaderHeight);
        painter.setPen(palette().color(QPalette::WindowText));
        drawFitted(
            painter, metrics, QRect(x + 6, 0, SlotWidth - 12, HeaderHeight), Line::Middle, clock.text(t));
    }
}

void GuideGridView::paintRow(QPainter &painter, int row, int top, const GuideFrameClock &clock)
{
    const GuideGridChannel &channel = m_model->channel(row);
    const qint64 now = m_model->now();
    const bool currentRow = row == m_cursor->row();
    const QRect name(0, top, ChannelColumnWidth, RowHeight);
    painter.fillRect(name, palette().base());
    painter.setPen(Lines);
    painter.drawRect(name.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Text));
    painter.setFont(m_bold);
    const QString title = (channel.favourite ? QStringLiteral("★ ") : QString()) + channel.title;
    drawFitted(painter, QFontMetrics(m_bold), name.adjusted(8, 0, -6, 0), Line::Middle, title);
    painter.setFont(font());
    if (currentRow && m_cursor->programme() < 0) {
        painter.setPen(QPen(Current, 3));
        painter.drawRect(name.adjusted(1, 1, -2, -2));
    }

    const GuideSchedule &schedule = channel.schedule;
    const QFontMetrics metrics(font());
    const QRect lane(ChannelColumnWidth, top, viewport()->width() - ChannelColumnWidth, RowHeight);
    painter.fillRect(lane, palette().window());
    if (schedule.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        drawFitted(painter, QFontMetrics(font()), lane.adjusted(10, 0, 0, 0), Line::Middle,
            QStringLiteral("Sem programação"));
        return;
    }
    for (int i = schedule.firstEndingAfter(m_cursor->viewStart());
         i < schedule.count() && schedule.record(i).start < m_cursor->viewEnd(); ++i) {
        const auto &p = schedule.record(i);
        const QRect cell = cellRect(row, i);
        painter.fillRect(cell, p.stop <= now ? Past : p.start <= now ? OnNow : Later);
        painter.setPen(Lines);
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(QPalette::Text));
        const QRect text = cell.adjusted(6, 3, -4, -3);
        drawFitted(painter, metrics, text, Line::Top, schedule.title(i));
        painter.setPen(palette().color(QPalette::PlaceholderText));
        drawFitted(painter, metrics, text, Line::Bottom,
            clock.text(p.start) + QStringLiteral(" – ") + clock.text(p.stop));
        if (currentRow && i == m_cursor->programme()) {
            painter.setPen(QPen(Current, 3));
            painter.drawRect(cell.adjusted(1, 1, -2, -2));
        }
    }
}

void GuideGridView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    m_bold = font();
    m_bold.setBold(true);
    const GuideFrameClock clock(m_cursor->viewStart(), m_cursor->viewEnd());
    paintHeader(painter, clock);
    const int last = qMin(m_model->channelCount(), m_cursor->firstRow() + m_cursor->visibleRows() + 1);
    for (int row = m_cursor->firstRow(); row < last; ++row)
        paintRow(painter, row, HeaderHeight + (row - m_cursor->firstRow()) * RowHeight, clock);
    const int below = HeaderHeight + (last - m_cursor->firstRow()) * RowHeight;
    if (below < viewport()->height())
        painter.fillRect(0, below, viewport()->width(), viewport()->height() - below, palette().window());
    const qint64 now = m_model->now();
    if (now >= m_cursor->viewStart() && now < m_cursor->viewEnd()) {
        painter.setPen(QPen(NowLine, 2));
        painter.drawLine(xOf(now), 0, xOf(now), viewport()->height());
    }
}

void GuideGridView::keyPressEvent(QKeyEvent *event)
{
    safeCall([&] {
        switch (event->key()) {
        case Qt::Key_Left:
            m_cursor->moveLeft();
            break;
        case Qt::Key_Right:
            m_cursor->moveRight();
            break;
        case Qt::Key_Up:
            m_cursor->moveUp();
            break;
        case Qt::Key_Down:
            m_cursor->moveDown();
            break;
        case Qt::Key_PageUp:
            m_cursor->pageUp();
            break;
        case Qt::Key_PageDown:
            m_cursor->pageDown();
            break;
        case Qt::Key_Home:
            m_cursor->goToNow();
            break;
        case Qt::Key_End:
            m_cursor->moveToLastRow();
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit activated(m_cursor->currentIndex());
            break;
        case Qt::Key_Space:
            emit detailsRequested(m_cursor->currentIndex());
            break;
        default:
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
        event->accept();
    });
}

void GuideGridView::mousePressEvent(QMouseEvent *event)
{
    safeCall([&] {
        int row = 0;
        int programme = 0;
        if (event->button() != Qt::LeftButton || !cellAt(event->position().toPoint(), &row, &programme))
            return;
        setFocus(Qt::MouseFocusReason);
        m_cursor->setCurrent(row, programme);
        emit detailsRequested(m_cursor->currentIndex());
    });
}

void GuideGridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    safeCall([&] {
        int row = 0;
        int programme = 0;
        if (event->button() != Qt::LeftButton || !cellAt(event->position().toPoint(), &row, &programme))
            return;
        m_cursor->setCurrent(row, programme);
        emit activated(m_cursor->currentIndex());
    });
}

void GuideGridView::wheelEvent(QWheelEvent *event)
{
    safeCall([&] {
        // Over the names the wheel goes through channels; over programmes, through time.
        const QPoint delta = event->angleDelta();
        const int angle = delta.x() != 0 ? delta.x() : delta.y();
        if (event->position().x() < ChannelColumnWidth && delta.x() == 0) {
            m_cursor->setFirstRow(m_cursor->firstRow() - angle / 40);
        } else {
            m_wheelAngle += angle;
            const int columns = m_wheelAngle / 120;
            m_wheelAngle -= columns * 120;
            if (columns)
                m_cursor->scrollTime(-columns);
        }
        event->accept();
    });
}
