#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

// One copy receives: a copy started with media to open hands them to the copy
// already running in the session, which plays them and comes to the front.
class SingleInstance : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.lumivortex.LumivortexTV")

public:
    static const QString ServiceName;
    static const QString ObjectPath;
    static const QString Interface;

    // True when a running copy took the items; false when none runs, there is
    // no bus, or it did not answer in time.
    static bool handOver(
        const QStringList &items, const QDBusConnection &bus = QDBusConnection::sessionBus());
    // Starts receiving for this session. nullptr when there is no bus or
    // another copy already receives (a second copy started without media).
    static SingleInstance *listen(
        QObject *parent, const QDBusConnection &bus = QDBusConnection::sessionBus());
    ~SingleInstance() override;

public slots:
    // Items the address rule refuses (from a source the user chose) are left
    // out; the rest are asked for, after the call has returned.
    Q_SCRIPTABLE void Open(const QStringList &items);

signals:
    void openRequested(const QStringList &items);

private:
    SingleInstance(QObject *parent, const QDBusConnection &bus);

    QDBusConnection m_bus;
};
