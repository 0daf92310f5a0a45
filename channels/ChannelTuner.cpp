#include "channels/ChannelTuner.h"

#include "base/ProgramState.h"
#include "channels/ChannelCatalogue.h"
#include "engine/MediaEngine.h"

#include <QAbstractButton>
#include <QWidget>

ChannelTuner::ChannelTuner(
    MediaEngine &engine, ProgramState &state, QWidget &window, std::function<void()> onFailure)
    : m_engine(engine)
    , m_state(state)
    , m_window(window)
    , m_onFailure(std::move(onFailure))
{
}

void ChannelTuner::tune(const Channel &channel)
{
    m_state.ReconnectPromptSuppressed = true;
    try {
        // Unticking a ticked box is a click on it: its handler stops the retry timer.
        if (channel.switchesReconnectionOff && m_reconnectOption)
            m_reconnectOption->setChecked(false);
        m_engine.stop();
        m_engine.setUrl(channel.address);
        m_window.setWindowTitle(ChannelCatalogue::windowTitleFor(channel));
        m_state.LastChannelTitle = m_window.windowTitle();
        m_state.ReconnectPromptSuppressed = false;
    } catch (const std::exception &) {
        // The flag stays set: the program is ending.
        if (m_onFailure)
            m_onFailure();
    }
}
