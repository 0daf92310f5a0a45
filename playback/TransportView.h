#pragma once

#include "player/Transport.h"

#include <QObject>

class PlayerPanel;
class QWidget;

// The Player page's transport buttons and position display, drawn from the
// transport: play/pause blue, lime or red as it is stopped, playing or paused,
// repeat and the held scan buttons lime while on. Presses go to the
// transport; while a kept live channel is behind live, "Ao vivo" shows beside
// the time text, and a press on the position bar moves within the buffer. The open dialog is this view's (it
// chooses the file the transport opens). Lyrics, the playlist and the mini player are requests for the
// program to carry out.
class TransportView : public QObject, public MediaFileChooser
{
    Q_OBJECT

public:
    TransportView(PlayerPanel &panel, Transport &transport, QWidget &window);

    // The filter of the open dialog.
    static QString openDialogFilter();
    QString chooseMediaFile() override;

signals:
    // The now-playing name or its symbol was clicked: look up the song's lyrics.
    void lyricsSearchRequested(const QString &song);
    void playlistRequested();
    void miniPlayerToggleRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showMode();
    void showScanning();
    void showDisplay();
    void showLive();
    void seekInBarAt(int x);

    PlayerPanel &m_panel;
    Transport &m_transport;
    QWidget &m_window;
};
