#include "tests/support/FakeEngine.h"

#include <algorithm>

FakeEngine::FakeEngine(QObject *parent)
    : MediaEngine(parent)
{
}

FakeEngine::~FakeEngine()
{
    delete m_widget.data();
}

void FakeEngine::record(const QString &call)
{
    calls << call;
    const QString name = call.section(QLatin1Char(' '), 0, 0);
    if (onCall)
        onCall(call);
    if (failingCalls.contains(name))
        throw EngineError("scripted failure of " + name.toStdString());
}

void FakeEngine::emitState(State state, Failure failure, int bufferPercent)
{
    m_state = state;
    m_failure = failure;
    m_bufferPercent = bufferPercent;
    emit stateChanged(state);
}

void FakeEngine::setUrl(const QString &url)
{
    m_url = url;
    record(QStringLiteral("setUrl ") + url);
    if (!m_streamTitle.isEmpty())
        emitStreamTitle(QString());
    if (urlState)
        emitState(*urlState);
}

void FakeEngine::setRequestHeaders(const QString &address, const QString &userAgent, const QString &referrer)
{
    record(QStringLiteral("setRequestHeaders %1 %2 %3").arg(address, userAgent, referrer));
}

void FakeEngine::play()
{
    record(QStringLiteral("play"));
    if (playState)
        emitState(*playState);
}

void FakeEngine::pause()
{
    record(QStringLiteral("pause"));
    if (pauseState)
        emitState(*pauseState);
}

void FakeEngine::stop()
{
    record(QStringLiteral("stop"));
    if (stopState)
        emitState(*stopState);
}

void FakeEngine::setCurrentPosition(double seconds)
{
    record(QStringLiteral("setCurrentPosition %1").arg(seconds));
    m_position = seconds;
}

void FakeEngine::setVolume(int volume)
{
    record(QStringLiteral("setVolume %1").arg(volume));
    m_volume = std::clamp(volume, 0, 100);
}

void FakeEngine::setRate(double rate)
{
    record(QStringLiteral("setRate %1").arg(rate));
    m_rate = rate;
}

void FakeEngine::setMute(bool mute)
{
    record(QStringLiteral("setMute %1").arg(mute));
    m_mute = mute;
}

void FakeEngine::setLoop(bool loop)
{
    record(QStringLiteral("setLoop %1").arg(loop));
    m_loop = loop;
}

void FakeEngine::setFullScreen(bool fullScreen)
{
    record(QStringLiteral("setFullScreen %1").arg(fullScreen));
    if (fullScreen && fullScreenRefusedWhenEmpty && m_url.isEmpty())
        throw EngineError("nothing loaded");
    m_fullScreen = fullScreen;
}

void FakeEngine::setStretchToFit(bool stretch)
{
    record(QStringLiteral("setStretchToFit %1").arg(stretch));
    m_stretch = stretch;
}

void FakeEngine::close()
{
    record(QStringLiteral("close"));
}

void FakeEngine::redraw()
{
    record(QStringLiteral("redraw"));
}

QWidget *FakeEngine::videoWidget()
{
    if (!m_widget) {
        m_widget = new QWidget;
        m_widget->setObjectName(QStringLiteral("WindowsMediaPlayer1"));
    }
    return m_widget;
}

void FakeLiveRewind::seekBehindLive(double seconds)
{
    m_calls << QStringLiteral("seekBehindLive %1").arg(seconds);
    behind = std::clamp(seconds, 0.0, available);
}

void FakeLiveRewind::seekBy(double delta)
{
    m_calls << QStringLiteral("seekBy %1").arg(delta);
    behind = std::clamp(behind - delta, 0.0, available);
}
