#include "app/WindowLayout.h"

#include "base/SafeCall.h"
#include "channels/ChannelStrip.h"
#include "engine/MediaEngine.h"
#include "widgets/OverlayRow.h"

#include <QTimer>
#include <QWidget>

WindowLayout::WindowLayout(Parts parts, MediaEngine &engine, QObject *parent)
    : QObject(parent)
    , m_parts(parts)
    , m_engine(engine)
    , m_resizeTimer(new QTimer(parts.window))
{
    setObjectName(QStringLiteral("WindowLayout"));
    m_resizeTimer->setObjectName(QStringLiteral("TimerResize"));
    m_resizeTimer->setInterval(500);
    connect(m_resizeTimer, &QTimer::timeout, this, [this] { settleResize(); });
}

void WindowLayout::startSettling()
{
    m_resizeTimer->start();
}

int WindowLayout::outerWidth() const
{
    return m_parts.window->width() + kFrameWidth;
}

int WindowLayout::outerHeight() const
{
    return m_parts.window->height() + kFrameHeight;
}

int WindowLayout::stripOffset() const
{
    return m_parts.strip->tabControl()->x();
}

void WindowLayout::setStripLeft(int left)
{
    for (QFrame *panel : m_parts.strip->stripPanels())
        panel->move(left, panel->y());
    // The tab row moves last, as its position is the offset the others follow.
    m_parts.strip->tabControl()->move(left, m_parts.strip->tabControl()->y());
}

void WindowLayout::placeTabRowButtons()
{
    QWidget *row = m_parts.strip->tabControl();
    const int right = outerWidth() - row->x();
    const int distances[] = { 111, 93, 75, 57 };
    for (std::size_t i = 0; i < m_parts.tabRowButtons.size(); ++i)
        if (QWidget *button = m_parts.tabRowButtons[i])
            button->move(right - distances[i], button->y());
    if (QWidget *first = m_parts.tabRowButtons[0])
        if (auto *overlay = qobject_cast<OverlayRow *>(first->parentWidget()))
            overlay->refreshMask();
}

void WindowLayout::placeVideo()
{
    const QWidget *window = m_parts.window;
    const bool clean = m_parts.strip->tabControl()->isHidden();
    m_parts.video->resize(window->width(), clean ? window->height() : window->height() - 80);
}

void WindowLayout::windowResized()
{
    m_resizeTicks = 0;
    if (!m_resizeTimer->isActive())
        m_resizeTimer->start();
    placeVideo();
    placeTabRowButtons();
    m_parts.panelVolume->move(m_parts.window->width() - 49, outerHeight() - 283);
    m_parts.panelArrows->move(outerWidth() - 54, outerHeight() - 52);
    QWidget *tabs = m_parts.strip->tabControl();
    tabs->move(tabs->x(), outerHeight() - 113);
    for (QFrame *panel : m_parts.strip->stripPanels())
        panel->move(panel->x(), outerHeight() - 95);
    m_parts.panelEffects->move(m_parts.panelEffects->x(), outerHeight() - 243);

    const int slack = kMaxOuterWidth - outerWidth();
    if (std::abs(stripOffset()) > slack) {
        setStripLeft(outerWidth() - kMaxOuterWidth);
        // The buttons were placed for the offset before the pull; left there,
        // a widening would push them past the right edge.
        placeTabRowButtons();
    }
}

void WindowLayout::settleResize()
{
    m_resizeTicks += 1;
    if (m_resizeTicks == 2) {
        safeCall([this] { m_engine.redraw(); });
        // Later ticks would only count on; nothing needs the timer until the next resize.
        m_resizeTimer->stop();
    }
}

void WindowLayout::scrollStripLeft()
{
    if (stripOffset() >= 0)
        return;
    setStripLeft(stripOffset() + kScrollStep);
    placeTabRowButtons();
    m_parts.panelVolume->move(m_parts.window->width() - 49, m_parts.panelVolume->y());
    if (stripOffset() > 0)
        setStripLeft(0);
}

void WindowLayout::scrollStripRight()
{
    const int slack = kMaxOuterWidth - outerWidth();
    if (std::abs(stripOffset()) >= slack)
        return;
    setStripLeft(stripOffset() - kScrollStep);
    placeTabRowButtons();
    m_parts.panelVolume->move(m_parts.window->width() - 49, m_parts.panelVolume->y());
    if (std::abs(stripOffset()) > slack)
        setStripLeft(-slack);
}

void WindowLayout::showNormalMode()
{
    m_parts.strip->tabControl()->show();
    m_parts.panelArrows->show();
    for (QFrame *panel : m_parts.strip->stripPanels())
        panel->show();
    m_parts.strip->panel(QStringLiteral("PanelBrasil"))->raise();
    m_parts.panelArrows->raise();
    m_parts.strip->selectTabQuietly(0);
    placeVideo();
    safeCall([this] { m_engine.redraw(); });
    emit screenModeChanged(false);
}

void WindowLayout::showCleanMode()
{
    m_parts.strip->tabControl()->hide();
    m_parts.panelArrows->hide();
    for (QFrame *panel : m_parts.strip->stripPanels())
        panel->hide();
    placeVideo();
    safeCall([this] { m_engine.redraw(); });
    emit screenModeChanged(true);
}
