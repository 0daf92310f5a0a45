#include "guide/GuideInput.h"

#include <cstring>
#include <lzma.h>
#include <zlib.h>

struct GuideInput::Decoder {
    z_stream zlib {};
    lzma_stream xz = LZMA_STREAM_INIT;
    bool zlibOpen = false;
    bool xzOpen = false;
    bool memberEnded = false; // a gzip member ended; another may follow

    ~Decoder()
    {
        if (zlibOpen)
            inflateEnd(&zlib);
        if (xzOpen)
            lzma_end(&xz);
    }
};

namespace
{
constexpr qsizetype DecodedChunk = 256 * 1024;
constexpr quint64 XzMemoryLimit = 256 * 1024 * 1024;

bool startsWith(const QByteArray &bytes, const char *magic, qsizetype length)
{
    return bytes.size() >= length && std::memcmp(bytes.constData(), magic, size_t(length)) == 0;
}

bool isGzip(const QByteArray &bytes)
{
    return startsWith(bytes, "\x1f\x8b", 2);
}

bool isZlib(const QByteArray &bytes)
{
    if (bytes.size() < 2)
        return false;
    const auto cmf = quint8(bytes[0]);
    const auto flg = quint8(bytes[1]);
    return (cmf & 0x0f) == 8 && (cmf >> 4) <= 7 && (cmf * 256 + flg) % 31 == 0;
}

// UTF-16 text, with a byte order mark or without ("<\0" / "\0<").
bool isUtf16(const QByteArray &bytes)
{
    return startsWith(bytes, "\xff\xfe", 2) || startsWith(bytes, "\xfe\xff", 2) || startsWith(bytes, "<\0", 2)
        || startsWith(bytes, "\0<", 2);
}
} // namespace

GuideInput::GuideInput(QIODevice *source, GuideReadObserver *observer, qint64 maxDecoded, QObject *parent)
    : QIODevice(parent)
    , m_source(source)
    , m_observer(observer)
    , m_maxDecoded(maxDecoded)
    , m_decoder(std::make_unique<Decoder>())
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

GuideInput::~GuideInput() = default;

qint64 GuideInput::bytesAvailable() const
{
    return (m_out.size() - m_outAt) + QIODevice::bytesAvailable();
}

bool GuideInput::atEnd() const
{
    return m_finished && m_out.size() == m_outAt;
}

qint64 GuideInput::writeData(const char *, qint64)
{
    return -1;
}

qint64 GuideInput::readData(char *data, qint64 maxSize)
{
    // Whole reads, as a file gives them: QXmlStreamReader (Qt 6.4) loses its
    // place in an element's text when an entity reference is split across a
    // short read.
    qint64 done = 0;
    while (done < maxSize) {
        if (m_outAt == m_out.size()) {
            m_out.clear();
            m_outAt = 0;
            if (!fill())
                break;
        }
        const qint64 size = qMin(maxSize - done, qint64(m_out.size() - m_outAt));
        std::memcpy(data + done, m_out.constData() + m_outAt, size_t(size));
        m_outAt += size;
        done += size;
    }
    return done;
}

void GuideInput::stop(const QString &failure)
{
    if (m_failure.isEmpty())
        m_failure = failure;
    m_finished = true;
    m_stored.clear();
}

bool GuideInput::readStored()
{
    const qsizetype held = m_stored.size();
    m_stored.resize(held + ChunkBytes);
    const qint64 got = m_source->read(m_stored.data() + held, ChunkBytes);
    m_stored.resize(held + qMax<qint64>(got, 0));
    if (got < 0) {
        stop(QStringLiteral("Não foi possível ler o guia: %1").arg(m_source->errorString()));
        return false;
    }
    m_storedRead += got;
    if (m_observer && !m_observer->keepGoing(m_storedRead)) {
        m_cancelled = true;
        stop();
        return false;
    }
    return got > 0;
}

void GuideInput::sniff()
{
    m_sniffed = true;
    if (isGzip(m_stored) || isZlib(m_stored)) {
        m_compression
            = isGzip(m_stored) ? GuideReadReport::Compression::Gzip : GuideReadReport::Compression::Zlib;
        const int bits = m_compression == GuideReadReport::Compression::Gzip ? 15 + 16 : 15;
        m_decoder->zlibOpen = inflateInit2(&m_decoder->zlib, bits) == Z_OK;
        if (!m_decoder->zlibOpen)
            stop(QStringLiteral("Sem memória para descomprimir o guia."));
    } else if (startsWith(m_stored,
                   "\xfd"
                   "7zXZ\0",
                   6)) {
        m_compression = GuideReadReport::Compression::Xz;
        m_decoder->xzOpen = lzma_stream_decoder(&m_decoder->xz, XzMemoryLimit, LZMA_CONCATENATED) == LZMA_OK;
        if (!m_decoder->xzOpen)
            stop(QStringLiteral("Sem memória para descomprimir o guia."));
    } else {
        m_repair.setPassThrough(isUtf16(m_stored));
    }
}

void GuideInput::emitDecoded(const char *data, qint64 size, bool atEnd)
{
    m_decodedTotal += size;
    if (m_decodedTotal > m_maxDecoded) {
        m_repair.feed(QByteArrayView(), true, m_out);
        m_cut = true;
        stop(QStringLiteral("O guia passa de %1 MiB descomprimido; o resto foi ignorado.")
                 .arg(m_maxDecoded >> 20));
        return;
    }
    m_repair.feed(QByteArrayView(data, size), atEnd, m_out);
}

void GuideInput::decode(bool sourceEnded)
{
    Decoder &d = *m_decoder;
    if (m_compression == GuideReadReport::Compression::None) {
        emitDecoded(m_stored.constData(), m_stored.size(), sourceEnded);
        m_stored.clear();
        if (sourceEnded)
            m_finished = true;
        return;
    }
    m_decoded.resize(DecodedChunk);
    auto *out = reinterpret_cast<unsigned char *>(m_decoded.data());
    if (m_compression == GuideReadReport::Compression::Xz) {
        d.xz.next_in = reinterpret_cast<const uint8_t *>(m_stored.constData());
        d.xz.avail_in = size_t(m_stored.size());
        while (!m_finished) {
            d.xz.next_out = out;
            d.xz.avail_out = size_t(DecodedChunk);
            const lzma_ret ret = lzma_code(&d.xz, sourceEnded ? LZMA_FINISH : LZMA_RUN);
            const qint64 produced = DecodedChunk - qint64(d.xz.avail_out);
            const bool ended = ret == LZMA_STREAM_END;
            emitDecoded(m_decoded.constData(), produced, ended || (sourceEnded && ret != LZMA_OK));
            if (ended) {
                m_finished = true;
            } else if (ret == LZMA_BUF_ERROR && sourceEnded) {
                m_cut = true;
                m_finished = true;
            } else if (ret == LZMA_MEMLIMIT_ERROR || ret == LZMA_MEM_ERROR) {
                stop(QStringLiteral("O guia comprimido pede memória demais para ser aberto."));
            } else if (ret != LZMA_OK && ret != LZMA_BUF_ERROR) {
                stop(QStringLiteral(
                    "Os dados comprimidos do guia estão corrompidos; o que veio antes foi lido."));
            } else if (d.xz.avail_in == 0 && d.xz.avail_out != 0 && !sourceEnded) {
                break;
            }
        }
        m_stored.clear();
        return;
    }

    // gzip or zlib. A gzip file may hold several members one after another.
    qsizetype used = 0;
    bool outputFull = true; // zlib may hold output back until given room
    while (!m_finished && (used < m_stored.size() || (outputFull && !d.memberEnded))) {
        if (d.memberEnded) {
            const QByteArray rest = m_stored.mid(used, 2);
            if (rest.size() < 2 && !sourceEnded)
                break;
            if (m_compression != GuideReadReport::Compression::Gzip || !isGzip(rest)) {
                m_finished = true; // whatever trails the last member is not the guide
                break;
            }
            inflateReset(&d.zlib);
            d.memberEnded = false;
        }
        d.zlib.next_in = reinterpret_cast<Bytef *>(m_stored.data() + used);
        d.zlib.avail_in = uInt(m_stored.size() - used);
        d.zlib.next_out = out;
        d.zlib.avail_out = uInt(DecodedChunk);
        const int ret = inflate(&d.zlib, Z_NO_FLUSH);
        used = m_stored.size() - qsizetype(d.zlib.avail_in);
        outputFull = d.zlib.avail_out == 0;
        emitDecoded(m_decoded.constData(), DecodedChunk - qint64(d.zlib.avail_out), false);
        if (ret == Z_STREAM_END) {
            d.memberEnded = true;
        } else if (ret == Z_BUF_ERROR) {
            if (!outputFull)
                break;
        } else if (ret != Z_OK) {
            stop(
                QStringLiteral("Os dados comprimidos do guia estão corrompidos; o que veio antes foi lido."));
        }
    }
    m_stored.remove(0, qMin(used, m_stored.size()));
    if (sourceEnded && !m_finished) {
        if (!d.memberEnded)
            m_cut = true;
        m_finished = true;
    }
    if (m_finished)
        emitDecoded(nullptr, 0, true);
}

bool GuideInput::fill()
{
    while (!m_finished && m_out.size() == m_outAt) {
        const bool more = readStored();
        if (m_finished)
            break;
        const bool sourceEnded = !more;
        if (!m_sniffed) {
            // Six bytes tell every kind apart; a shorter file is plain.
            if (m_stored.size() < 6 && !sourceEnded)
                continue;
            sniff();
            if (m_finished)
                break;
        }
        decode(sourceEnded);
    }
    if (m_finished)
        m_repair.feed(QByteArrayView(), true, m_out);
    return m_out.size() > m_outAt;
}
