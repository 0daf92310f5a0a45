#include "app/MediaOpener.h"

#include "app/MainWindow.h"
#include "base/SafeCall.h"
#include "desktop/OpenableMedia.h"
#include "net/AddressRule.h"
#include "player/Player.h"
#include "playlist/PlaylistRules.h"
#include "playlist/PlaylistWindow.h"

#include <QFileInfo>

MediaOpener::MediaOpener(Player &player, MainWindow &mainWindow, PlaylistWindow &playlist)
    : m_player(player)
    , m_mainWindow(mainWindow)
    , m_playlist(playlist)
{
}

QString MediaOpener::playable(const QString &item)
{
    const QString admitted
        = AddressRule::screened(item, AddressRule::Origin::UserChosen, "outside the window");
    // A local file comes back as an absolute path.
    if (admitted.startsWith(u'/') && !QFileInfo(admitted).isReadable())
        return QString();
    return admitted;
}

int MediaOpener::open(const QStringList &items)
{
    QStringList taken;
    for (const QString &item : items) {
        const QString resolved = playable(item);
        if (!resolved.isEmpty())
            taken << resolved;
    }
    if (taken.isEmpty())
        return 0;
    safeCall([&] { play(taken.constFirst()); });
    if (taken.size() > 1)
        m_playlist.addEntries(taken.mid(1));
    return int(taken.size());
}

void MediaOpener::play(const QString &item)
{
    m_mainWindow.switchToPlayerTab();
    // A program playlist becomes the playlist window's list and plays from its first item.
    if (PlaylistRules::isPlaylistFile(item)) {
        m_playlist.loadPlaylist(item);
        m_playlist.play();
        return;
    }
    m_player.playFromOutside(item);
}
