#include "lists/ChannelListRegistry.h"

#include "base/Logging.h"
#include "base/PlainText.h"
#include "lists/ListAddress.h"
#include "lists/M3uListReader.h"
#include "lists/OwnChannelList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace
{

const QString OrderKey = QStringLiteral("order");
const QString IdPrefix = QStringLiteral("list");
// Nine digits: more lists than anyone adds, and the next number never overflows.
constexpr int MaxIdDigits = 9;
const QString NextKey = QStringLiteral("nextNumber");
const QString SuggestionsKey = QStringLiteral("suggestionsAnswered");
const QString AcceptInvalidCertificatesKey = QStringLiteral("acceptInvalidCertificates");

QString cleanedName(const QString &name)
{
    QString cleaned;
    for (const QChar c : name)
        cleaned += c.isPrint() ? c : QChar(u' ');
    return cleaned.simplified();
}

} // namespace

bool ChannelListSource::isRemote() const
{
    return ListAddress::isRemote(address);
}

bool ChannelListSource::needsRefresh(const QDateTime &now) const
{
    return isRemote()
        && (!lastRefresh.isValid() || lastRefresh.secsTo(now) >= ChannelListRegistry::RefreshAfterSecs
            || lastRefresh > now.addSecs(60)); // a clock set back would otherwise hold the list for ever
}

QString ChannelListRegistry::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
        + QStringLiteral("/channel-lists.ini");
}

QString ChannelListRegistry::cacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/lists");
}

QString ChannelListRegistry::ownListId()
{
    return OwnChannelList::fileName();
}

bool ChannelListRegistry::isListId(const QString &id)
{
    const qsizetype digits = id.size() - IdPrefix.size();
    if (!id.startsWith(IdPrefix) || digits < 1 || digits > MaxIdDigits || id.at(IdPrefix.size()) == u'0')
        return false;
    for (qsizetype i = IdPrefix.size(); i < id.size(); ++i) {
        if (id.at(i) < u'0' || id.at(i) > u'9')
            return false;
    }
    return true;
}

ChannelListRegistry::ChannelListRegistry(const QString &path, QObject *parent)
    : QObject(parent)
    , m_settings(path, QSettings::IniFormat)
{
    for (const QString &id : m_settings.value(OrderKey).toStringList()) {
        if (id.isEmpty() || id == ownListId() || m_order.contains(id))
            continue;
        // An id names a file: one edited into a path could make a list be
        // written, or removed, anywhere the user can write.
        if (!isListId(id)) {
            if (!m_ignoredIds.contains(id))
                m_ignoredIds.append(id);
            continue;
        }
        if (!m_settings.value(id + QStringLiteral("/address")).toString().isEmpty())
            m_order.append(id);
    }
    if (!m_ignoredIds.isEmpty()) {
        QStringList shown;
        for (const QString &id : std::as_const(m_ignoredIds))
            shown << PlainText::line(id, 60);
        qCWarning(lumiLists).noquote()
            << QDir::toNativeSeparators(path) << ": left out the lists whose ids are not of the form list<N>:"
            << shown.join(QStringLiteral(", "));
    }
}

QVector<ChannelListSource> ChannelListRegistry::lists() const
{
    QVector<ChannelListSource> result;
    const QString own = OwnChannelList::path();
    if (QFileInfo::exists(own)) {
        ChannelListSource list;
        list.id = ownListId();
        list.name = ownListId();
        list.address = own;
        list.fixed = true;
        readState(list);
        result.append(list);
    }
    for (const QString &id : m_order) {
        ChannelListSource list;
        list.id = id;
        list.name = m_settings.value(id + QStringLiteral("/name")).toString();
        list.address = m_settings.value(id + QStringLiteral("/address")).toString();
        readState(list);
        result.append(list);
    }
    return result;
}

ChannelListSource ChannelListRegistry::list(const QString &id) const
{
    for (const ChannelListSource &list : lists()) {
        if (list.id == id)
            return list;
    }
    return {};
}

QString ChannelListRegistry::cachePath(const QString &id) const
{
    return isListId(id) ? cacheFolder() + QLatin1Char('/') + id + QStringLiteral(".m3u") : QString();
}

void ChannelListRegistry::readState(ChannelListSource &list) const
{
    m_settings.beginGroup(list.id);
    list.lastRefresh
        = QDateTime::fromString(m_settings.value(QStringLiteral("lastRefresh")).toString(), Qt::ISODate);
    list.etag = m_settings.value(QStringLiteral("etag")).toString().toLatin1();
    list.lastModified = m_settings.value(QStringLiteral("lastModified")).toString();
    list.channelCount = m_settings.value(QStringLiteral("channelCount")).toInt();
    list.lastError = m_settings.value(QStringLiteral("lastError")).toString();
    list.acceptInvalidCertificates = m_settings.value(AcceptInvalidCertificatesKey, false).toBool();
    m_settings.endGroup();
}

void ChannelListRegistry::writeState(const ChannelListSource &list)
{
    m_settings.beginGroup(list.id);
    if (!list.fixed) {
        m_settings.setValue(QStringLiteral("name"), list.name);
        m_settings.setValue(QStringLiteral("address"), list.address);
    }
    m_settings.setValue(QStringLiteral("lastRefresh"),
        list.lastRefresh.isValid() ? list.lastRefresh.toUTC().toString(Qt::ISODate) : QString());
    m_settings.setValue(QStringLiteral("etag"), QString::fromLatin1(list.etag));
    m_settings.setValue(QStringLiteral("lastModified"), list.lastModified);
    m_settings.setValue(QStringLiteral("channelCount"), list.channelCount);
    m_settings.setValue(QStringLiteral("lastError"), list.lastError);
    // Written only when chosen, so the lists of most users never show the key.
    if (list.acceptInvalidCertificates)
        m_settings.setValue(AcceptInvalidCertificatesKey, true);
    else
        m_settings.remove(AcceptInvalidCertificatesKey);
    m_settings.endGroup();
    m_settings.sync();
}

void ChannelListRegistry::saveOrder()
{
    m_settings.setValue(OrderKey, m_order);
    m_settings.sync();
}

QString ChannelListRegistry::checkAddress(const QString &text, QString *normalised)
{
    QString address = text.trimmed();
    if (address.isEmpty())
        return QStringLiteral("Informe o endereço da lista (http:// ou https://) ou escolha um arquivo.");
    if (address.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        address = QUrl(address).toLocalFile();
    else if (address.startsWith(QLatin1String("~/")))
        address = QDir::homePath() + address.mid(1);

    if (ListAddress::isRemote(address)) {
        const QUrl url(address, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty())
            return QString::fromUtf8("Endereço inválido: %1").arg(address);
        if (ListAddress::isPlaceholder(address))
            return QString::fromUtf8(
                "Esse endereço é só um exemplo (domínio .example) e não leva a nenhuma lista.");
        if (normalised)
            *normalised = address;
        return {};
    }
    if (ListAddress::hasScheme(address))
        return QString::fromUtf8(
            "Só endereços http:// ou https:// ou arquivos deste computador podem ser listas.");
    if (!QDir::isAbsolutePath(address))
        return QString::fromUtf8("Informe o caminho completo do arquivo (começando com /).");
    const QFileInfo info(address);
    if (!info.exists())
        return QString::fromUtf8("O arquivo %1 não existe.").arg(address);
    if (!info.isFile())
        return QString::fromUtf8("%1 não é um arquivo comum.").arg(address);
    if (!info.isReadable())
        return QString::fromUtf8("Sem permissão para ler %1.").arg(address);
    if (info.size() > M3uListReader::MaxBytes)
        return QString::fromUtf8("O arquivo %1 passa de %2 MiB.")
            .arg(address)
            .arg(M3uListReader::MaxBytes >> 20);
    if (normalised)
        *normalised = info.absoluteFilePath();
    return {};
}

QString ChannelListRegistry::checkName(const QString &name, const QString &exceptId, QString *cleaned) const
{
    *cleaned = cleanedName(name);
    if (cleaned->isEmpty())
        return QString::fromUtf8("O nome da lista não pode ficar vazio.");
    if (cleaned->size() > MaxNameLength)
        return QString::fromUtf8("Nome longo demais (até %1 letras).").arg(MaxNameLength);
    for (const ChannelListSource &list : lists()) {
        if (list.id != exceptId && list.name.compare(*cleaned, Qt::CaseInsensitive) == 0)
            return QString::fromUtf8("Já existe uma lista chamada \"%1\".").arg(list.name);
    }
    return {};
}

QString ChannelListRegistry::defaultNameFor(const QString &address) const
{
    QString base = ListAddress::isRemote(address)
        ? QUrl(address).fileName() + QStringLiteral(" (") + QUrl(address).host() + QLatin1Char(')')
        : QFileInfo(address).fileName();
    base = cleanedName(base).left(MaxNameLength - 4);
    if (base.isEmpty() || base.startsWith(QLatin1Char('(')))
        base = ListAddress::isRemote(address) ? QUrl(address).host().left(MaxNameLength - 4)
                                              : address.right(40);
    QString name = base;
    QString cleaned;
    for (int n = 2; !checkName(name, QString(), &cleaned).isEmpty() && n < 1000; ++n)
        name = base + QStringLiteral(" (%1)").arg(n);
    return name;
}

QString ChannelListRegistry::add(const QString &name, const QString &addressOrPath, QString *error)
{
    QString address;
    QString why = checkAddress(addressOrPath, &address);
    QString cleaned;
    if (why.isEmpty()) {
        for (const ChannelListSource &list : lists()) {
            if (list.address == address) {
                why = QString::fromUtf8("Essa lista já está na relação, como \"%1\".").arg(list.name);
                break;
            }
        }
    }
    if (why.isEmpty()) {
        if (cleanedName(name).isEmpty())
            cleaned = defaultNameFor(address);
        else
            why = checkName(name, QString(), &cleaned);
    }
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return {};
    }

    int number = m_settings.value(NextKey, 1).toInt();
    if (number < 1 || !isListId(IdPrefix + QString::number(number)))
        number = 1;
    QString id;
    constexpr int LastNumber = 999999999;
    for (int n = number;; n = n < LastNumber ? n + 1 : 1) {
        id = IdPrefix + QString::number(n);
        if (!m_settings.childGroups().contains(id) && !QFileInfo::exists(cachePath(id))) {
            m_settings.setValue(NextKey, n + 1);
            break;
        }
    }
    ChannelListSource list;
    list.id = id;
    list.name = cleaned;
    list.address = address;
    writeState(list);
    m_order.append(id);
    saveOrder();
    if (error)
        error->clear();
    emit listsChanged();
    return id;
}

bool ChannelListRegistry::rename(const QString &id, const QString &name, QString *error)
{
    QString why;
    QString cleaned;
    if (id == ownListId())
        why = QString::fromUtf8("A lista channels.m3u tem o nome do seu arquivo e não pode ser renomeada.");
    else if (!m_order.contains(id))
        why = QString::fromUtf8("Essa lista não existe mais.");
    else
        why = checkName(name, id, &cleaned);
    if (error)
        *error = why;
    if (!why.isEmpty())
        return false;
    m_settings.setValue(id + QStringLiteral("/name"), cleaned);
    m_settings.sync();
    emit listsChanged();
    return true;
}

bool ChannelListRegistry::remove(const QString &id, QString *error)
{
    QString why;
    if (id == ownListId())
        why = QString::fromUtf8(
            "A lista channels.m3u é lida enquanto o arquivo existir; apague ou renomeie o "
            "arquivo para deixar de usá-la.");
    else if (!m_order.contains(id))
        why = QString::fromUtf8("Essa lista não existe mais.");
    if (error)
        *error = why;
    if (!why.isEmpty())
        return false;
    m_order.removeAll(id);
    m_settings.remove(id);
    saveOrder();
    QFile::remove(cachePath(id));
    emit listsChanged();
    return true;
}

void ChannelListRegistry::recordRefresh(const QString &id, const QDateTime &when, const QByteArray &etag,
    const QString &lastModified, int channelCount)
{
    ChannelListSource list = this->list(id);
    if (list.id.isEmpty())
        return;
    list.lastRefresh = when.toUTC();
    list.etag = etag;
    list.lastModified = lastModified;
    list.channelCount = channelCount;
    list.lastError.clear();
    writeState(list);
    emit listStateChanged(id);
}

void ChannelListRegistry::recordRead(const QString &id, int channelCount)
{
    ChannelListSource list = this->list(id);
    if (list.id.isEmpty())
        return;
    list.channelCount = channelCount;
    list.lastError.clear();
    writeState(list);
    emit listStateChanged(id);
}

void ChannelListRegistry::recordFailure(const QString &id, const QString &error)
{
    ChannelListSource list = this->list(id);
    if (list.id.isEmpty())
        return;
    list.lastError = error;
    writeState(list);
    emit listStateChanged(id);
}

void ChannelListRegistry::setAcceptInvalidCertificates(const QString &id, bool accept)
{
    ChannelListSource list = this->list(id);
    if (list.id.isEmpty() || list.acceptInvalidCertificates == accept)
        return;
    list.acceptInvalidCertificates = accept;
    writeState(list);
    emit listStateChanged(id);
}

bool ChannelListRegistry::suggestionsAnswered() const
{
    return m_settings.value(SuggestionsKey, false).toBool();
}

void ChannelListRegistry::setSuggestionsAnswered(bool answered)
{
    m_settings.setValue(SuggestionsKey, answered);
    m_settings.sync();
}
