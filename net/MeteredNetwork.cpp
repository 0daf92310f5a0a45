#include "net/MeteredNetwork.h"

#include "base/Logging.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace
{
const QString Interface = QStringLiteral("org.freedesktop.NetworkManager");
const QString Properties = QStringLiteral("org.freedesktop.DBus.Properties");
} // namespace

QString MeteredNetwork::serviceName()
{
    return Interface;
}

QString MeteredNetwork::objectPath()
{
    return QStringLiteral("/org/freedesktop/NetworkManager");
}

MeteredNetwork::MeteredNetwork(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(serviceName(), objectPath(), Properties, QStringLiteral("PropertiesChanged"), this,
        SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    ask();
}

void MeteredNetwork::ask()
{
    QDBusMessage get
        = QDBusMessage::createMethodCall(serviceName(), objectPath(), Properties, QStringLiteral("Get"));
    get << Interface << QStringLiteral("Metered");
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        const QDBusPendingReply<QDBusVariant> reply = *call;
        call->deleteLater();
        if (reply.isError()) {
            qCDebug(lumiNet) << "NetworkManager not asked:" << reply.error().message();
            return;
        }
        take(reply.value().variant().toUInt());
    });
}

void MeteredNetwork::propertiesChanged(
    const QString &interface, const QVariantMap &changed, const QStringList &invalidated)
{
    if (interface != Interface)
        return;
    const auto metered = changed.constFind(QStringLiteral("Metered"));
    if (metered != changed.constEnd())
        take(metered->toUInt());
    else if (invalidated.contains(QStringLiteral("Metered")))
        ask();
}

void MeteredNetwork::take(uint value)
{
    const bool metered = meteredValue(value);
    if (metered == m_metered)
        return;
    m_metered = metered;
    emit meteredChanged(metered);
}
