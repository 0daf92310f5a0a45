#pragma once

#include "options/PowerOffService.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>
#include <QString>

class QDBusPendingCallWatcher;
class QWidget;

// Powers off through systemd-logind on the system bus
// (org.freedesktop.login1.Manager.PowerOff, interactive, so polkit may ask the
// user). The call is asynchronous: the GUI thread never waits for the answer.
class LogindPowerOff : public QObject, public PowerOffService
{
    Q_OBJECT

public:
    // Failure messages are shown over dialogParent (may be null).
    explicit LogindPowerOff(QWidget *dialogParent = nullptr, QObject *parent = nullptr);
    // With another connection; one that is not connected fails every request.
    LogindPowerOff(const QDBusConnection &bus, QWidget *dialogParent, QObject *parent = nullptr);

    void powerOff() override;

    // "Não foi possível desligar o computador: <reason>"
    static QString failureText(const QString &reason);

protected:
    // Called once per failed request, on the GUI thread. Shows a short
    // warning box that does not block; tests override it.
    virtual void reportFailure(const QString &reason);

private:
    void onReply(QDBusPendingCallWatcher *watcher);

    QDBusConnection m_bus;
    QPointer<QWidget> m_dialogParent;
};
