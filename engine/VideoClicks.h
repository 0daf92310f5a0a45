#pragma once

#include <QMouseEvent>
#include <QRect>
#include <utility>

// The clicks of the video area, wherever it is drawn: a left release inside
// it is a click, unless it ends a double-click.
class VideoClicks
{
public:
    bool isClick(const QMouseEvent &release, const QSize &area)
    {
        // The release that ends a double-click is no click of its own.
        const bool endsDoubleClick = std::exchange(m_inDoubleClick, false);
        return release.button() == Qt::LeftButton && !endsDoubleClick
            && QRect(QPoint(), area).contains(release.position().toPoint());
    }

    bool isDoubleClick(const QMouseEvent &event)
    {
        if (event.button() != Qt::LeftButton)
            return false;
        m_inDoubleClick = true;
        return true;
    }

private:
    bool m_inDoubleClick = false;
};
