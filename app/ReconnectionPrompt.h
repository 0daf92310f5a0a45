#pragma once

#include "player/Reconnection.h"

#include <QObject>

class QTabBar;
class QWidget;

// The reconnection question as the main window asks it: a box over the
// window, never while the Webcams page shows (webcams come and go by nature).
class ReconnectionPrompt : public QObject, public ReconnectQuestion
{
    Q_OBJECT

public:
    ReconnectionPrompt(QWidget &window, const QTabBar &tabs);

    bool mayAskToReconnect() const override;
    bool askToReconnect() override;

private:
    QWidget &m_window;
    const QTabBar &m_tabs;
};
