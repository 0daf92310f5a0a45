#include "playlist/PlaylistRules.h"

#include "base/MediaFormats.h"

#include <QStandardPaths>

namespace PlaylistRules
{

namespace
{

QString fileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool oneOf(const QString &ext, std::initializer_list<const char *> list, Qt::CaseSensitivity cs)
{
    for (const char *candidate : list) {
        if (ext.compare(QLatin1String(candidate), cs) == 0)
            return true;
    }
    return false;
}

// Whether the path ends in "." and one of extensions, letter case ignored.
bool hasExtension(const QString &path, const QStringList &extensions)
{
    const QString ext = extension(path);
    return ext.size() > 1 && extensions.contains(ext.mid(1), Qt::CaseInsensitive);
}

} // namespace

QString displayName(const QString &path)
{
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString extension(const QString &path)
{
    const QString name = fileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool isMusicFile(const QString &path)
{
    return oneOf(extension(path), { ".mp3", ".wav", ".wma" }, Qt::CaseInsensitive)
        || hasExtension(path, MediaFormats::newerAudio());
}

bool isVideoFile(const QString &path)
{
    return oneOf(extension(path), { ".mpg", ".mpeg", ".wmv", ".asf" }, Qt::CaseSensitive)
        || hasExtension(path, MediaFormats::newerVideo());
}

bool isPlaylistFile(const QString &path)
{
    return extension(path).compare(QLatin1String(".lpl"), Qt::CaseInsensitive) == 0;
}

QStringList openDialogFilters()
{
    return { MediaFormats::nameFilter(
                 QStringLiteral("Musica"), MediaFormats::olderAudio() + MediaFormats::newerAudio()),
        QStringLiteral("Lumivortex Playlist (*.lpl)"), MediaFormats::allFilesFilter() };
}

QString savedPlaylistPath(const QString &chosen)
{
    // Appending always would turn "lista.lpl" into "lista.lpl.lpl".
    if (chosen.endsWith(QLatin1String(".lpl"), Qt::CaseInsensitive))
        return chosen;
    return chosen + QLatin1String(".lpl");
}

QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString defaultStorePath()
{
    return dataFolder() + QLatin1String("/Default.lpl");
}

QString leftoverStorePath()
{
    return dataFolder() + QLatin1String("/Default.ini");
}

int findByPrefix(const QStringList &items, const QString &text)
{
    if (text.isEmpty() || items.isEmpty())
        return -1;
    const int count = int(items.size());
    for (int step = 0; step < count; ++step) {
        const int i = (step + 1) % count;
        if (items[i].startsWith(text, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

} // namespace PlaylistRules
