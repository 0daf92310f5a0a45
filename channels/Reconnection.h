#pragma once

#include "channels/AlternateAddressLists.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>

class MediaEngine;
#include <QAbstractButton>
class QTabBar;
class QTimer;
class QWidget;

struct ProgramState;

// Watches the engine's status: decorates the window title, marks a stream
// that went to the ready status as congested, offers once per tune to switch
// the reconnection system on, and while it is on retries every 1.2 s,
// rotating through the channel's alternate addresses.
class Reconnection : public QObject
{
    Q_OBJECT

public:
    Reconnection(MediaEngine &engine, ProgramState &state, QWidget &window, QTabBar &tabs, QTimer &tryAgain,
        QObject *parent);

    void setAlternateLists(AlternateAddressLists *lists) { m_lists = lists; }
    void setReconnectOption(QAbstractButton *option) { m_option = option; }
    // The full stop of the stop button, and setting the play button blue.
    std::function<void()> pressStop;
    std::function<void()> showPlayButtonStopped;

    void engineStatusChanged();
    void retryDroppedStream();
    void interruptTransmission();

    static QString questionText();
    // What a stream refused for its certificate shows, once, in a message box.
    static QString certificateRefusedText();
    static bool isReadyStatus(const QString &status);
    static bool isStopStatus(const QString &status);

private:
    void askToReconnect();
    // A stream refused for its certificate: said in the title, told once per
    // channel, and the channel's next address not yet refused is tried.
    void certificateRefused();
    void moveOnFromRefusedAddress(const QString &channelTitle);

    MediaEngine &m_engine;
    ProgramState &m_state;
    QWidget &m_window;
    QTabBar &m_tabs;
    QTimer &m_tryAgain;
    QPointer<AlternateAddressLists> m_lists;
    QPointer<QAbstractButton> m_option;
    bool m_handlingStop = false;
    QString m_refusedChannel; // the channel title the two below belong to
    QSet<QString> m_refusedAddresses;
    bool m_refusalTold = false;
};
