#include "guide/GuideCache.h"

#include "guide/GuideStoreBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>
#include <cstring>
#include <zlib.h>

namespace
{

constexpr char Magic[8] = { 'L', 'U', 'M', 'I', 'E', 'P', 'G', '\n' };
constexpr qsizetype HeaderBytes = 8 + 4 + 4 + 8 + 4 + 8 + 8 + 4 + 8 + 4 + 4 + 4;
constexpr qsizetype ChannelBytes = 7 * 4;
constexpr qsizetype ProgrammeBytes = 2 * 8 + 7 * 4;
constexpr quint64 MaxStrings = 64 * 1024 * 1024;
constexpr quint64 MaxPoolBytes = quint64(GuideStoreBuilder::MaxTextBytes) * 2;
constexpr quint64 MaxNames = quint64(GuideStoreBuilder::MaxChannels) * GuideStoreBuilder::MaxNamesPerChannel;
constexpr qsizetype RecordsPerChunk = 4096;

class Writer
{
public:
    explicit Writer(QIODevice *device)
        : m_device(device)
    {
    }
    template <typename T> void put(T value)
    {
        char bytes[sizeof(T)];
        qToLittleEndian(value, bytes);
        m_buffer.append(bytes, sizeof(T));
        if (m_buffer.size() >= 1 << 16)
            flush();
    }
    void raw(const char *data, qsizetype size)
    {
        flush();
        emitBytes(data, size);
    }
    bool flush()
    {
        emitBytes(m_buffer.constData(), m_buffer.size());
        m_buffer.clear();
        return m_ok;
    }
    quint32 crc() const { return quint32(m_crc); }
    bool ok() const { return m_ok; }

private:
    void emitBytes(const char *data, qsizetype size)
    {
        if (size == 0 || !m_ok)
            return;
        m_crc = crc32_z(m_crc, reinterpret_cast<const Bytef *>(data), size_t(size));
        m_ok = m_device->write(data, size) == size;
    }

    QIODevice *m_device;
    QByteArray m_buffer;
    uLong m_crc = crc32_z(0, nullptr, 0);
    bool m_ok = true;
};

class Reader
{
public:
    explicit Reader(QIODevice *device)
        : m_device(device)
    {
    }
    // Reads size bytes into to, counting them into the check.
    bool bytes(char *to, qsizetype size)
    {
        if (size == 0)
            return true;
        if (m_device->read(to, size) != size)
            return false;
        m_crc = crc32_z(m_crc, reinterpret_cast<const Bytef *>(to), size_t(size));
        return true;
    }
    quint32 crc() const { return quint32(m_crc); }

private:
    QIODevice *m_device;
    uLong m_crc = crc32_z(0, nullptr, 0);
};

template <typename T> T take(const char *&at)
{
    const T value = qFromLittleEndian<T>(at);
    at += sizeof(T);
    return value;
}

GuideCache::Loaded refused(const char *why)
{
    GuideCache::Loaded loaded;
    loaded.error = QString::fromUtf8(why);
    return loaded;
}

// Reads count records of recordBytes each, a chunk at a time, decoding each.
template <typename Record, typename Decode>
bool readRecords(
    Reader &reader, std::vector<Record> &out, quint64 count, qsizetype recordBytes, Decode decode)
{
    out.resize(size_t(count));
    QByteArray chunk;
    for (quint64 done = 0; done < count;) {
        const qsizetype n = qsizetype(qMin<quint64>(RecordsPerChunk, count - done));
        chunk.resize(n * recordBytes);
        if (!reader.bytes(chunk.data(), chunk.size()))
            return false;
        const char *at = chunk.constData();
        for (qsizetype i = 0; i < n; ++i)
            decode(at, out[size_t(done) + size_t(i)]);
        done += quint64(n);
    }
    return true;
}

} // namespace

bool GuideCache::write(const GuideStore &store, const GuideCacheStamp &stamp, QIODevice *device)
{
    const GuideStore::Parts &parts = store.parts();
    Writer out(device);
    out.raw(Magic, sizeof(Magic));
    out.put<quint32>(Version);
    out.put<quint32>(0);
    out.put<qint64>(stamp.builtAt);
    out.put<qint32>(stamp.offsetHours);
    out.put<qint64>(stamp.sourceSize);
    out.put<qint64>(stamp.sourceModifiedMs);
    out.put<quint32>(parts.strings.count());
    out.put<quint64>(quint64(parts.strings.byteSize()));
    out.put<quint32>(quint32(parts.channels.size()));
    out.put<quint32>(quint32(parts.names.size()));
    out.put<quint32>(quint32(parts.programmes.size()));
    for (const quint32 offset : parts.strings.offsets())
        out.put<quint32>(offset);
    out.raw(parts.strings.bytes().data(), parts.strings.byteSize());
    for (const GuideStore::Channel &c : parts.channels) {
        for (const quint32 v :
            { c.id, c.icon, c.firstName, c.nameCount, c.firstProgramme, c.programmeCount, c.flags })
            out.put<quint32>(v);
    }
    for (const quint32 name : parts.names)
        out.put<quint32>(name);
    for (const GuideStore::Programme &p : parts.programmes) {
        out.put<qint64>(p.start);
        out.put<qint64>(p.stop);
        for (const quint32 v :
            { p.title, p.subTitle, p.description, p.categories, p.episode, p.rating, p.icon })
            out.put<quint32>(v);
    }
    out.flush();
    const quint32 crc = out.crc();
    char bytes[4];
    qToLittleEndian(crc, bytes);
    return out.ok() && device->write(bytes, 4) == 4;
}

bool GuideCache::write(
    const GuideStore &store, const GuideCacheStamp &stamp, const QString &path, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !write(store, stamp, &file) || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

GuideCache::Loaded GuideCache::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused("cache file cannot be opened");
    return read(&file);
}

GuideCache::Loaded GuideCache::read(QIODevice *device)
{
    Reader in(device);
    char header[HeaderBytes];
    if (!in.bytes(header, HeaderBytes))
        return refused("shorter than its header");
    if (std::memcmp(header, Magic, sizeof(Magic)) != 0)
        return refused("not a guide cache");
    const char *at = header + sizeof(Magic);
    if (take<quint32>(at) != Version)
        return refused("written by another version");
    take<quint32>(at);
    Loaded loaded;
    loaded.stamp.builtAt = take<qint64>(at);
    loaded.stamp.offsetHours = take<qint32>(at);
    loaded.stamp.sourceSize = take<qint64>(at);
    loaded.stamp.sourceModifiedMs = take<qint64>(at);
    const quint64 strings = take<quint32>(at);
    const quint64 poolBytes = take<quint64>(at);
    const quint64 channels = take<quint32>(at);
    const quint64 names = take<quint32>(at);
    const quint64 programmes = take<quint32>(at);
    if (strings == 0 || strings > MaxStrings || poolBytes > MaxPoolBytes
        || channels > quint64(GuideStoreBuilder::MaxChannels) || names > MaxNames
        || programmes > quint64(GuideStoreBuilder::MaxProgrammes))
        return refused("counts past the limits");
    // Known before anything is allocated: the sizes must add up to the file.
    const quint64 expected = quint64(HeaderBytes) + (strings + 1) * 4 + poolBytes + channels * ChannelBytes
        + names * 4 + programmes * ProgrammeBytes + 4;
    if (quint64(device->size()) != expected)
        return refused("size does not match its counts");

    GuideStore::Parts parts;
    std::vector<quint32> offsets;
    std::vector<char> pool(poolBytes);
    const bool read
        = readRecords(in, offsets, strings + 1, 4, [](const char *&p, quint32 &o) { o = take<quint32>(p); })
        && in.bytes(pool.data(), qsizetype(poolBytes))
        && readRecords(in, parts.channels, channels, ChannelBytes,
            [](const char *&p, GuideStore::Channel &c) {
                for (quint32 *v : { &c.id, &c.icon, &c.firstName, &c.nameCount, &c.firstProgramme,
                         &c.programmeCount, &c.flags })
                    *v = take<quint32>(p);
            })
        && readRecords(in, parts.names, names, 4, [](const char *&p, quint32 &n) { n = take<quint32>(p); })
        && readRecords(
            in, parts.programmes, programmes, ProgrammeBytes, [](const char *&p, GuideStore::Programme &r) {
                r.start = take<qint64>(p);
                r.stop = take<qint64>(p);
                for (quint32 *v :
                    { &r.title, &r.subTitle, &r.description, &r.categories, &r.episode, &r.rating, &r.icon })
                    *v = take<quint32>(p);
            });
    if (!read)
        return refused("cut short");
    const quint32 computed = in.crc();
    char crc[4];
    if (device->read(crc, 4) != 4 || qFromLittleEndian<quint32>(crc) != computed)
        return refused("check sum does not match");
    if (!parts.strings.adopt(std::move(pool), std::move(offsets)))
        return refused("text offsets out of order");
    QString why;
    loaded.store = GuideStore::fromParts(std::move(parts), &why);
    if (!loaded.store)
        loaded.error = why;
    return loaded;
}
