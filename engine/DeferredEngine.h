#pragma once

#include "engine/MediaEngine.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

// A MediaEngine that makes the real one only when something is to be played.
// Until then it answers as an engine with nothing loaded would, and keeps the
// settings written to it; they are handed over when the real engine is made.
// The real engine's video widget is placed inside videoWidget(), which exists
// from the start so the window can lay it out.
//
// Making the real engine loads the player library and the GL driver, which
// together cost most of an idle program's memory and some of its start-up.
// A factory that throws EngineError makes that call throw; the next call that
// needs the engine tries again.
class DeferredEngine : public MediaEngine
{
    Q_OBJECT

public:
    using Factory = std::function<std::unique_ptr<MediaEngine>()>;

    explicit DeferredEngine(Factory factory, QObject *parent = nullptr);
    ~DeferredEngine() override;

    // Null until the first call that needs it.
    MediaEngine *realEngine() const { return m_real.get(); }

    void setUrl(const QString &url) override;
    QString url() const override;
    State state() const override;
    int bufferPercent() const override;
    Failure failure() const override;
    QString streamTitle() const override;
    void play() override;
    void pause() override;
    void stop() override;
    double currentPosition() const override;
    void setCurrentPosition(double seconds) override;
    QString currentPositionString() const override;
    double duration() const override;
    QString durationString() const override;
    int volume() const override;
    void setVolume(int volume) override;
    double rate() const override;
    void setRate(double rate) override;
    bool mute() const override;
    void setMute(bool mute) override;
    bool loop() const override;
    void setLoop(bool loop) override;
    void setFullScreen(bool fullScreen) override;
    bool isFullScreen() const override;
    bool stretchToFit() const override;
    void setStretchToFit(bool stretch) override;
    void close() override;
    void redraw() override;
    QWidget *videoWidget() override;
    void setRequestHeaders(
        const QString &address, const QString &userAgent, const QString &referrer) override;
    // Kept for the real engine, which gets them when it is made.
    void keepAboveVideo(QWidget *widget) override;
    void setAcceptInvalidCertificates(const QString &address, bool accept) override;
    // The real engine's; null until it is made. Its settings are kept for it.
    LiveBuffer *liveBuffer() override;
    LiveRewind *liveRewind() override;
    void setLiveBufferSettings(const LiveBufferSettings &settings) override;
    RecordingSource recordingSource(const QString &address) const override;

private:
    MediaEngine &real();
    bool eventFilter(QObject *watched, QEvent *event) override;

    Factory m_factory;
    std::unique_ptr<MediaEngine> m_real;
    QPointer<QWidget> m_host;
    QList<QPointer<QWidget>> m_keptAbove;

    // What an engine with nothing loaded reports, and the settings to hand over.
    State m_state = State::Idle;
    int m_volume = 50;
    double m_rate = 1.0;
    bool m_mute = false;
    bool m_loop = false;
    bool m_stretch = false;
    QList<QStringList> m_headers; // address, user agent, referrer
    QList<QPair<QString, bool>> m_certificateChoices; // address, accept invalid
    std::optional<LiveBufferSettings> m_liveBufferSettings;
};
