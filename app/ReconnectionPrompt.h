#pragma once

#include "player/Reconnection.h"

#include <QObject>

class QTabBar;
class QWidget;

// The reconnection's question and notice as the main window shows them:
// boxes over the window; the question never while the Webcams page shows
// (webcams come and go by nature).
class ReconnectionPrompt : public QObject, public ReconnectionDialogs
{
    Q_OBJECT

public:
    ReconnectionPrompt(QWidget &window, const QTabBar &tabs);

    bool mayAskToReconnect() const override;
    bool askToReconnect() override;
    void tellCertificateRefused() override;

private:
    QWidget &m_window;
    const QTabBar &m_tabs;
};
