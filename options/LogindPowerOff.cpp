#include "options/LogindPowerOff.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QMessageBox>
#include <QWidget>

namespace
{
const QString Service = QStringLiteral("org.freedesktop.login1");
const QString Path = QStringLiteral("/org/freedesktop/login1");
const QString Interface = QStringLiteral("org.freedesktop.login1.Manager");
const QString Method = QStringLiteral("PowerOff");
constexpr int ReplyTimeoutMs = 5 * 60 * 1000;
} // namespace

LogindPowerOff::LogindPowerOff(QWidget *dialogParent, QObject *parent)
    : LogindPowerOff(QDBusConnection::systemBus(), dialogParent, parent)
{
}

LogindPowerOff::LogindPowerOff(const QDBusConnection &bus, QWidget *dialogParent, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_dialogParent(dialogParent)
{
}

void LogindPowerOff::powerOff()
{
    if (!m_bus.isConnected()) {
        const QString reason = m_bus.lastError().isValid()
            ? m_bus.lastError().message()
            : QStringLiteral("o barramento do sistema não está disponível");
        reportFailure(reason);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, Method);
    call << true; // interactive: polkit may ask for a password
    // The reply waits for polkit's password prompt, which can outlast D-Bus's
    // default 25 s timeout.
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, ReplyTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &LogindPowerOff::onReply);
}

QString LogindPowerOff::failureText(const QString &reason)
{
    return QStringLiteral("Não foi possível desligar o computador: %1").arg(reason);
}

void LogindPowerOff::reportFailure(const QString &reason)
{
    // Not modal: the box must not hold up the sleep timer or playback.
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Lumivortex"), failureText(reason),
        QMessageBox::Ok, m_dialogParent);
    box->setObjectName(QStringLiteral("PowerOffFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void LogindPowerOff::onReply(QDBusPendingCallWatcher *watcher)
{
    watcher->deleteLater();
    const QDBusPendingReply<> reply = *watcher;
    if (!reply.isError())
        return;
    const QDBusError error = reply.error();
    reportFailure(error.message().isEmpty() ? error.name() : error.message());
}
