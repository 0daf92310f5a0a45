#include "app/SingleInstance.h"

#include "net/AddressRule.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>

const QString SingleInstance::ServiceName = QStringLiteral("io.github.lumivortex.LumivortexTV");
const QString SingleInstance::ObjectPath = QStringLiteral("/io/github/lumivortex/LumivortexTV");
const QString SingleInstance::Interface = QStringLiteral("io.github.lumivortex.LumivortexTV");

namespace
{
// A running copy that hangs must not keep the new one waiting for ever.
constexpr int kHandOverTimeoutMs = 5000;
} // namespace

bool SingleInstance::handOver(const QStringList &items, const QDBusConnection &bus)
{
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(ServiceName).value())
        return false;
    QDBusMessage message
        = QDBusMessage::createMethodCall(ServiceName, ObjectPath, Interface, QStringLiteral("Open"));
    message << items;
    return bus.call(message, QDBus::BlockWithGui, kHandOverTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

SingleInstance *SingleInstance::listen(QObject *parent, const QDBusConnection &bus)
{
    if (!bus.isConnected())
        return nullptr;
    auto *instance = new SingleInstance(parent, bus);
    QDBusConnection connection(bus);
    if (!connection.registerObject(ObjectPath, instance, QDBusConnection::ExportScriptableSlots)
        || !connection.registerService(ServiceName)) {
        delete instance;
        return nullptr;
    }
    return instance;
}

SingleInstance::SingleInstance(QObject *parent, const QDBusConnection &bus)
    : QObject(parent)
    , m_bus(bus)
{
    setObjectName(QStringLiteral("SingleInstance"));
}

SingleInstance::~SingleInstance()
{
    if (m_bus.objectRegisteredAt(ObjectPath) == this) {
        m_bus.unregisterService(ServiceName);
        m_bus.unregisterObject(ObjectPath);
    }
}

void SingleInstance::Open(const QStringList &items)
{
    // Anything on the session bus may call, not only a copy of ours.
    QStringList admitted;
    for (const QString &item : items) {
        const QString playable
            = AddressRule::screened(item, AddressRule::Origin::UserChosen, "a second copy");
        if (!playable.isEmpty())
            admitted << playable;
    }
    if (admitted.isEmpty())
        return;
    // Played after the caller has its reply, so the new copy ends at once.
    QMetaObject::invokeMethod(
        this, [this, admitted] { emit openRequested(admitted); }, Qt::QueuedConnection);
}
