#pragma once

#include <QStringList>

class MainWindow;
class Player;
class PlaylistWindow;

// Plays what comes from outside the window (command line, another copy, the
// desktop's player controls): the first item plays, the rest join the playlist.
class MediaOpener
{
public:
    MediaOpener(Player &player, MainWindow &mainWindow, PlaylistWindow &playlist);

    // Items are absolute local paths, file: URLs or network addresses, as the
    // address rule admits them from a source the user chose; anything else
    // (the engine's special protocols, devices, pipes, a file that is not
    // there) is left out, and logged. Returns how many were taken.
    int open(const QStringList &items);

    // The local path or address an item names; empty when it names nothing playable.
    static QString playable(const QString &item);

private:
    void play(const QString &item);

    Player &m_player;
    MainWindow &m_mainWindow;
    PlaylistWindow &m_playlist;
};
