#include "lists/SourceChoices.h"

#include <QDateTime>
#include <QStandardPaths>

namespace
{
const QString KeysKey = QStringLiteral("Fontes/canais");
const QString AddressesKey = QStringLiteral("Fontes/enderecos");
const QString DailyCheckKey = QStringLiteral("Verificacao/ultima-diaria");
} // namespace

QString SourceChoices::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        + QStringLiteral("/source-choices.ini");
}

SourceChoices::SourceChoices(const QString &path, QObject *parent, int maxChoices)
    : QObject(parent)
    , m_settings(path, QSettings::IniFormat)
    , m_maxChoices(maxChoices)
{
    const QStringList keys = m_settings.value(KeysKey).toStringList();
    const QStringList addresses = m_settings.value(AddressesKey).toStringList();
    // Two lists edited by hand may disagree in length: only whole pairs are kept.
    for (int i = 0; i < keys.size() && i < addresses.size(); ++i) {
        if (keys[i].isEmpty() || addresses[i].isEmpty() || m_keys.contains(keys[i]))
            continue;
        m_keys.append(keys[i]);
        m_addresses.append(addresses[i]);
    }
    while (m_keys.size() > m_maxChoices) {
        m_keys.removeFirst();
        m_addresses.removeFirst();
    }
}

QString SourceChoices::preferred(const QString &channelKey) const
{
    const qsizetype at = m_keys.lastIndexOf(channelKey);
    return at < 0 ? QString() : m_addresses.at(at);
}

void SourceChoices::setPreferred(const QString &channelKey, const QString &address)
{
    if (channelKey.isEmpty() || address.isEmpty())
        return;
    const qsizetype at = m_keys.indexOf(channelKey);
    if (at >= 0 && at == m_keys.size() - 1 && m_addresses.at(at) == address)
        return;
    if (at >= 0) {
        m_keys.removeAt(at);
        m_addresses.removeAt(at);
    }
    m_keys.append(channelKey);
    m_addresses.append(address);
    while (m_keys.size() > m_maxChoices) {
        m_keys.removeFirst();
        m_addresses.removeFirst();
    }
    write();
    emit changed(channelKey);
}

QDateTime SourceChoices::lastDailyCheck() const
{
    return m_settings.value(DailyCheckKey).toDateTime();
}

void SourceChoices::setLastDailyCheck(const QDateTime &when)
{
    m_settings.setValue(DailyCheckKey, when.toUTC());
    m_settings.sync();
}

void SourceChoices::write()
{
    m_settings.setValue(KeysKey, m_keys);
    m_settings.setValue(AddressesKey, m_addresses);
    m_settings.sync();
}
