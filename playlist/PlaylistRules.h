#pragma once

#include <QString>
#include <QStringList>

// Text rules of the playlist: names shown for files, which files count as
// music, video or playlist, where the store lives, the list search.
namespace PlaylistRules
{

// The file name without its folder and without its last extension
// ("/m/Banda - Faixa.mp3" -> "Banda - Faixa", "a.b.mp3" -> "a.b").
QString displayName(const QString &path);
// The file name's text from its last "." (dot included); empty without one.
QString extension(const QString &path);

// ".mp3", ".wav", ".wma" and the newer audio formats (".ogg", ".flac" ...),
// letter case ignored.
bool isMusicFile(const QString &path);
// ".mpg", ".mpeg", ".wmv", ".asf" in lower case only, as the older player had
// it, and the newer video formats (".mp4", ".mkv", ".webm") in any case.
bool isVideoFile(const QString &path);
// ".lpl", letter case ignored.
bool isPlaylistFile(const QString &path);

// The name filters of "Abrir": music first, then playlists, then any file.
QStringList openDialogFilters();

// Where "Salvar" writes: the chosen name with ".lpl" appended, unless it
// already ends in ".lpl" in any letter case.
QString savedPlaylistPath(const QString &chosen);

// The per-user data folder that holds the store.
QString dataFolder();
// The default store "Default.lpl" in the data folder.
QString defaultStorePath();
// A store left by an older version under the name "Default.ini".
QString leftoverStorePath();

// Index of the first item that begins with text (letter case ignored),
// searching from the second item to the end and then the first; -1 when none
// matches or the text is empty.
int findByPrefix(const QStringList &items, const QString &text);

} // namespace PlaylistRules
