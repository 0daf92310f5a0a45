#pragma once

#include "engine/LiveRewind.h"
#include "engine/RecordingSource.h"

#include <QObject>
#include <QString>
#include <stdexcept>

class LiveBuffer;
class QWidget;

// Thrown by a MediaEngine call that fails. Handlers catch it at their top
// (see base/SafeCall.h); it never crosses a Qt slot.
class EngineError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The one media engine of the program. Everything that plays drives it only
// through these calls, on the GUI thread.
//
// States: Idle (nothing loaded), Opening, Buffering (with bufferPercent()),
// Playing, Paused, Stopped (our own stop), Ended (a file that reached its end)
// and Failed (with failure(): a stream that could not be opened, or a live
// stream that ended or broke). Nothing outside the player compares texts: the
// words the window title shows for them are made in one place
// (player/StatusText.h).
//
// Order of notifications: a state that one of our own calls causes (stop, a
// URL write) is set and stateChanged() is emitted synchronously inside that
// call, so a flag the caller holds over a sequence of calls sees it. Later
// events belong to the URL they were raised for; those of an older URL never
// reach the caller.
class MediaEngine : public QObject
{
    Q_OBJECT

public:
    enum class State { Idle, Opening, Buffering, Playing, Paused, Stopped, Ended, Failed };
    Q_ENUM(State)
    // Why the engine is in State::Failed; None in every other state.
    enum class Failure {
        None,
        CouldNotOpen, // no address of the URL could be opened
        Interrupted, // a live stream ended, or a stream broke while it played
        CertificateRefused, // the server's certificate did not verify
    };
    Q_ENUM(Failure)

    explicit MediaEngine(QObject *parent = nullptr)
        : QObject(parent)
    {
    }
    ~MediaEngine() override = default;

    // Opens the address or file path and starts playing it (auto start). The
    // pause flag is cleared. An empty text unloads. An address that cannot be
    // reached is not an error: it ends in State::Failed.
    virtual void setUrl(const QString &url) = 0;
    // Last address written; empty when none.
    virtual QString url() const = 0;
    virtual State state() const = 0;
    // How full the buffer is while the state is Buffering (0..100); 0 otherwise.
    virtual int bufferPercent() const { return 0; }
    virtual Failure failure() const { return Failure::None; }
    // What the stream says is on air now (a radio's ICY title: "Artista - Música"),
    // as one plain line; empty when it says nothing, and whenever a new URL is written.
    virtual QString streamTitle() const { return QString(); }

    // Starts or resumes; with nothing loaded but a URL written, opens it again.
    // With no URL at all it does nothing.
    virtual void play() = 0;
    // Halts and keeps the position; nothing loaded: does nothing.
    virtual void pause() = 0;
    // Halts and rewinds; reports Stopped, also with nothing loaded.
    virtual void stop() = 0;

    // Seconds (on a live stream: since it started). Nothing loaded: 0. Writes
    // are ignored with nothing loaded or on a live stream, and clamped to
    // [0, duration] otherwise (the end ends the file); never an error.
    virtual double currentPosition() const = 0;
    virtual void setCurrentPosition(double seconds) = 0;
    // "mm:ss" (hours roll into minutes: "75:03"); empty while no position is known.
    virtual QString currentPositionString() const = 0;
    // Seconds; 0 for a live stream or with nothing loaded.
    virtual double duration() const = 0;
    // "mm:ss"; empty while nothing is known, and for a live stream.
    virtual QString durationString() const = 0;

    // The settings below keep their value over URL writes and with nothing
    // loaded; a write the player refuses throws EngineError.
    // 0..100; writes outside are clamped. Callers read the value back.
    virtual int volume() const = 0;
    virtual void setVolume(int volume) = 0;
    // 1.0 is normal speed; clamped to what the player accepts.
    virtual double rate() const = 0;
    virtual void setRate(double rate) = 0;
    virtual bool mute() const = 0;
    virtual void setMute(bool mute) = 0;
    // Repeat the media at its end.
    virtual bool loop() const = 0;
    virtual void setLoop(bool loop) = 0;

    // Video fills the screen. Throws EngineError when nothing is loaded (the
    // engine refuses). Esc or a double-click returns to the window by itself.
    virtual void setFullScreen(bool fullScreen) = 0;
    virtual bool isFullScreen() const = 0;
    virtual bool stretchToFit() const = 0;
    virtual void setStretchToFit(bool stretch) = 0;

    // Releases the current media (at shutdown).
    virtual void close() = 0;
    // Redraws the video at the widget's current size.
    virtual void redraw() = 0;

    // The widget that shows the video; the main window places it.
    virtual QWidget *videoWidget() = 0;
    // Keeps widget, a sibling of videoWidget() that may overlap it (a pop-up
    // panel), drawn above the video while it plays.
    virtual void keepAboveVideo(QWidget *widget) { Q_UNUSED(widget) }

    // HTTP user agent and referrer sent whenever address is opened (some list
    // streams refuse other clients); empty texts restore the defaults. Engines
    // that cannot send headers ignore it.
    virtual void setRequestHeaders(const QString &address, const QString &userAgent, const QString &referrer)
    {
        Q_UNUSED(address);
        Q_UNUSED(userAgent);
        Q_UNUSED(referrer);
    }

    // Pause and rewind of live streams (engine/LiveBuffer.h): while its
    // isActive(), pause() on the live stream keeps receiving, play() resumes
    // where it paused, and the buffer's calls seek within what was kept and
    // say how far behind live the picture is. Null where the engine has none.
    virtual LiveBuffer *liveBuffer() { return nullptr; }
    // The same buffer as the transport sees it; null where the engine has
    // none (or, for an engine made on first use, none yet).
    virtual LiveRewind *liveRewind() { return nullptr; }
    // Kept over URL writes; takes effect from the next live stream that loads.
    virtual void setLiveBufferSettings(const LiveBufferSettings &settings) { Q_UNUSED(settings) }

    // How this engine opens address (its headers and certificate choice), for
    // a recorder that reads the same stream beside it.
    virtual RecordingSource recordingSource(const QString &address) const
    {
        RecordingSource source;
        source.address = address;
        return source;
    }

    // --- certificates of HTTPS streams ---
    // A refused certificate ends in State::Failed with Failure::CertificateRefused.
    // Streams of address, and the playlist entries opened from it, skip the
    // certificate check: for a channel list the user marked "aceitar
    // certificados inválidos". Everything else is checked.
    virtual void setAcceptInvalidCertificates(const QString &address, bool accept)
    {
        Q_UNUSED(address);
        Q_UNUSED(accept);
    }

signals:
    // OnStatusChange: state() (or the buffer percent, or the failure) has a new value.
    void stateChanged(MediaEngine::State state);
    // streamTitle() has a new value.
    void streamTitleChanged(const QString &title);
    // OnClick: a left click on the video area.
    void clicked();
    // No video output could be set up: media play with sound only. Emitted at
    // most once per engine.
    void videoUnavailable();
    // A network stream that has loaded stopped moving while not paused (no new
    // picture or sound: its data stopped arriving): found within a few seconds,
    // long before the network timeout ends it in Failed. Emitted once per
    // stall; the engine goes on waiting, and the state stays what it was.
    void stalled();
    // The first picture (or, for sound alone, the first sound) of what was
    // loaded is out: once per load, after the state has become Playing.
    void firstFrameShown();
};
