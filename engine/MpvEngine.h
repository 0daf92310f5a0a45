#pragma once

#include "engine/MediaEngine.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <cstdint>

struct MpvLibrary;
struct mpv_handle;
struct mpv_event;
struct mpv_event_end_file;
class StreamResolver;
class VideoSurface;

// MediaEngine on libmpv. Beyond the interface's contract:
// - http(s) addresses go through StreamResolver first ("Conectando..." while
//   it looks); ASX and "[Reference]" entries play in order, falling to the next
//   when one ends without having played. mms:// and files go to libmpv as they stand.
// - Live or file is decided once, when the media has loaded: no duration then
//   means live (duration 0, seeks ignored, its end reads "Pronto").
// - With Output::Screen, video needs the widget shown (its GL context made):
//   a URL written before that is held until it is. renderFailed() says the
//   render context could not be made; playback cannot start then.
// - Full screen moves the video into a frameless window of its own; Esc,
//   a double-click or closing that window returns it. The program must set
//   Qt::AA_ShareOpenGLContexts before QApplication exists, so the video keeps
//   its GL context in the move; without it setFullScreen(true) throws.
// - Moving videoWidget() to another top-level window has the same need.
class MpvEngine : public MediaEngine
{
    Q_OBJECT

public:
    // Null: no video or audio output, for tests and machines without a screen.
    enum class Output { Screen, Null };

    // Throws EngineError when libmpv cannot be loaded, created or initialised.
    explicit MpvEngine(Output output = Output::Screen, QObject *parent = nullptr);
    ~MpvEngine() override;

    // Whether an OpenGL context can be made here; checked at start-up, since
    // the video cannot be drawn without one.
    static bool openGlAvailable();

    void setUrl(const QString &url) override;
    QString url() const override { return m_url; }
    QString status() const override { return m_status; }
    void play() override;
    void pause() override;
    void stop() override;
    double currentPosition() const override;
    void setCurrentPosition(double seconds) override;
    QString currentPositionString() const override;
    double duration() const override;
    QString durationString() const override;
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
    void setRequestHeaders(
        const QString &address, const QString &userAgent, const QString &referrer) override;

signals:
    // The render context could not be made: the program cannot show video.
    void renderFailed();

private:
    enum class Phase { Idle, Opening, Loaded };
    struct Candidate {
        QString address;
        int depth = 0;
    };

    static void wakeupCallback(void *engine);
    void drainEvents();
    void handleEvent(const mpv_event &event);
    void onFileLoaded();
    void onFileEnded(const mpv_event_end_file &end);
    void onCacheChanged();

    void open();
    void openNext();
    void load(const QString &address);
    void unload();
    void forgetEntries();
    bool isCurrentEntry(int64_t id) const;
    void onRenderContextReady();
    void onSurfaceClicked();
    void onSurfaceDoubleClicked();
    bool eventFilter(QObject *watched, QEvent *event) override;

    void setStatusNow(const QString &status);
    void setStatusIfChanged(const QString &status);
    void showPlayingStatus();
    void setFlag(const char *name, bool value);
    void setDouble(const char *name, double value);
    void setString(const char *name, const char *value);
    bool getDouble(const char *name, double &value) const;

    const MpvLibrary &m_lib;
    mpv_handle *m_mpv = nullptr;
    const Output m_output;
    std::atomic<bool> m_wakeupQueued { false };
    QPointer<QWidget> m_host; // what videoWidget() returns; holds the surface
    QPointer<VideoSurface> m_surface;
    QPointer<QWidget> m_fullScreenWindow;
    StreamResolver *m_resolver = nullptr;
    QTimer m_clickTimer;

    QString m_url;
    QHash<QString, QPair<QString, QString>> m_requestHeaders; // address -> user agent, referrer
    QString m_status;
    Phase m_phase = Phase::Idle;
    QList<Candidate> m_candidates; // playlist entries still to try
    int m_resolvingDepth = 0;
    QString m_heldAddress; // waits for the render context
    int64_t m_entryFirst = 0; // playlist entry ids of the current URL
    int64_t m_entryLast = 0;
    int64_t m_eventEntry = 0; // the entry whose events are arriving now
    int m_renderContexts = 0;

    bool m_live = false;
    double m_duration = 0;
    bool m_paused = false;
    bool m_cachePaused = false;
    int m_cachePercent = 0;
    int m_volume = 50;
    double m_rate = 1.0;
    bool m_mute = false;
    bool m_loop = false;
    bool m_stretch = false;
    bool m_fullScreen = false;
};
