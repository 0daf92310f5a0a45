#include "player/Reconnection.h"

#include "base/SafeCall.h"
#include "engine/MediaEngine.h"
#include "player/AlternateAddresses.h"
#include "player/ChannelTitle.h"
#include "player/SourceFailover.h"
#include "player/StatusText.h"
#include "player/Transport.h"

#include <QTimer>

Reconnection::Reconnection(MediaEngine &engine, ChannelTitle &title, Transport &transport,
    AlternateAddresses &alternates, SourceFailover &failover, QTimer &retryTimer, QObject *parent)
    : QObject(parent)
    , m_engine(engine)
    , m_title(title)
    , m_transport(transport)
    , m_alternates(alternates)
    , m_failover(failover)
    , m_retryTimer(retryTimer)
{
    connect(
        &m_engine, &MediaEngine::stateChanged, this, [this] { safeCall([this] { engineStateChanged(); }); });
    connect(&m_retryTimer, &QTimer::timeout, this, [this] { safeCall([this] { retryDroppedStream(); }); });
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

void Reconnection::setOn(bool on)
{
    if (on == m_on)
        return;
    m_on = on;
    // The option flips the timer on every change; nothing else starts or stops it.
    if (m_retryTimer.isActive())
        m_retryTimer.stop();
    else
        m_retryTimer.start();
    emit switchedOn(on);
}

void Reconnection::engineStateChanged()
{
    const MediaEngine::State state = m_engine.state();
    if (m_failover.takeState(state))
        return;
    m_title.showState(state, m_engine.bufferPercent());
    if (isReadyState(state) && m_engine.failure() == MediaEngine::Failure::CertificateRefused) {
        certificateRefused();
        return;
    }

    // The stop below reports the stopped state again from inside the call; that
    // nested report must not stop once more, or the two would chase each other.
    if (isStopState(state) && !m_handlingStop) {
        m_handlingStop = true;
        // The full stop of the stop button, which leaves the play button stopped.
        const bool done = safeCall([this] {
            m_engine.stop();
            m_transport.stop();
        });
        m_handlingStop = false;
        if (!done)
            return;
    }
    if (isReadyState(state) && !m_promptSuppressed && m_dialogs && m_dialogs->mayAskToReconnect())
        askToReconnect();
}

void Reconnection::askToReconnect()
{
    // Set before the box opens: ticks and notifications handled under its modal
    // loop must not open a second one.
    m_promptSuppressed = true;
    if (m_dialogs->askToReconnect())
        setOn(true);
}

void Reconnection::certificateRefused()
{
    const QString channel = m_title.lastChannelTitle();
    m_title.showText(channel + QStringLiteral(" Certificado inválido!"));
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
    if (m_refusalTold || !m_dialogs)
        return;
    m_refusalTold = true;
    m_dialogs->tellCertificateRefused();
}

void Reconnection::moveOnFromRefusedAddress(const QString &channelTitle)
{
    // Another tune, or another outcome, since the refusal: nothing to move on from.
    if (channelTitle != m_title.lastChannelTitle() || !isReadyState(m_engine.state())
        || m_engine.failure() != MediaEngine::Failure::CertificateRefused)
        return;
    const QStringList entries = m_alternates.entries(channelTitle);
    const int count = int(entries.size());
    for (int step = 1; step <= count; ++step) {
        const int row = (m_alternates.position(channelTitle) + step + count) % count;
        if (m_refusedAddresses.contains(entries.at(row)))
            continue;
        m_alternates.setPosition(channelTitle, row);
        m_engine.setUrl(entries.at(row));
        emit sourceChanged(entries.at(row));
        return;
    }
}

void Reconnection::retryDroppedStream()
{
    // A failover under way is opening the next source already.
    if (!isReadyState(m_engine.state()) || m_failover.isSwitching())
        return;
    if (const std::optional<QString> address = m_alternates.step(m_title.lastChannelTitle())) {
        const bool changed = *address != m_engine.url();
        m_engine.setUrl(*address);
        if (changed)
            emit sourceChanged(*address);
    }
    m_engine.play();
}

void Reconnection::interruptTransmission()
{
    m_transport.stop();
}
