#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

// Whether the machine is on a metered connection (a mobile hotspot, a data
// plan), as NetworkManager says on the system bus; work that only saves the
// user a click later (checking sources in the background) waits while it is.
// NetworkManager's answer arrives asynchronously and is kept current by its
// change signals; without NetworkManager the connection counts as unmetered.
class MeteredNetwork : public QObject
{
    Q_OBJECT

public:
    static QString serviceName(); // "org.freedesktop.NetworkManager"
    static QString objectPath(); // "/org/freedesktop/NetworkManager"

    explicit MeteredNetwork(
        const QDBusConnection &bus = QDBusConnection::systemBus(), QObject *parent = nullptr);

    bool isMetered() const { return m_metered; }
    // NetworkManager's "Metered" value: 1 yes, 3 guessed yes are metered.
    static bool meteredValue(uint value) { return value == 1 || value == 3; }

signals:
    void meteredChanged(bool metered);

private slots:
    void propertiesChanged(
        const QString &interface, const QVariantMap &changed, const QStringList &invalidated);

private:
    void ask();
    void take(uint value);

    QDBusConnection m_bus;
    bool m_metered = false;
};
