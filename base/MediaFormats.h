#pragma once

#include <QString>
#include <QStringList>

// Media files by extension (lower case, without the dot). The older player's
// formats come first, as its users know them; the engine plays the newer ones too.
namespace MediaFormats
{
inline QStringList olderAudio()
{
    return { QStringLiteral("mp3"), QStringLiteral("wma"), QStringLiteral("wav") };
}
inline QStringList olderVideo()
{
    return { QStringLiteral("mpg"), QStringLiteral("mpeg"), QStringLiteral("avi"), QStringLiteral("wmv"),
        QStringLiteral("asf") };
}
inline QStringList newerAudio()
{
    return { QStringLiteral("ogg"), QStringLiteral("opus"), QStringLiteral("flac"), QStringLiteral("m4a"),
        QStringLiteral("aac") };
}
inline QStringList newerVideo()
{
    return { QStringLiteral("mp4"), QStringLiteral("mkv"), QStringLiteral("webm") };
}

// "Name (*.a *.b)" for a file dialog.
inline QString nameFilter(const QString &name, const QStringList &extensions)
{
    QStringList patterns;
    for (const QString &extension : extensions)
        patterns << QStringLiteral("*.") + extension;
    return name + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

inline QString allFilesFilter()
{
    return QStringLiteral("Todos os arquivos (*)");
}

// The player's open dialog: audio and video, audio, video, anything.
inline QString playerOpenFilter()
{
    const QStringList audio = olderAudio() + newerAudio();
    const QStringList video = olderVideo() + newerVideo();
    return QStringList { nameFilter(QStringLiteral("Audio e Video"),
                             olderAudio() + olderVideo() + newerAudio() + newerVideo()),
        nameFilter(QStringLiteral("Audio"), audio), nameFilter(QStringLiteral("Video"), video),
        allFilesFilter() }
        .join(QStringLiteral(";;"));
}
} // namespace MediaFormats
