#include "channels/Reconnection.h"

#include "base/ProgramState.h"
#include "base/SafeCall.h"
#include "channels/AlternateAddressLists.h"
#include "channels/AlternateRotation.h"
#include "engine/MediaEngine.h"
#include "player/StatusText.h"
#include "widgets/MessageBox.h"

#include <QAbstractButton>
#include <QListWidget>
#include <QTabBar>
#include <QTimer>
#include <QWidget>

namespace
{
constexpr int kWebcamsTab = 6;
}

Reconnection::Reconnection(MediaEngine &engine, ProgramState &state, QWidget &window, QTabBar &tabs,
    QTimer &tryAgain, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_state(state)
    , m_window(window)
    , m_tabs(tabs)
    , m_tryAgain(tryAgain)
{
    setObjectName(QStringLiteral("Reconnection"));
    connect(
        &m_engine, &MediaEngine::stateChanged, this, [this] { safeCall([this] { engineStatusChanged(); }); });
    connect(&m_tryAgain, &QTimer::timeout, this, [this] { safeCall([this] { retryDroppedStream(); }); });
}

QString Reconnection::questionText()
{
    return QStringLiteral(
               "Este canal pode estar congestionado, ou com algum problema técnico, deseja ativar o "
               "sistema Tenacor® para que o Lumivortex tente uma conexão?")
        + QStringLiteral("\n\n")
        + QStringLiteral(
            "OBS: Caso este aviso seja mostrado em todos os canais, por favor verifique sua conexão, "
            "maiores informações no FAQ na aba Sistema > Sobre... .");
}

void Reconnection::engineStatusChanged()
{
    const MediaEngine::State state = m_engine.state();
    m_window.setWindowTitle(
        m_state.LastChannelTitle + QLatin1Char(' ') + statusText(state, m_engine.bufferPercent()));
    if (isReadyState(state))
        m_window.setWindowTitle(m_state.LastChannelTitle + QStringLiteral(" Canal Congestionado!"));

    // The stop below reports the stop status again from inside the call; that
    // nested report must not stop once more, or the two would chase each other.
    if (isStopState(state) && !m_handlingStop) {
        m_handlingStop = true;
        const bool done = safeCall([this] {
            m_engine.stop();
            if (pressStop)
                pressStop();
            if (showPlayButtonStopped)
                showPlayButtonStopped();
        });
        m_handlingStop = false;
        if (!done)
            return;
    }
    if (isReadyState(state) && !m_state.ReconnectPromptSuppressed && m_tabs.currentIndex() != kWebcamsTab)
        askToReconnect();
}

void Reconnection::askToReconnect()
{
    // Set before the box opens: ticks and notifications handled under its modal
    // loop must not open a second one.
    m_state.ReconnectPromptSuppressed = true;
    MessageRequest request;
    request.caption = QStringLiteral("Information");
    request.text = questionText();
    request.icon = QMessageBox::Information;
    request.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    request.defaultButton = QMessageBox::Ok;
    request.escapeButton = QMessageBox::Cancel;
    if (showMessage(&m_window, request) == QMessageBox::Ok && m_option)
        m_option->setChecked(true);
}

void Reconnection::retryDroppedStream()
{
    if (!isReadyState(m_engine.state()))
        return;
    if (QListWidget *list = m_lists ? m_lists->listForTitle(m_state.LastChannelTitle) : nullptr) {
        const RotationStep step = nextRotation(list->currentRow(), list->count());
        list->setCurrentRow(step.position);
        if (step.loadEntry)
            m_engine.setUrl(list->item(step.position)->text());
    }
    m_engine.play();
}

void Reconnection::interruptTransmission()
{
    if (pressStop)
        pressStop();
}
