#include "app/MediaOpener.h"

#include "base/ProgramState.h"
#include "base/SafeCall.h"
#include "engine/MediaEngine.h"
#include "net/AddressRule.h"
#include "playlist/PlaylistHost.h"
#include "playlist/PlaylistRules.h"
#include "playlist/PlaylistWindow.h"

#include <QFileInfo>

MediaOpener::MediaOpener(PlaylistHost &host)
    : m_host(host)
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
    if (m_playlist && taken.size() > 1)
        m_playlist->addEntries(taken.mid(1));
    return int(taken.size());
}

void MediaOpener::play(const QString &item)
{
    m_host.switchToPlayerTab();
    // A program playlist becomes the playlist window's list and plays from its first item.
    if (m_playlist && PlaylistRules::isPlaylistFile(item)) {
        m_playlist->loadPlaylist(item);
        m_playlist->play();
        return;
    }
    // Not a channel: a failure must not ask about reconnecting.
    m_host.state().ReconnectPromptSuppressed = true;
    m_host.setDisplayTickEnabled(false);
    m_host.engine().setUrl(item);
    m_host.performPlayForm();
    m_host.setNowPlayingFromUrl(item);
}
