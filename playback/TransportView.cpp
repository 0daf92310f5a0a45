#include "playback/TransportView.h"

#include "base/MediaFormats.h"
#include "base/SafeCall.h"
#include "playback/PlayerPanel.h"
#include "widgets/AnnouncedText.h"
#include "widgets/ButtonColour.h"
#include "widgets/Dialogs.h"
#include "widgets/FlatButton.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <algorithm>

using namespace ButtonColour;

TransportView::TransportView(PlayerPanel &panel, Transport &transport, QWidget &window)
    : QObject(&window)
    , m_panel(panel)
    , m_transport(transport)
    , m_window(window)
{
    setObjectName(QStringLiteral("Transport"));
    m_transport.setFileChooser(this);
    auto onClick = [this](FlatButton *button, void (Transport::*handler)()) {
        connect(button, &QToolButton::clicked, this,
            [this, handler] { safeCall([this, handler] { (m_transport.*handler)(); }); });
    };
    onClick(m_panel.m_playPause, &Transport::playPause);
    onClick(m_panel.m_stop, &Transport::stop);
    onClick(m_panel.m_openFile, &Transport::openFile);
    onClick(m_panel.m_skipForward, &Transport::skipForward);
    onClick(m_panel.m_skipBack, &Transport::skipBack);
    onClick(m_panel.m_next, &Transport::playNext);
    onClick(m_panel.m_previous, &Transport::playPrevious);
    onClick(m_panel.m_repeat, &Transport::toggleRepeat);
    connect(m_panel.m_scanBack, &QToolButton::pressed, this, [this] { m_transport.setScanningBack(true); });
    connect(m_panel.m_scanBack, &QToolButton::released, this, [this] { m_transport.setScanningBack(false); });
    connect(
        m_panel.m_scanForward, &QToolButton::pressed, this, [this] { m_transport.setScanningForward(true); });
    connect(m_panel.m_scanForward, &QToolButton::released, this,
        [this] { m_transport.setScanningForward(false); });
    // Open, seek, next and previous are lime only while held.
    for (FlatButton *held : { m_panel.m_openFile, m_panel.m_skipForward, m_panel.m_skipBack, m_panel.m_next,
             m_panel.m_previous }) {
        connect(held, &QToolButton::pressed, this, [held] { set(held, Lime); });
        connect(held, &QToolButton::released, this, [held] { set(held, Blue); });
    }
    connect(m_panel.m_playlistToggle, &QToolButton::clicked, this, &TransportView::playlistRequested);
    connect(
        m_panel.m_miniPlayerToggle, &QToolButton::clicked, this, &TransportView::miniPlayerToggleRequested);
    onClick(m_panel.m_liveEdge, &Transport::returnToLive);
    m_panel.m_positionBar->installEventFilter(this);
    m_panel.m_nowPlaying->installEventFilter(this);
    m_panel.m_lyricsSymbol->installEventFilter(this);

    connect(&m_transport, &Transport::modeChanged, this, [this] { showMode(); });
    connect(&m_transport, &Transport::repeatChanged, this,
        [this](bool on) { set(m_panel.m_repeat, on ? Lime : Blue); });
    connect(&m_transport, &Transport::scanningChanged, this, [this] { showScanning(); });
    connect(&m_transport, &Transport::lyricsOfferedChanged, m_panel.m_lyricsSymbol, &QWidget::setVisible);
    connect(&m_transport, &Transport::displayChanged, this, [this] { showDisplay(); });
    connect(&m_transport, &Transport::liveChanged, this, [this] { showLive(); });
    connect(&m_transport, &Transport::nowPlayingChanged, this,
        [this](const QString &name) { setAnnouncedText(m_panel.m_nowPlaying, name); });
}

QString TransportView::openDialogFilter()
{
    return MediaFormats::playerOpenFilter();
}

QString TransportView::chooseMediaFile()
{
    FileRequest request;
    request.nameFilters = openDialogFilter().split(QStringLiteral(";;"));
    return askForFile(&m_window, request);
}

bool TransportView::eventFilter(QObject *watched, QEvent *event)
{
    // Only the mouse is looked at. The panel's widgets outlive the panel and
    // the transport when the window closes, and still send events as they go.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    if (watched == m_panel.m_positionBar && m_transport.liveBuffered()) {
        // Pressed or dragged along: the picture of that point of the buffer.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if ((type == QEvent::MouseButtonPress || type == QEvent::MouseMove)
            && (mouse->buttons() & Qt::LeftButton)) {
            seekInBarAt(qRound(mouse->position().x()));
            return true;
        }
    }
    // A click on the now-playing name or its symbol searches the song's lyrics.
    if (type == QEvent::MouseButtonRelease
        && (watched == m_panel.m_nowPlaying || watched == m_panel.m_lyricsSymbol)) {
        emit lyricsSearchRequested(m_transport.nowPlaying());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void TransportView::showMode()
{
    const Transport::Mode mode = m_transport.mode();
    set(m_panel.m_playPause,
        mode == Transport::Mode::Playing      ? Lime
            : mode == Transport::Mode::Paused ? Red
                                              : Blue);
}

void TransportView::showScanning()
{
    set(m_panel.m_scanBack, m_transport.scanningBack() ? Lime : Blue);
    set(m_panel.m_scanForward, m_transport.scanningForward() ? Lime : Blue);
}

void TransportView::showDisplay()
{
    setAnnouncedText(m_panel.m_timeText, m_transport.timeText());
    QProgressBar *gauge = m_panel.m_positionBar;
    // A zero range would draw a busy bar; a live stream shows an empty one.
    if (m_transport.gaugeMaximum() <= 0) {
        gauge->setRange(0, 1);
        gauge->setValue(0);
        return;
    }
    if (gauge->maximum() != m_transport.gaugeMaximum())
        gauge->setRange(0, m_transport.gaugeMaximum());
    gauge->setValue(m_transport.gaugeProgress());
}

void TransportView::showLive()
{
    const bool live = m_transport.liveBuffered();
    // At the edge the time text says "Ao vivo" itself.
    m_panel.m_liveEdge->setVisible(live && !m_transport.atLiveEdge());
    m_panel.m_positionBar->setCursor(live ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TransportView::seekInBarAt(int x)
{
    const int width = std::max(1, m_panel.m_positionBar->width());
    safeCall([&] { m_transport.seekInBar(double(x) / width); });
}
