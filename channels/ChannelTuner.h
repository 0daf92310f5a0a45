#pragma once

#include "channels/Channel.h"

#include <QPointer>
#include <functional>

class MediaEngine;
class QAbstractButton;
class QWidget;
struct ProgramState;

// Points the engine at a channel and marks the window title with its name.
// The reconnect prompt stays suppressed over the whole sequence so that the
// statuses the stop and the new address raise ask nothing.
class ChannelTuner
{
public:
    // onFailure runs when the engine rejects a call of the tune (the program ends).
    ChannelTuner(MediaEngine &engine, ProgramState &state, QWidget &window, std::function<void()> onFailure);

    // The options window's reconnection check box, unticked by the channels
    // that switch the reconnection system off.
    void setReconnectOption(QAbstractButton *option) { m_reconnectOption = option; }

    void tune(const Channel &channel);

private:
    MediaEngine &m_engine;
    ProgramState &m_state;
    QWidget &m_window;
    std::function<void()> m_onFailure;
    QPointer<QAbstractButton> m_reconnectOption;
};
