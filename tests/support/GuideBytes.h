#pragma once

#include <QByteArray>
#include <QDateTime>
#include <lzma.h>
#include <zlib.h>

// Compressed forms of a guide, made the way publishers make them.
namespace GuideBytes
{
// windowBits 31: gzip, 15: zlib.
inline QByteArray deflated(const QByteArray &plain, int windowBits = 31)
{
    z_stream z {};
    deflateInit2(&z, 6, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(plain.size()))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(plain.constData()));
    z.avail_in = uInt(plain.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

inline QByteArray xz(const QByteArray &plain)
{
    QByteArray out(int(lzma_stream_buffer_bound(size_t(plain.size()))), Qt::Uninitialized);
    size_t written = 0;
    lzma_easy_buffer_encode(1, LZMA_CHECK_CRC32, nullptr,
        reinterpret_cast<const uint8_t *>(plain.constData()), size_t(plain.size()),
        reinterpret_cast<uint8_t *>(out.data()), &written, size_t(out.size()));
    out.resize(qsizetype(written));
    return out;
}

// "20240510150000 -0300" for a UTC time, written in Brasília's offset.
inline QByteArray brasilia(const QDateTime &utc)
{
    return utc.addSecs(-3 * 3600).toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + " -0300";
}
} // namespace GuideBytes
