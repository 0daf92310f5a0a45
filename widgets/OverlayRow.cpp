#include "widgets/OverlayRow.h"

#include <QEvent>
#include <QRegion>

OverlayRow::OverlayRow(QWidget &target)
    : QWidget(target.parentWidget())
    , m_target(target)
{
    target.installEventFilter(this);
    follow();
}

void OverlayRow::refreshMask()
{
    QRegion region;
    for (const QWidget *child : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (!child->isHidden())
            region += child->geometry();
    // An empty mask means no mask at all: keep one pixel out of the way instead.
    setMask(region.isEmpty() ? QRegion(-1, -1, 1, 1) : region);
}

void OverlayRow::follow()
{
    setGeometry(m_target.geometry());
    setVisible(!m_target.isHidden());
    raise();
}

bool OverlayRow::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ZOrderChange:
        follow();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
