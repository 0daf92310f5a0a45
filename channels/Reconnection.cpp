#include "channels/Reconnection.h"

#include "base/ProgramState.h"
#include "base/SafeCall.h"
#include "channels/AlternateAddressLists.h"
#include "channels/AlternateRotation.h"
#include "engine/MediaEngine.h"
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
    connect(&m_engine, &MediaEngine::statusChanged, this,
        [this] { safeCall([this] { engineStatusChanged(); }); });
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

QString Reconnection::certificateRefusedText()
{
    return QStringLiteral(
        "O certificado de segurança deste canal não é válido, e a conexão foi recusada para proteger você. "
        "O Lumivortex tenta os outros endereços do canal, se houver.\n\nSe você confia no provedor desta "
        "lista, marque \"aceitar certificados inválidos\" em Listas de canais.");
}

bool Reconnection::isReadyStatus(const QString &status)
{
    return status == QLatin1String("Ready") || status == QLatin1String("Pronto");
}

bool Reconnection::isStopStatus(const QString &status)
{
    return status == QLatin1String("Parado") || status == QLatin1String("Stop")
        || status == QLatin1String("Stoped");
}

void Reconnection::engineStatusChanged()
{
    const QString status = m_engine.status();
    m_window.setWindowTitle(m_state.LastChannelTitle + QLatin1Char(' ') + status);
    const QString title = m_window.windowTitle();
    if (title == m_state.LastChannelTitle + QStringLiteral(" Pronto")
        || title == m_state.LastChannelTitle + QStringLiteral(" Ready"))
        m_window.setWindowTitle(m_state.LastChannelTitle + QStringLiteral(" Canal Congestionado!"));
    if (isReadyStatus(status) && m_engine.failure() == MediaEngine::Failure::CertificateRefused) {
        certificateRefused();
        return;
    }

    // The stop below reports the stop status again from inside the call; that
    // nested report must not stop once more, or the two would chase each other.
    if (isStopStatus(status) && !m_handlingStop) {
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
    if (isReadyStatus(status) && !m_state.ReconnectPromptSuppressed && m_tabs.currentIndex() != kWebcamsTab)
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

void Reconnection::certificateRefused()
{
    const QString channel = m_state.LastChannelTitle;
    m_window.setWindowTitle(channel + QStringLiteral(" Certificado inválido!"));
    if (channel != m_refusedChannel) {
        m_refusedChannel = channel;
        m_refusedAddresses.clear();
        m_refusalTold = false;
    }
    m_refusedAddresses.insert(m_engine.url());
    // Queued: the engine is still inside the call that reported the refusal.
    QMetaObject::invokeMethod(
        this, [this, channel] { safeCall([this, channel] { moveOnFromRefusedAddress(channel); }); },
        Qt::QueuedConnection);
    if (m_refusalTold)
        return;
    m_refusalTold = true;
    MessageRequest request;
    request.caption = applicationTitle();
    request.text = certificateRefusedText();
    request.icon = QMessageBox::Warning;
    request.buttons = QMessageBox::Ok;
    request.defaultButton = QMessageBox::Ok;
    request.escapeButton = QMessageBox::Ok;
    showMessage(&m_window, request);
}

void Reconnection::moveOnFromRefusedAddress(const QString &channelTitle)
{
    // Another tune, or another outcome, since the refusal: nothing to move on from.
    if (channelTitle != m_state.LastChannelTitle || !isReadyStatus(m_engine.status())
        || m_engine.failure() != MediaEngine::Failure::CertificateRefused)
        return;
    QListWidget *list = m_lists ? m_lists->listForTitle(channelTitle) : nullptr;
    const int count = list ? list->count() : 0;
    for (int step = 1; step <= count; ++step) {
        const int row = (list->currentRow() + step + count) % count;
        const QString address = list->item(row)->text();
        if (m_refusedAddresses.contains(address))
            continue;
        list->setCurrentRow(row);
        m_engine.setUrl(address);
        return;
    }
}

void Reconnection::retryDroppedStream()
{
    if (!isReadyStatus(m_engine.status()))
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
