#include "desktop/OpenableMedia.h"

#include "net/AddressRule.h"

namespace OpenableMedia
{
QStringList uriSchemes()
{
    return { QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("rtmp"),
        QStringLiteral("rtsp"), QStringLiteral("udp"), QStringLiteral("mms"), QStringLiteral("mmsh") };
}

QStringList mimeTypes()
{
    return { QStringLiteral("video/mp4"), QStringLiteral("video/mpeg"), QStringLiteral("video/mp2t"),
        QStringLiteral("video/x-matroska"), QStringLiteral("video/webm"), QStringLiteral("video/ogg"),
        QStringLiteral("video/quicktime"), QStringLiteral("video/x-msvideo"), QStringLiteral("video/x-flv"),
        QStringLiteral("video/x-ms-wmv"), QStringLiteral("video/x-ms-asf"), QStringLiteral("video/3gpp"),
        QStringLiteral("audio/mpeg"), QStringLiteral("audio/mp4"), QStringLiteral("audio/aac"),
        QStringLiteral("audio/ogg"), QStringLiteral("audio/flac"), QStringLiteral("audio/x-wav"),
        QStringLiteral("audio/x-ms-wma"), QStringLiteral("audio/webm"), QStringLiteral("audio/x-matroska"),
        QStringLiteral("application/vnd.apple.mpegurl"), QStringLiteral("application/x-mpegurl"),
        QStringLiteral("audio/x-mpegurl"), QStringLiteral("audio/mpegurl"), QStringLiteral("video/x-ms-asx"),
        QStringLiteral("audio/x-ms-asx"), QStringLiteral("audio/x-scpls"),
        QStringLiteral("x-scheme-handler/rtmp"), QStringLiteral("x-scheme-handler/rtsp"),
        QStringLiteral("x-scheme-handler/mms"), QStringLiteral("x-scheme-handler/mmsh") };
}

bool isAddress(const QString &text)
{
    return AddressRule::allows(text, AddressRule::Origin::Network);
}
} // namespace OpenableMedia
