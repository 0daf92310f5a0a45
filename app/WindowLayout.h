#pragma once

#include <QObject>
#include <array>

class ChannelStrip;
class MediaEngine;
class QTimer;
class QWidget;

// Keeps the main window's strip, tab-row buttons and pop-up panels in place
// when the window is resized, scrolls the strip sideways when the window is
// narrower than its design, and switches between the normal and clean screens.
// The sizes are of the outer window with a frame that adds 8 pixels to the width
// and 34 to the height; here they are applied to the client area with those offsets.
class WindowLayout : public QObject
{
    Q_OBJECT

public:
    struct Parts {
        QWidget *window;
        QWidget *video;
        ChannelStrip *strip;
        QWidget *panelVolume;
        QWidget *panelEffects;
        QWidget *panelArrows;
        // The buttons at the tab row's right end, left to right.
        std::array<QWidget *, 4> tabRowButtons;
    };
    // The resize-settle timer is the window's, where the design names it.
    WindowLayout(Parts parts, MediaEngine &engine, QObject *parent);

    static constexpr int kFrameWidth = 8;
    static constexpr int kFrameHeight = 34;
    static constexpr int kMaxOuterWidth = 545;
    static constexpr int kScrollStep = 15;

    int stripOffset() const;
    void windowResized();
    // Starts the resize-settle count, as the window does once at start.
    void startSettling();
    void settleResize();
    void scrollStripLeft(); // "<"
    void scrollStripRight(); // ">"
    void showNormalMode(); // "Normal"
    void showCleanMode(); // "Tela Limpa"

signals:
    // "Tela Limpa" (true) or "Normal" (false) was chosen.
    void screenModeChanged(bool clean);

private:
    int outerWidth() const;
    int outerHeight() const;
    void setStripLeft(int left);
    void placeTabRowButtons();
    void placeVideo();

    Parts m_parts;
    MediaEngine &m_engine;
    QTimer *m_resizeTimer;
    // Settle ticks since the last resize.
    int m_resizeTicks = 0;
};
