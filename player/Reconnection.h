#pragma once

#include <QObject>
#include <QSet>
#include <QString>

class AlternateAddresses;
class ChannelTitle;
class MediaEngine;
class QTimer;
class SourceFailover;
class Transport;

// What the reconnection asks and tells the user; the window answers. It may
// refuse to be asked at all (the Webcams page is showing).
class ReconnectionDialogs
{
public:
    virtual ~ReconnectionDialogs() = default;
    virtual bool mayAskToReconnect() const = 0;
    // The question whether to switch the system on; true on "OK".
    virtual bool askToReconnect() = 0;
    // A stream was refused for its certificate (told once per channel).
    virtual void tellCertificateRefused() = 0;
};

// The reconnection system ("sistema Tenacor®"): watches the engine's state,
// shows it in the title (a ready state marks the channel as congested), runs
// the full stop on a stopped state, offers once per tune to switch itself on,
// and while on retries every 1.2 s, rotating through the alternate addresses
// of the channel the last channel title names. A stream refused for its
// certificate is no congestion: it is said in the title, told once per
// channel, and the channel's next address not yet refused is tried. A failure
// the failover takes (a channel with sources left) is none of its business.
class Reconnection : public QObject
{
    Q_OBJECT

public:
    Reconnection(MediaEngine &engine, ChannelTitle &title, Transport &transport,
        AlternateAddresses &alternates, SourceFailover &failover, QTimer &retryTimer,
        QObject *parent = nullptr);

    void setDialogs(ReconnectionDialogs *dialogs) { m_dialogs = dialogs; }

    // On exactly while the retry timer runs.
    bool isOn() const { return m_on; }
    void setOn(bool on);
    // While suppressed a ready state asks nothing. A tune holds it over its own
    // calls; asking sets it until the next tune; the playlist, the always-on-top
    // switch and closing set it too.
    bool promptSuppressed() const { return m_promptSuppressed; }
    void setPromptSuppressed(bool suppressed) { m_promptSuppressed = suppressed; }

    void engineStateChanged();
    // The retry timer's tick. Throws EngineError when an engine call fails.
    void retryDroppedStream();
    // "Interromper Transmissão": the full stop.
    void interruptTransmission();

    static QString questionText();
    static QString certificateRefusedText();

signals:
    void switchedOn(bool on);
    // A retry or a refused certificate moved the channel to another address.
    void sourceChanged(const QString &address);

private:
    void askToReconnect();
    void certificateRefused();
    void moveOnFromRefusedAddress(const QString &channelTitle);

    MediaEngine &m_engine;
    ChannelTitle &m_title;
    Transport &m_transport;
    AlternateAddresses &m_alternates;
    SourceFailover &m_failover;
    QTimer &m_retryTimer;
    ReconnectionDialogs *m_dialogs = nullptr;
    bool m_on = false;
    bool m_promptSuppressed = false;
    bool m_handlingStop = false;
    QString m_refusedChannel; // the channel title the two below belong to
    QSet<QString> m_refusedAddresses;
    bool m_refusalTold = false;
};
