#pragma once

#include "engine/HardwareDecoding.h"
#include "engine/MediaEngine.h"
#include "engine/MpvHandle.h"
#include "engine/PausedStreamSockets.h"
#include "engine/RequestSettings.h"
#include "engine/StallWatch.h"
#include "engine/VideoSurface.h"

#include <QList>
#include <QSet>
#include <atomic>
#include <cstdint>
#include <memory>

struct MpvLibrary;
struct mpv_event;
struct mpv_event_end_file;
class StreamResolver;

// MediaEngine on libmpv. Beyond the interface's contract:
// - Every address meets the address rule before libmpv sees it: the URL as
//   one the user chose (network streams, local regular files), the entries of
//   a fetched playlist as network streams only; a refused one counts as a dead
//   entry. libmpv may not open its special protocols from the playlists it
//   reads itself, nor local files from inside a network stream.
// - http(s) addresses go through StreamResolver first (Opening while it
//   looks); ASX, "[Reference]", PLS and M3U entries play in order, falling
//   to the next when one ends without having played. mms:// and files go to
//   libmpv as they stand.
// - HTTPS certificates are checked, by the resolver and by libmpv, unless the
//   address the user chose was marked with setAcceptInvalidCertificates(); a
//   refused certificate ends in Failed with failure() CertificateRefused.
// - Live or file is decided once, when the media has loaded: no duration then
//   means live (duration 0, seeks ignored, its end is Failed, Interrupted).
// - With Output::Screen the render context is made with the engine, so a URL
//   plays at once, whether or not the video area has ever been shown. Where no
//   video output can be made, the sound plays alone and videoUnavailable() is
//   emitted once, after the constructor has returned.
// - Full screen moves the video into a frameless window of its own; Esc,
//   a double-click or closing that window returns it.
class MpvEngine : public MediaEngine
{
    Q_OBJECT

public:
    // Null: no video or audio output, for tests and machines without a screen.
    enum class Output { Screen, Null };
    using VideoPath = VideoSurface::Path;

    // Throws EngineError when libmpv cannot be loaded, created or initialised.
    // A path other than Automatic is used as asked or not at all (no video).
    explicit MpvEngine(
        Output output = Output::Screen, VideoPath video = VideoPath::Automatic, QObject *parent = nullptr);
    ~MpvEngine() override;

    // The path in use; meaningless without video (hasVideo()).
    VideoPath videoPath() const { return m_surface->path(); }
    bool hasVideo() const { return m_surface->hasVideo(); }

    void setUrl(const QString &url) override;
    QString url() const override { return m_url; }
    State state() const override { return m_state; }
    int bufferPercent() const override { return m_bufferPercent; }
    Failure failure() const override { return m_failure; }
    QString streamTitle() const override { return m_streamTitle; }
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
    bool isFullScreen() const override { return m_surface->isFullScreen(); }
    bool stretchToFit() const override { return m_stretch; }
    void setStretchToFit(bool stretch) override;
    void close() override;
    void redraw() override;
    QWidget *videoWidget() override;
    void setRequestHeaders(
        const QString &address, const QString &userAgent, const QString &referrer) override;
    void keepAboveVideo(QWidget *widget) override;
    void setAcceptInvalidCertificates(const QString &address, bool accept) override;
    LiveBuffer *liveBuffer() override { return m_liveBuffer; }
    RecordingSource recordingSource(const QString &address) const override;
    LiveRewind *liveRewind() override;
    void setLiveBufferSettings(const LiveBufferSettings &settings) override;

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
    void setStreamTitle(const QString &title);
    // The stall watch samples the position while a network stream plays.
    void updateStallWatch();

    void open();
    void openNext();
    // `address` has passed the address rule; depth 0 is the engine's own URL.
    void load(const QString &address, int depth);
    void unload();
    // While a live stream is paused into its buffer, its reader wakes for
    // batches of the stream rather than for every piece the server sends.
    void wakeReaderInBatches();
    void forgetEntries();
    bool isCurrentEntry(int64_t id) const;

    void setStateNow(State state, Failure failure = Failure::None, int bufferPercent = 0);
    void setStateIfChanged(State state, Failure failure = Failure::None, int bufferPercent = 0);
    void showPlayingState();

    const MpvLibrary &m_lib;
    std::atomic<bool> m_wakeupQueued { false };
    MpvHandle m_handle; // after m_wakeupQueued, which its wakeup callback touches: it goes first
    StallWatch m_stallWatch;
    HardwareDecoding m_hardwareDecoding;
    PausedReadBatching m_pausedReads;
    std::unique_ptr<VideoSurface> m_surface;
    StreamResolver *m_resolver = nullptr;
    LiveBuffer *m_liveBuffer = nullptr;
    QString m_loadedAddress; // what libmpv plays, after any playlist was resolved
    int m_loadedDepth = 0; // of the playlist entry it came from
    bool m_firstFrameShown = false; // for the media loaded now

    QString m_url;
    RequestSettings m_requests;
    // Addresses the resolver found to be media, their certificates checked:
    // tuning them again goes straight to libmpv, a request sooner.
    QSet<QString> m_knownMedia;
    // Why the last address tried while opening failed; reported when none is left.
    Failure m_openingFailure = Failure::None;
    State m_state = State::Idle;
    Failure m_failure = Failure::None;
    int m_bufferPercent = 0; // as last reported with State::Buffering
    QString m_streamTitle;
    Phase m_phase = Phase::Idle;
    QList<Candidate> m_candidates; // playlist entries still to try
    int m_resolvingDepth = 0;
    int64_t m_entryFirst = 0; // playlist entry ids of the current URL
    int64_t m_entryLast = 0;
    int64_t m_eventEntry = 0; // the entry whose events are arriving now

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
};
