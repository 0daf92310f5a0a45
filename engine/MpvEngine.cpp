#include "engine/MpvEngine.h"

#include "base/PlainText.h"
#include "engine/LiveBuffer.h"
#include "engine/MediaLimits.h"
#include "engine/MediaTimeText.h"
#include "engine/MpvLibrary.h"
#include "engine/MpvNames.h"
#include "engine/StreamResolver.h"
#include "net/AddressRule.h"
#include "net/TlsTrust.h"

#include <QPointer>
#include <algorithm>
#include <cmath>
#include <mpv/client.h>

namespace
{

// Playlists that point at playlists: stop following after this many levels.
constexpr int maxPlaylistDepth = 4;

constexpr qsizetype maxKnownMedia = 1000;

bool isLocalAddress(const QString &address)
{
    return address.startsWith(u'/') || address.startsWith(QLatin1String("file:"));
}

// --- what may be opened ---

// The address given to the engine comes from the user or from a road that
// has checked it already, and may be a local file; the entries of a playlist
// fetched from the network may only be network streams.
QString admittedCandidate(const QString &address, int depth)
{
    return depth == 0 ? AddressRule::screened(address, AddressRule::Origin::UserChosen, "the player")
                      : AddressRule::screened(address, AddressRule::Origin::Network, "a stream playlist");
}

// loadfile's per-file options: a local file the user chose may name local
// segments (a local HLS playlist); network streams keep the engine-wide
// network-only protocols. A live stream arrives in real time, and probing its
// codecs waits for it: where a muxer sends the sound late (ffmpeg's does by
// 0.7 s) ffmpeg reads about 0.9 s of stream before it knows the sound's
// parameters. Without the live buffer the probe stops at 0.2 s, so the first
// picture comes sooner (measured by bench_channel_change) while the sound
// still plays; with it the probe runs to the end, as bare mpv's does, because
// saving what the buffer kept writes an MPEG-TS header that needs those
// parameters. A local file is read at disk speed and keeps the thorough probe.
QByteArray fileOptions(const QString &admitted, int depth, bool keepsABuffer)
{
    if (depth == 0 && isLocalAddress(admitted))
        return QByteArray(MpvNames::demuxerLavfOptions) + "=["
            + MpvHandle::protocolWhitelist(AddressRule::insideLocalFileProtocols()) + ']';
    return keepsABuffer ? QByteArray() : QByteArray(MpvNames::demuxerLavfAnalyzeDuration) + "=0.2";
}

} // namespace

MpvEngine::MpvEngine(Output output, VideoPath video, QObject *parent)
    : MediaEngine(parent)
    , m_lib(MpvLibrary::get())
    , m_handle(m_lib, output == Output::Screen)
    , m_stallWatch(m_handle)
    , m_hardwareDecoding(m_handle)
{
    m_lib.observeProperty(m_handle.get(), 0, MpvNames::pausedForCache, MPV_FORMAT_FLAG);
    m_lib.observeProperty(m_handle.get(), 0, MpvNames::cacheBufferingState, MPV_FORMAT_INT64);
    m_lib.observeProperty(m_handle.get(), 0, MpvNames::icyTitle, MPV_FORMAT_STRING);
    m_lib.setWakeupCallback(m_handle.get(), &MpvEngine::wakeupCallback, this);

    // The live buffer: told when media loads and unloads; when its file is at
    // its bound the stream is opened again at the live edge, quietly (the
    // status stays what it was, and the old entry's end is our own stop).
    m_liveBuffer = new LiveBuffer(m_lib, m_handle.get(), this);
    connect(m_liveBuffer, &LiveBuffer::renewalNeeded, this, [this] {
        if (m_phase != Phase::Loaded || !m_live || m_loadedAddress.isEmpty())
            return;
        m_liveBuffer->mediaUnloaded();
        load(m_loadedAddress, m_loadedDepth);
    });

    m_resolver = new StreamResolver(this);
    connect(m_resolver, &StreamResolver::playlistFound, this,
        [this](const QString &, const QStringList &entries) {
            for (qsizetype i = entries.size() - 1; i >= 0; --i)
                m_candidates.prepend({ entries[i], m_resolvingDepth + 1 });
            openNext();
        });
    connect(m_resolver, &StreamResolver::notPlaylist, this, [this](const QString &address) {
        // A bound on what a run of zapping through a large list may keep.
        if (m_knownMedia.size() >= maxKnownMedia)
            m_knownMedia.clear();
        if (m_requests.checksCertificates(m_url))
            m_knownMedia.insert(address);
        load(address, m_resolvingDepth);
    });
    connect(m_resolver, &StreamResolver::failed, this, [this](const QString &, StreamResolver::Failure why) {
        m_openingFailure = why == StreamResolver::Failure::CertificateRefused ? Failure::CertificateRefused
                                                                              : Failure::None;
        openNext();
    });

    m_surface = std::make_unique<VideoSurface>(m_handle.get());
    connect(m_surface.get(), &VideoSurface::clicked, this, &MediaEngine::clicked);
    if (output == Output::Screen && !m_surface->makeVideo(video)) {
        // Without a render context libmpv fails every file that has a picture:
        // play the sound alone, and say so once the caller can hear it.
        m_handle.setString(MpvNames::videoTrack, MpvNames::no);
        QMetaObject::invokeMethod(this, &MediaEngine::videoUnavailable, Qt::QueuedConnection);
    }
    connect(&m_stallWatch, &StallWatch::stalled, this, &MediaEngine::stalled);
}

MpvEngine::~MpvEngine()
{
    // Reverse order of creation: the windows and the render context they
    // draw with; then, as m_handle goes, the wakeup callback and the handle.
    m_stallWatch.setWatching(false);
    m_resolver->abort();
    m_surface.reset();
}

// --- events ---

// Runs on a libmpv thread: only queue the draining for the GUI thread.
void MpvEngine::wakeupCallback(void *engine)
{
    auto *self = static_cast<MpvEngine *>(engine);
    if (!self->m_wakeupQueued.exchange(true))
        QMetaObject::invokeMethod(self, &MpvEngine::drainEvents, Qt::QueuedConnection);
}

void MpvEngine::drainEvents()
{
    m_wakeupQueued = false;
    const QPointer<MpvEngine> alive(this);
    while (alive) {
        const mpv_event *event = m_lib.waitEvent(m_handle.get(), 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handleEvent(*event);
    }
}

bool MpvEngine::isCurrentEntry(int64_t id) const
{
    return m_entryFirst != 0 && id >= m_entryFirst && id <= m_entryLast;
}

void MpvEngine::handleEvent(const mpv_event &event)
{
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        m_eventEntry = static_cast<const mpv_event_start_file *>(event.data)->playlist_entry_id;
        break;
    case MPV_EVENT_FILE_LOADED:
        if (isCurrentEntry(m_eventEntry))
            onFileLoaded();
        break;
    case MPV_EVENT_END_FILE: {
        const auto &end = *static_cast<const mpv_event_end_file *>(event.data);
        m_eventEntry = 0;
        if (isCurrentEntry(end.playlist_entry_id))
            onFileEnded(end);
        break;
    }
    case MPV_EVENT_PLAYBACK_RESTART:
        // Also after every seek: only the first after a load counts.
        if (isCurrentEntry(m_eventEntry) && m_phase == Phase::Loaded && !m_firstFrameShown) {
            m_firstFrameShown = true;
            m_hardwareDecoding.firstFrameShown();
            emit firstFrameShown();
        }
        break;
    case MPV_EVENT_COMMAND_REPLY:
        m_liveBuffer->commandReplied(event.reply_userdata, event.error);
        break;
    case MPV_EVENT_PROPERTY_CHANGE: {
        const auto &change = *static_cast<const mpv_event_property *>(event.data);
        if (!isCurrentEntry(m_eventEntry))
            break;
        if (qstrcmp(change.name, MpvNames::icyTitle) == 0) {
            // The title is gone (no data) when the stream stops sending it.
            const bool text = change.format == MPV_FORMAT_STRING && change.data;
            setStreamTitle(text ? QString::fromUtf8(*static_cast<char *const *>(change.data)) : QString());
            break;
        }
        if (!change.data)
            break;
        if (qstrcmp(change.name, MpvNames::pausedForCache) == 0 && change.format == MPV_FORMAT_FLAG)
            m_cachePaused = *static_cast<const int *>(change.data) != 0;
        else if (qstrcmp(change.name, MpvNames::cacheBufferingState) == 0
            && change.format == MPV_FORMAT_INT64)
            m_cachePercent = int(std::clamp<int64_t>(*static_cast<const int64_t *>(change.data), 0, 100));
        onCacheChanged();
        break;
    }
    default:
        break;
    }
}

void MpvEngine::onFileLoaded()
{
    m_phase = Phase::Loaded;
    m_openingFailure = Failure::None;
    m_candidates.clear(); // this entry plays: no falling back any more
    // Decided once: a live stream may report a growing duration later.
    // An endless mp3 stream gets a duration estimated from the bytes read so
    // far, so a stream that cannot seek and has no size counts as live too.
    double length = 0;
    int seekable = 0;
    int64_t size = 0;
    const bool sized
        = m_lib.getProperty(m_handle.get(), MpvNames::fileSize, MPV_FORMAT_INT64, &size) >= 0 && size > 0;
    m_lib.getProperty(m_handle.get(), MpvNames::seekable, MPV_FORMAT_FLAG, &seekable);
    m_live = !m_handle.getDouble(MpvNames::duration, length) || !(length > 0) || (!seekable && !sized);
    m_duration = m_live ? 0 : length;
    m_liveBuffer->mediaLoaded(m_live);
    m_stallWatch.mediaLoaded();
    m_firstFrameShown = false;
    showPlayingState();
}

void MpvEngine::onFileEnded(const mpv_event_end_file &end)
{
    if (end.reason == MPV_END_FILE_REASON_REDIRECT) {
        // libmpv opened a playlist of a kind it reads itself (m3u, pls).
        if (end.playlist_insert_num_entries > 0) {
            m_entryFirst = end.playlist_insert_id;
            m_entryLast = end.playlist_insert_id + end.playlist_insert_num_entries - 1;
            return;
        }
    } else if (end.reason == MPV_END_FILE_REASON_STOP || end.reason == MPV_END_FILE_REASON_QUIT) {
        return; // replaced or stopped by our own call, which has reported already
    } else if (end.playlist_entry_id != m_entryLast) {
        m_phase = Phase::Opening; // libmpv goes on to the next entry of its own playlist
        updateStallWatch();
        return;
    }
    const bool played = m_phase == Phase::Loaded;
    forgetEntries();
    m_phase = Phase::Idle;
    if (!played) {
        m_openingFailure = Failure::None;
        openNext(); // the next playlist entry, or Failed
        return;
    }
    const bool fileEnded = end.reason == MPV_END_FILE_REASON_EOF && !m_live;
    setStateIfChanged(
        fileEnded ? State::Ended : State::Failed, fileEnded ? Failure::None : Failure::Interrupted);
}

void MpvEngine::setStreamTitle(const QString &title)
{
    // Text from the stream's server: one bounded line, never markup.
    const QString line = PlainText::line(title).trimmed();
    if (line == m_streamTitle)
        return;
    m_streamTitle = line;
    emit streamTitleChanged(m_streamTitle);
}

void MpvEngine::onCacheChanged()
{
    if (m_phase == Phase::Loaded)
        showPlayingState();
}

void MpvEngine::updateStallWatch()
{
    m_stallWatch.setWatching(m_phase == Phase::Loaded && !m_paused && !isLocalAddress(m_loadedAddress));
}

void MpvEngine::showPlayingState()
{
    if (m_paused)
        setStateIfChanged(State::Paused);
    else if (m_cachePaused)
        setStateIfChanged(State::Buffering, Failure::None, m_cachePercent);
    else
        setStateIfChanged(State::Playing);
}

// --- opening ---

void MpvEngine::forgetEntries()
{
    m_entryFirst = m_entryLast = 0;
    m_cachePaused = false;
    m_cachePercent = 0;
}

void MpvEngine::unload()
{
    setStreamTitle(QString());
    m_pausedReads.stop();
    m_liveBuffer->mediaUnloaded();
    m_resolver->abort();
    m_candidates.clear();
    m_openingFailure = Failure::None;
    forgetEntries();
    if (m_phase != Phase::Idle) {
        const char *args[] = { MpvNames::stop, nullptr };
        m_lib.command(m_handle.get(), args);
    }
    m_phase = Phase::Idle;
    m_live = false;
    m_duration = 0;
    updateStallWatch();
}

void MpvEngine::open()
{
    unload();
    m_phase = Phase::Opening;
    m_candidates = { { m_url, 0 } };
    setStateNow(State::Opening);
    openNext();
}

void MpvEngine::openNext()
{
    // A refused entry is passed over as a dead one is; a loop, not a call per
    // entry, as a playlist may hold thousands.
    Candidate next;
    QString address;
    while (address.isEmpty()) {
        if (m_candidates.isEmpty()) {
            forgetEntries();
            m_phase = Phase::Idle;
            const Failure why = m_openingFailure == Failure::CertificateRefused ? Failure::CertificateRefused
                                                                                : Failure::CouldNotOpen;
            setStateIfChanged(State::Failed, why);
            return;
        }
        next = m_candidates.takeFirst();
        address = admittedCandidate(next.address, next.depth);
    }
    m_phase = Phase::Opening;
    if (StreamResolver::wantsResolving(address) && next.depth < maxPlaylistDepth
        && !(m_knownMedia.contains(address) && m_requests.checksCertificates(m_url))) {
        m_resolvingDepth = next.depth;
        m_resolver->resolve(address, !m_requests.checksCertificates(m_url));
        return;
    }
    load(address, next.depth);
}

void MpvEngine::load(const QString &address, int depth)
{
    // Headers belong to the address the user chose; playlist entries opened from it get them too.
    const QPair<QString, QString> headers = m_requests.headers(m_url);
    const QByteArray agent
        = headers.first.isEmpty() ? QByteArray(MpvNames::defaultUserAgent) : headers.first.toUtf8();
    m_handle.setString(MpvNames::userAgent, agent.constData());
    m_handle.setString(MpvNames::referrer, headers.second.toUtf8().constData());
    // Like the headers, the certificate choice belongs to the address the user chose.
    const bool checkCertificates = m_requests.checksCertificates(m_url);
    m_handle.setString(MpvNames::tlsVerify, checkCertificates ? MpvNames::yes : MpvNames::no);
    m_handle.setString(MpvNames::tlsCaFile, TlsTrust::caFile().toLocal8Bit().constData());
    m_loadedAddress = address;
    m_loadedDepth = depth;
    const QByteArray utf8 = address.toUtf8();
    const QByteArray options = fileOptions(address, depth, m_liveBuffer->settings().enabled);
    const char *args[] = { MpvNames::loadfile, utf8.constData(), MpvNames::replace,
        options.isEmpty() ? nullptr : options.constData(), nullptr };
    mpv_node result;
    if (m_lib.commandRet(m_handle.get(), args, &result) < 0) {
        openNext();
        return;
    }
    int64_t id = 0;
    if (result.format == MPV_FORMAT_NODE_MAP) {
        const mpv_node_list *map = result.u.list;
        for (int i = 0; i < map->num; ++i)
            if (qstrcmp(map->keys[i], MpvNames::playlistEntryId) == 0
                && map->values[i].format == MPV_FORMAT_INT64)
                id = map->values[i].u.int64;
    }
    m_lib.freeNodeContents(&result);
    m_entryFirst = m_entryLast = id;
}

// --- the interface ---

LiveRewind *MpvEngine::liveRewind()
{
    return m_liveBuffer;
}

void MpvEngine::setLiveBufferSettings(const LiveBufferSettings &settings)
{
    m_liveBuffer->setSettings(settings);
}

void MpvEngine::setRequestHeaders(const QString &address, const QString &userAgent, const QString &referrer)
{
    m_requests.setHeaders(address, userAgent, referrer);
}

void MpvEngine::setAcceptInvalidCertificates(const QString &address, bool accept)
{
    m_requests.setAcceptInvalidCertificates(address, accept);
}

RecordingSource MpvEngine::recordingSource(const QString &address) const
{
    return m_requests.recordingSource(address);
}

void MpvEngine::setUrl(const QString &url)
{
    m_url = url;
    // libmpv keeps the pause flag over a load: a new URL must not open paused.
    m_paused = false;
    m_handle.setFlag(MpvNames::pause, false);
    if (url.isEmpty()) {
        unload();
        setStateNow(State::Idle);
        return;
    }
    open();
}

void MpvEngine::play()
{
    if (m_phase == Phase::Idle) {
        if (m_url.isEmpty())
            return;
        m_paused = false;
        m_handle.setFlag(MpvNames::pause, false);
        open();
        return;
    }
    if (!m_paused)
        return;
    m_paused = false;
    m_handle.setFlag(MpvNames::pause, false);
    m_pausedReads.stop();
    if (m_phase == Phase::Loaded)
        setStateNow(m_cachePaused ? State::Buffering : State::Playing, Failure::None,
            m_cachePaused ? m_cachePercent : 0);
}

void MpvEngine::pause()
{
    if (m_phase == Phase::Idle)
        return;
    m_paused = true;
    m_handle.setFlag(MpvNames::pause, true);
    if (m_phase == Phase::Loaded) {
        setStateNow(State::Paused);
        wakeReaderInBatches();
    }
}

// The first mark comes from the channel's rate over what was kept (libmpv's
// own speed figure swings with each piece the server sends); the batching
// fits it to what arrives from then on.
void MpvEngine::wakeReaderInBatches()
{
    if (!m_liveBuffer->isActive())
        return;
    const double seconds = m_liveBuffer->secondsAvailable();
    double bytesPerSecond = 0;
    if (seconds >= 1)
        bytesPerSecond = double(m_liveBuffer->diskBytes()) / seconds;
    else if (!m_handle.getDouble(MpvNames::cacheSpeed, bytesPerSecond))
        return;
    m_pausedReads.start(bytesPerSecond, [this] { return m_liveBuffer->diskBytes(); });
}

void MpvEngine::stop()
{
    unload();
    setStateNow(State::Stopped);
}

void MpvEngine::close()
{
    setFullScreen(false);
    unload();
    m_url.clear();
    setStateIfChanged(State::Idle);
}

double MpvEngine::currentPosition() const
{
    double position = 0;
    if (m_phase != Phase::Loaded || !m_handle.getDouble(MpvNames::timePos, position))
        return 0;
    return std::max(position, 0.0);
}

void MpvEngine::setCurrentPosition(double seconds)
{
    if (m_phase != Phase::Loaded || m_live || std::isnan(seconds))
        return;
    // libmpv takes a position past the end and then ends the file: clamp here.
    double length = m_duration;
    double now = 0;
    if (m_handle.getDouble(MpvNames::duration, now) && now > 0)
        length = now;
    const double target = std::clamp(seconds, 0.0, length);
    m_lib.setProperty(m_handle.get(), MpvNames::timePos, MPV_FORMAT_DOUBLE, const_cast<double *>(&target));
}

QString MpvEngine::currentPositionString() const
{
    double position = 0;
    if (m_phase != Phase::Loaded || !m_handle.getDouble(MpvNames::timePos, position))
        return {};
    return mediaTimeText(position);
}

double MpvEngine::duration() const
{
    return m_phase == Phase::Loaded ? m_duration : 0;
}

QString MpvEngine::durationString() const
{
    return m_phase == Phase::Loaded && !m_live ? mediaTimeText(m_duration) : QString();
}

void MpvEngine::setVolume(int volume)
{
    m_volume = MediaLimits::clampVolume(volume);
    m_handle.setDouble(MpvNames::volume, m_volume);
}

void MpvEngine::setRate(double rate)
{
    if (std::isnan(rate))
        return;
    m_rate = MediaLimits::clampRate(rate);
    m_handle.setDouble(MpvNames::speed, m_rate);
}

void MpvEngine::setMute(bool mute)
{
    m_handle.setFlag(MpvNames::mute, mute);
    m_mute = mute;
}

void MpvEngine::setLoop(bool loop)
{
    m_handle.setString(MpvNames::loopFile, loop ? MpvNames::infinite : MpvNames::no);
    m_loop = loop;
}

void MpvEngine::setStretchToFit(bool stretch)
{
    m_handle.setString(MpvNames::videoUnscaled, stretch ? MpvNames::no : MpvNames::downscaleBig);
    m_stretch = stretch;
}

void MpvEngine::setFullScreen(bool fullScreen)
{
    if (fullScreen == m_surface->isFullScreen())
        return;
    if (fullScreen && m_phase == Phase::Idle)
        throw EngineError("nothing is loaded to show full screen");
    m_surface->setFullScreen(fullScreen);
}

void MpvEngine::keepAboveVideo(QWidget *widget)
{
    m_surface->keepAbove(widget);
}

void MpvEngine::redraw()
{
    m_surface->redraw();
}

QWidget *MpvEngine::videoWidget()
{
    return m_surface->host();
}

// --- helpers ---

void MpvEngine::setStateNow(State state, Failure failure, int bufferPercent)
{
    m_state = state;
    m_failure = failure;
    m_bufferPercent = bufferPercent;
    updateStallWatch();
    emit stateChanged(state);
}

void MpvEngine::setStateIfChanged(State state, Failure failure, int bufferPercent)
{
    if (state != m_state || failure != m_failure || bufferPercent != m_bufferPercent)
        setStateNow(state, failure, bufferPercent);
}