#include "radio/RadioServerList.h"

#include "base/Logging.h"

#include <QDnsLookup>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <algorithm>

namespace
{
const QString kServersKey = QStringLiteral("servers/list");
const QString kLookedUpKey = QStringLiteral("servers/lookedUp");
} // namespace

RadioServerList::RadioServerList(QSettings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
}

RadioServerList::~RadioServerList() = default;

QStringList RadioServerList::wellKnownServers()
{
    return { QStringLiteral("https://de1.api.radio-browser.info"),
        QStringLiteral("https://nl1.api.radio-browser.info"),
        QStringLiteral("https://at1.api.radio-browser.info") };
}

QStringList RadioServerList::serversFromTargets(const QStringList &targets)
{
    static const QRegularExpression host(
        QStringLiteral("^[a-z0-9]([a-z0-9-]{0,61}[a-z0-9])?\\.api\\.radio-browser\\.info$"));
    QStringList servers;
    for (QString target : targets) {
        target = target.trimmed().toLower();
        if (target.endsWith(QLatin1Char('.')))
            target.chop(1);
        const QString address = QStringLiteral("https://") + target;
        if (host.match(target).hasMatch() && !servers.contains(address))
            servers << address;
    }
    return servers;
}

QStringList RadioServerList::servers() const
{
    QStringList list = serversFromTargets(m_settings.value(kServersKey).toStringList());
    if (list.isEmpty())
        list = wellKnownServers();
    std::shuffle(list.begin(), list.end(), *QRandomGenerator::global());
    return list;
}

void RadioServerList::refreshIfStale(const QDateTime &now)
{
    if (m_lookup)
        return;
    const QDateTime last = m_settings.value(kLookedUpKey).toDateTime();
    if (last.isValid() && last.secsTo(now) < RefreshSeconds && last <= now) {
        emit ready();
        return;
    }
    m_lookup = new QDnsLookup(QDnsLookup::SRV, QStringLiteral("_api._tcp.radio-browser.info"), this);
    connect(m_lookup, &QDnsLookup::finished, this, &RadioServerList::lookupFinished);
    m_lookup->lookup();
}

void RadioServerList::lookupFinished()
{
    QStringList targets;
    if (m_lookup->error() == QDnsLookup::NoError)
        for (const QDnsServiceRecord &record : m_lookup->serviceRecords())
            targets << record.target();
    else
        qCInfo(lumiRadio) << "radio server lookup failed:" << m_lookup->errorString();
    const QStringList found = serversFromTargets(targets);
    if (!found.isEmpty()) {
        m_settings.setValue(kServersKey, targets);
        m_settings.setValue(kLookedUpKey, QDateTime::currentDateTimeUtc());
    }
    m_lookup->deleteLater();
    m_lookup = nullptr;
    emit ready();
}
