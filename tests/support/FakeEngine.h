#pragma once

#include "engine/MediaEngine.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

// A live buffer scripted by the test: how much was kept and how far behind
// live the picture is; moves are recorded in the engine's calls() and, like
// the real buffer's, clamped to what was kept.
class FakeLiveRewind : public LiveRewind
{
public:
    explicit FakeLiveRewind(QStringList &calls)
        : m_calls(calls)
    {
    }
    bool isActive() const override { return active; }
    double secondsBehindLive() const override { return behind; }
    double secondsAvailable() const override { return available; }
    void seekBehindLive(double seconds) override;
    void seekBy(double delta) override;

    bool active = false;
    double behind = 0;
    double available = 0;

private:
    QStringList &m_calls;
};

// A scripted MediaEngine for window and logic tests: state, position and
// duration are set by the test; every call is recorded in calls() as a short
// text ("stop", "setUrl mms://x", "play", "setVolume 53", ...).
class FakeEngine : public MediaEngine
{
    Q_OBJECT

public:
    explicit FakeEngine(QObject *parent = nullptr);
    ~FakeEngine() override;

    void setUrl(const QString &url) override;
    QString url() const override { return m_url; }
    State state() const override { return m_state; }
    int bufferPercent() const override { return m_bufferPercent; }
    Failure failure() const override { return m_failure; }
    void play() override;
    void pause() override;
    void stop() override;
    double currentPosition() const override { return m_position; }
    void setCurrentPosition(double seconds) override;
    QString currentPositionString() const override { return m_positionString; }
    double duration() const override { return m_duration; }
    QString durationString() const override { return m_durationString; }
    int volume() const override { return m_volume; }
    void setVolume(int volume) override;
    double rate() const override { return m_rate; }
    void setRate(double rate) override;
    bool mute() const override { return m_mute; }
    void setMute(bool mute) override;
    bool loop() const override { return m_loop; }
    void setLoop(bool loop) override;
    void setFullScreen(bool fullScreen) override;
    bool isFullScreen() const override { return m_fullScreen; }
    bool stretchToFit() const override { return m_stretch; }
    void setStretchToFit(bool stretch) override;
    void close() override;
    void redraw() override;
    QWidget *videoWidget() override;
    // Recorded as "setRequestHeaders <address> <user agent> <referrer>".
    void setRequestHeaders(
        const QString &address, const QString &userAgent, const QString &referrer) override;
    // Recorded as "setAcceptInvalidCertificates <address> <0|1>".
    void setAcceptInvalidCertificates(const QString &address, bool accept) override
    {
        record(QStringLiteral("setAcceptInvalidCertificates %1 %2").arg(address).arg(int(accept)));
    }
    void keepAboveVideo(QWidget *widget) override
    {
        record(QStringLiteral("keepAboveVideo ") + widget->objectName());
    }
    // The scripted buffer (live), once the test has turned it on.
    LiveRewind *liveRewind() override { return live.active ? &live : nullptr; }
    // Recorded as "setLiveBufferSettings <0|1> <seconds>".
    void setLiveBufferSettings(const LiveBufferSettings &settings) override
    {
        record(
            QStringLiteral("setLiveBufferSettings %1 %2").arg(int(settings.enabled)).arg(settings.seconds));
    }

    // --- scripting ---
    // Sets the state and emits stateChanged(), as an event from the player would.
    void emitState(State state, Failure failure = Failure::None, int bufferPercent = 0);
    // Sets the stream's title and emits streamTitleChanged() (a radio's song);
    // a URL write clears it, as the real engine does.
    void emitStreamTitle(const QString &title)
    {
        m_streamTitle = title;
        emit streamTitleChanged(title);
    }
    QString streamTitle() const override { return m_streamTitle; }
    void setPosition(double seconds, const QString &text)
    {
        m_position = seconds;
        m_positionString = text;
    }
    void setDuration(double seconds, const QString &text)
    {
        m_duration = seconds;
        m_durationString = text;
    }
    // State reported synchronously by the next calls (defaults: stop Stopped,
    // setUrl Opening, none for play and pause). Empty: none.
    std::optional<State> stopState = State::Stopped;
    std::optional<State> urlState = State::Opening;
    std::optional<State> playState;
    std::optional<State> pauseState;
    // When set, the named call ("stop", "setUrl", "setVolume", ...) throws EngineError.
    QStringList failingCalls;
    // Runs inside a call, after it is recorded and before it returns, to script
    // notifications raised from within the call.
    std::function<void(const QString &call)> onCall;

    QStringList calls;
    FakeLiveRewind live { calls };
    // setFullScreen(true) throws with no URL, as the real engine refuses.
    bool fullScreenRefusedWhenEmpty = true;

private:
    void record(const QString &call);

    QString m_url;
    QString m_streamTitle;
    State m_state = State::Idle;
    Failure m_failure = Failure::None;
    int m_bufferPercent = 0;
    double m_position = 0;
    QString m_positionString;
    double m_duration = 0;
    QString m_durationString;
    int m_volume = 50;
    double m_rate = 1.0;
    bool m_mute = false;
    bool m_loop = false;
    bool m_fullScreen = false;
    bool m_stretch = false;
    QPointer<QWidget> m_widget; // may be reparented into a window
};
