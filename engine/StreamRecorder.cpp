#include "engine/StreamRecorder.h"

#include "base/Logging.h"
#include "engine/AvLibrary.h"
#include "net/AddressRule.h"
#include "net/TlsTrust.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

// Loaded by start() before any worker runs.
const AvLibrary &av()
{
    return *AvLibrary::get();
}

// Free space is asked again after this many bytes (and before the first).
constexpr qint64 spaceCheckBytes = 1 << 20;
// What one write may add before the next check: the margin kept above the minimum.
constexpr qint64 spaceMargin = 4 << 20;
constexpr AVRational microseconds { 1, 1000000 };

int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

QString partPath(const QString &first, int part)
{
    if (part <= 1)
        return first;
    const QFileInfo info(first);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(" (parte %1)").arg(part)
        + suffix;
}

QString errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av().av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

// The kind of each stream kept from an input: a new source that differs goes
// on in a new part.
struct Layout {
    std::vector<std::pair<AVMediaType, AVCodecID>> streams;
    bool operator==(const Layout &other) const { return streams == other.streams; }
};

bool kept(AVMediaType type)
{
    return type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO || type == AVMEDIA_TYPE_SUBTITLE;
}

} // namespace

struct StreamRecorder::Worker {
    StreamRecorder *owner = nullptr; // outlives the thread: its destructor joins
    QString path;
    StreamRecorderSettings settings;
    FreeSpace defaultSpace;

    std::mutex mutex;
    std::condition_variable wake;
    RecordingSource source;
    bool sourceChanged = false;
    std::atomic<bool> stopping { false };
    std::atomic<bool> dropInput { false }; // a switch: leave the current input now
    std::atomic<int64_t> lastProgressNs { 0 };
    std::atomic<int64_t> stallNs { 0 };

    // Output state.
    int part = 0;
    int fd = -1;
    AVFormatContext *out = nullptr;
    AVIOContext *outIo = nullptr;
    Layout outLayout;
    std::vector<int64_t> lastDts; // per output stream, in its time base
    std::vector<int64_t> writtenDts; // the same, of packets written (not held back)
    int64_t writtenEndUs = 0;
    int64_t outEndUs = 0; // where the next packet of the programme goes (microseconds)
    qint64 bytes = 0; // this part's
    qint64 bytesAllParts = 0;
    qint64 nextSpaceCheck = 0;
    bool writeFailed = false;
    bool diskFull = false;

    int64_t secondsBefore = 0; // microseconds of programme in the closed parts
    // Where a part's programme starts: sound sent just before the first key
    // frame keeps a timestamp above zero.
    static constexpr int64_t fileStartUs = 1400000;

    // Input state that outlives one connection: to skip what a source sends again.
    QString lastAddress;
    int64_t lastSourceEndUs = INT64_MIN; // source clock of the last packet written

    const FreeSpace &space() const { return settings.freeSpace ? *settings.freeSpace : defaultSpace; }

    static int interruptCallback(void *opaque)
    {
        auto *self = static_cast<Worker *>(opaque);
        if (self->stopping.load() || self->dropInput.load())
            return 1;
        return nowNs() - self->lastProgressNs.load() > self->stallNs.load() ? 1 : 0;
    }

    static int writePacket(void *opaque, uint8_t *data, int size)
    {
        auto *self = static_cast<Worker *>(opaque);
        int left = size;
        while (left > 0) {
            const ssize_t n = ::write(self->fd, data, size_t(left));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                self->writeFailed = true;
                return AVERROR(errno ? errno : EIO);
            }
            data += n;
            left -= int(n);
        }
        self->bytes += size;
        return size;
    }

    template <typename F> void toOwner(F &&f)
    {
        QMetaObject::invokeMethod(owner, std::forward<F>(f), Qt::QueuedConnection);
    }

    void closeOutput()
    {
        if (!out)
            return;
        if (out->pb && !writeFailed)
            av().av_write_trailer(out);
        if (outIo) {
            av().avio_flush(outIo);
            av().av_freep(&outIo->buffer);
            av().avio_context_free(&outIo);
        }
        out->pb = nullptr;
        av().avformat_free_context(out);
        out = nullptr;
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
            fd = -1;
        }
    }

    // Creates the next part's file (never one that exists) and its muxer.
    bool openOutput(AVFormatContext *in, const std::vector<int> &map, const Layout &layout)
    {
        bytesAllParts += bytes;
        closeOutput();
        QString file;
        for (;;) {
            file = partPath(path, ++part);
            fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd >= 0)
                break;
            if (errno != EEXIST || part > 999) {
                qCWarning(lumiRecording) << "cannot create" << file << ::strerror(errno);
                writeFailed = true;
                return false;
            }
        }
        bytes = 0;
        nextSpaceCheck = 0;
        if (av().avformat_alloc_output_context2(&out, nullptr, "mpegts", nullptr) < 0 || !out) {
            writeFailed = true;
            return false;
        }
        for (size_t i = 0; i < map.size(); ++i) {
            if (map[i] < 0)
                continue;
            AVStream *stream = av().avformat_new_stream(out, nullptr);
            av().avcodec_parameters_copy(stream->codecpar, in->streams[i]->codecpar);
            stream->codecpar->codec_tag = 0;
            stream->time_base = in->streams[i]->time_base;
        }
        constexpr int bufferSize = 64 * 1024;
        auto *buffer = static_cast<unsigned char *>(av().av_malloc(bufferSize));
        outIo = av().avio_alloc_context(buffer, bufferSize, 1, this, nullptr, &Worker::writePacket, nullptr);
        out->pb = outIo;
        if (av().avformat_write_header(out, nullptr) < 0) {
            writeFailed = true;
            return false;
        }
        outLayout = layout;
        lastDts.assign(size_t(out->nb_streams), INT64_MIN);
        writtenDts = lastDts;
        writtenEndUs = fileStartUs;
        const QString created = file;
        toOwner([o = owner, created] {
            {
                std::lock_guard<std::mutex> lock(o->m_filesMutex);
                o->m_files << created;
            }
            emit o->partStarted(created);
        });
        return true;
    }

    bool roomLeft()
    {
        if (bytesAllParts + bytes < nextSpaceCheck)
            return true;
        nextSpaceCheck = bytesAllParts + bytes + spaceCheckBytes;
        const qint64 free = space().freeBytes(QFileInfo(path).path());
        if (free >= 0 && free < settings.minimumFreeBytes + spaceMargin) {
            qCInfo(lumiRecording) << "stopping: disk nearly full," << free << "bytes free";
            diskFull = true;
            return false;
        }
        return true;
    }

    AVFormatContext *openInput(const RecordingSource &from)
    {
        const QString admitted = AddressRule::admitted(from.address, AddressRule::Origin::Network);
        QString address = admitted;
        if (address.startsWith(QLatin1String("mms://"), Qt::CaseInsensitive))
            address = QStringLiteral("mmsh://") + address.mid(6);
        AVFormatContext *in = av().avformat_alloc_context();
        in->interrupt_callback = { &Worker::interruptCallback, this };
        AVDictionary *options = nullptr;
        const QByteArray protocols = AddressRule::insideStreamProtocols().toUtf8();
        av().av_dict_set(&options, "protocol_whitelist", protocols.constData(), 0);
        av().av_dict_set(&options, "user_agent",
            from.userAgent.isEmpty() ? "libmpv" : from.userAgent.toUtf8().constData(), 0);
        if (!from.referrer.isEmpty())
            av().av_dict_set(&options, "referer", from.referrer.toUtf8().constData(), 0);
        av().av_dict_set(&options, "tls_verify", from.verifyCertificates ? "1" : "0", 0);
        // The certificate authorities the player's streams are checked
        // against: the network layer's file when it names one, else the
        // system's, which ffmpeg's TLS loads by itself.
        const QByteArray trusted = QFile::encodeName(TlsTrust::caFile());
        if (from.verifyCertificates && !trusted.isEmpty())
            av().av_dict_set(&options, "ca_file", trusted.constData(), 0);
        av().av_dict_set_int(&options, "rw_timeout", int64_t(settings.stallMs) * 1000, 0);
        // A stream's kind shows in its first second; probing longer only delays the recording.
        av().av_dict_set(&options, "probesize", "1000000", 0);
        av().av_dict_set(&options, "analyzeduration", "1500000", 0);
        lastProgressNs = nowNs();
        stallNs = int64_t(settings.stallMs) * 1000000;
        const int opened = address.isEmpty()
            ? AVERROR(EPERM)
            : av().avformat_open_input(&in, address.toUtf8().constData(), nullptr, &options);
        av().av_dict_free(&options);
        if (opened < 0) {
            qCInfo(lumiRecording) << "cannot open" << from.address << errorText(opened);
            if (in)
                av().avformat_close_input(&in);
            return nullptr;
        }
        if (in->iformat && qstrcmp(in->iformat->name, "hls") == 0)
            stallNs = int64_t(settings.stallMs) * 3000000;
        lastProgressNs = nowNs();
        if (av().avformat_find_stream_info(in, nullptr) < 0) {
            av().avformat_close_input(&in);
            return nullptr;
        }
        return in;
    }

    // Reads one connection to its end; true when packets were written.
    bool record(AVFormatContext *in, const RecordingSource &from, int64_t &interruptedAtNs)
    {
        std::vector<int> map(in->nb_streams, -1);
        Layout layout;
        int video = -1;
        for (unsigned i = 0; i < in->nb_streams; ++i) {
            const AVCodecParameters *par = in->streams[i]->codecpar;
            if (!kept(par->codec_type) || par->codec_id == AV_CODEC_ID_NONE)
                continue;
            map[i] = int(layout.streams.size());
            layout.streams.emplace_back(par->codec_type, par->codec_id);
            if (video < 0 && par->codec_type == AVMEDIA_TYPE_VIDEO)
                video = int(i);
        }
        if (layout.streams.empty())
            return false;
        const bool sameSource = from.address == lastAddress;
        if (!sameSource)
            lastSourceEndUs = INT64_MIN;
        bool started = false; // waiting for the first key frame of this connection
        int64_t offsetUs = 0;
        bool wrote = false;
        AVPacket *packet = av().av_packet_alloc();
        int64_t lastProgressReport = 0;
        std::vector<AVPacket *> held(layout.streams.size(), nullptr);
        while (!stopping.load() && !dropInput.load()) {
            const int read = av().av_read_frame(in, packet);
            if (read < 0) {
                qCInfo(lumiRecording) << "source ended:" << errorText(read);
                break;
            }
            lastProgressNs = nowNs();
            const int index = packet->stream_index;
            // A connection that breaks off leaves its last frame cut short.
            if (index < 0 || index >= int(map.size()) || map[size_t(index)] < 0
                || packet->dts == AV_NOPTS_VALUE || (packet->flags & AV_PKT_FLAG_CORRUPT)) {
                av().av_packet_unref(packet);
                continue;
            }
            const AVRational inBase = in->streams[index]->time_base;
            const int64_t sourceUs = av().av_rescale_q(packet->dts, inBase, microseconds);
            if (!started) {
                // What a source sends again after a reconnection is written once.
                const bool repeated = sameSource && lastSourceEndUs != INT64_MIN
                    && sourceUs <= lastSourceEndUs && lastSourceEndUs - sourceUs < int64_t(600) * 1000000;
                const bool key = video < 0 || (index == video && (packet->flags & AV_PKT_FLAG_KEY));
                if (repeated || !key) {
                    av().av_packet_unref(packet);
                    continue;
                }
                if (!out || !(layout == outLayout)) {
                    if (out)
                        secondsBefore += outEndUs - fileStartUs;
                    outEndUs = fileStartUs;
                    if (!openOutput(in, map, layout)) {
                        av().av_packet_unref(packet);
                        break;
                    }
                }
                offsetUs = outEndUs - sourceUs;
                started = true;
                if (interruptedAtNs != 0) {
                    const int64_t lost = std::max<int64_t>((nowNs() - interruptedAtNs) / 1000, 0);
                    owner->m_lostMicros += lost;
                    interruptedAtNs = 0;
                    toOwner([o = owner, lost] { emit o->resumed(double(lost) / 1e6); });
                }
            }
            lastSourceEndUs = std::max(lastSourceEndUs, sourceUs);
            if (!roomLeft()) {
                av().av_packet_unref(packet);
                break;
            }
            const int target = map[size_t(index)];
            const AVRational outBase = out->streams[target]->time_base;
            const int64_t offset = av().av_rescale_q(offsetUs, microseconds, outBase);
            const int64_t ptsShift = packet->pts == AV_NOPTS_VALUE ? 0 : packet->pts - packet->dts;
            packet->dts = av().av_rescale_q(packet->dts, inBase, outBase) + offset;
            packet->pts = packet->pts == AV_NOPTS_VALUE
                ? AV_NOPTS_VALUE
                : packet->dts + av().av_rescale_q(ptsShift, inBase, outBase);
            packet->duration = av().av_rescale_q(packet->duration, inBase, outBase);
            if (packet->dts <= lastDts[size_t(target)]) {
                av().av_packet_unref(packet);
                continue;
            }
            lastDts[size_t(target)] = packet->dts;
            packet->stream_index = target;
            packet->pos = -1;
            // Each packet waits for the next of its stream: the demuxer hands
            // over the frame it was reading when a connection breaks, cut short
            // and unmarked, and that one must never reach the file.
            AVPacket *&waiting = held[size_t(target)];
            if (!waiting) {
                waiting = av().av_packet_alloc();
            } else if (waiting->data || waiting->side_data_elems) {
                const int64_t dts = waiting->dts;
                const int64_t endUs = av().av_rescale_q(
                    waiting->dts + std::max<int64_t>(waiting->duration, 0), outBase, microseconds);
                if (av().av_write_frame(out, waiting) < 0 || writeFailed) {
                    writeFailed = true;
                    av().av_packet_unref(packet);
                    break;
                }
                av().av_packet_unref(waiting);
                writtenEndUs = std::max(writtenEndUs, endUs);
                writtenDts[size_t(target)] = dts;
                wrote = true;
            }
            av().av_packet_move_ref(waiting, packet);
            outEndUs = writtenEndUs;
            owner->m_bytes = bytesAllParts + bytes;
            owner->m_micros = secondsBefore + outEndUs - fileStartUs;
            if (lastProgressNs - lastProgressReport > 1000000000) {
                lastProgressReport = lastProgressNs;
                toOwner([o = owner] { emit o->progressed(); });
            }
        }
        // The connection has ended: its last frames are dropped unwritten.
        for (AVPacket *&waiting : held)
            av().av_packet_free(&waiting);
        lastDts = writtenDts;
        av().av_packet_free(&packet);
        lastAddress = from.address;
        return wrote;
    }

    void run()
    {
        int64_t interruptedAtNs = 0;
        while (!stopping.load() && !writeFailed && !diskFull) {
            RecordingSource from;
            {
                std::lock_guard<std::mutex> lock(mutex);
                from = source;
                sourceChanged = false;
                dropInput = false;
            }
            AVFormatContext *in = openInput(from);
            if (in) {
                record(in, from, interruptedAtNs);
                av().avformat_close_input(&in);
            }
            if (stopping.load() || writeFailed || diskFull)
                break;
            if (interruptedAtNs == 0 && out) {
                // Counted from the last packet that arrived, not from when the stall was noticed.
                interruptedAtNs = lastProgressNs.load();
                toOwner([o = owner] { emit o->interrupted(); });
            }
            std::unique_lock<std::mutex> lock(mutex);
            if (!sourceChanged)
                wake.wait_for(lock, std::chrono::milliseconds(settings.retryMs),
                    [this] { return stopping.load() || sourceChanged; });
        }
        closeOutput();
        bytesAllParts += bytes;
        owner->m_bytes = bytesAllParts;
        const Outcome outcome = writeFailed ? Outcome::WriteFailed
            : diskFull                      ? Outcome::DiskFull
                                            : Outcome::Stopped;
        toOwner([o = owner, outcome] { o->onWorkerEnded(outcome); });
    }
};

StreamRecorder::StreamRecorder(const QString &path, const StreamRecorderSettings &settings, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_settings(settings)
{
}

StreamRecorder::~StreamRecorder()
{
    if (m_worker) {
        m_worker->stopping = true;
        m_worker->wake.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
}

bool StreamRecorder::start(const RecordingSource &source)
{
    if (m_started || !AddressRule::allows(source.address, AddressRule::Origin::Network) || !AvLibrary::get())
        return false;
    m_started = true;
    m_running = true;
    m_worker = std::make_shared<Worker>();
    m_worker->owner = this;
    m_worker->path = m_path;
    m_worker->settings = m_settings;
    m_worker->part = std::max(1, m_settings.firstPart) - 1;
    m_worker->source = source;
    m_thread = std::thread([worker = m_worker] { worker->run(); });
    return true;
}

bool StreamRecorder::switchSource(const RecordingSource &source)
{
    if (!m_running || !AddressRule::allows(source.address, AddressRule::Origin::Network))
        return false;
    {
        std::lock_guard<std::mutex> lock(m_worker->mutex);
        m_worker->source = source;
        m_worker->sourceChanged = true;
        m_worker->dropInput = true;
    }
    m_worker->wake.notify_all();
    return true;
}

void StreamRecorder::stop()
{
    if (!m_running)
        return;
    m_worker->stopping = true;
    m_worker->wake.notify_all();
}

QStringList StreamRecorder::files() const
{
    std::lock_guard<std::mutex> lock(m_filesMutex);
    return m_files;
}

void StreamRecorder::onWorkerEnded(Outcome outcome)
{
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
    {
        // A part that received nothing was removed.
        std::lock_guard<std::mutex> lock(m_filesMutex);
        m_files.erase(std::remove_if(m_files.begin(), m_files.end(),
                          [](const QString &f) { return !QFileInfo::exists(f); }),
            m_files.end());
    }
    emit finished(outcome);
}
