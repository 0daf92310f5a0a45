// Whether the connection is metered, as a NetworkManager stand-in on the
// test's own session bus says it, and kept current by its change signal.
#include "net/MeteredNetwork.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>

class FakeNetworkManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.NetworkManager")
    Q_PROPERTY(uint Metered READ metered)

public:
    uint metered() const { return m_metered; }
    void setMetered(uint value)
    {
        m_metered = value;
        QDBusMessage changed = QDBusMessage::createSignal(MeteredNetwork::objectPath(),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"));
        changed << MeteredNetwork::serviceName()
                << QVariantMap { { QStringLiteral("Metered"), QVariant::fromValue(value) } } << QStringList();
        QDBusConnection::sessionBus().send(changed);
    }

private:
    uint m_metered = 4; // guessed not metered
};

class MeteredNetworkTest : public QObject
{
    Q_OBJECT

private slots:
    void noNetworkManagerMeansNotMetered()
    {
        const MeteredNetwork metered(QDBusConnection::sessionBus());
        QTest::qWait(200);
        QVERIFY(!metered.isMetered());
    }

    void meteredFollowsNetworkManager()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        FakeNetworkManager manager;
        QVERIFY(
            bus.registerObject(MeteredNetwork::objectPath(), &manager, QDBusConnection::ExportAllProperties));
        QVERIFY(bus.registerService(MeteredNetwork::serviceName()));
        manager.setMetered(1);
        MeteredNetwork metered(bus);
        QSignalSpy changed(&metered, &MeteredNetwork::meteredChanged);
        QTRY_VERIFY(metered.isMetered());
        manager.setMetered(2);
        QTRY_VERIFY(!metered.isMetered());
        manager.setMetered(3); // guessed metered (a phone's hotspot)
        QTRY_VERIFY(metered.isMetered());
        QCOMPARE(changed.count(), 3);
        bus.unregisterService(MeteredNetwork::serviceName());
        bus.unregisterObject(MeteredNetwork::objectPath());
    }
};

QTEST_GUILESS_MAIN(MeteredNetworkTest)
#include "meterednetwork_test.moc"
