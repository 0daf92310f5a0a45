#include "guide/GuideRegistry.h"

#include "base/PlainText.h"
#include "lists/ListAddress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

namespace
{

const QString OrderKey = QStringLiteral("order");
const QString NextKey = QStringLiteral("nextNumber");

QString cleanedName(const QString &name)
{
    return PlainText::line(name, GuideRegistry::MaxNameLength).simplified();
}

QString isoOrEmpty(const QDateTime &time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODate) : QString();
}

QDateTime fromIso(const QVariant &value)
{
    QDateTime time = QDateTime::fromString(value.toString(), Qt::ISODate);
    return time.isValid() ? time.toUTC() : QDateTime();
}

} // namespace

bool GuideSourceEntry::isRemote() const
{
    return ListAddress::isRemote(address);
}

bool GuideSourceEntry::needsRefresh(const QDateTime &now) const
{
    if (!isRemote())
        return false;
    return !lastRefresh.isValid() || lastRefresh.secsTo(now) >= GuideRegistry::RefreshAfterSecs
        || lastRefresh > now.addSecs(60) // a clock set back would otherwise hold the guide for ever
        || !lastStop.isValid() || now.secsTo(lastStop) < GuideRegistry::RefreshBeforeEndSecs;
}

QString GuideRegistry::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("guides.ini"));
}

QString GuideRegistry::defaultCacheFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("guides"));
}

QVector<SuggestedList> GuideRegistry::suggested()
{
    QFile file(QStringLiteral(":/guides/suggested-guides.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return SuggestedLists::parse(file.readAll());
}

GuideRegistry::GuideRegistry(const QString &path, const QString &cacheFolder, QObject *parent)
    : QObject(parent)
    , m_settings(path, QSettings::IniFormat)
    , m_cacheFolder(cacheFolder)
{
    for (const QString &id : m_settings.value(OrderKey).toStringList()) {
        if (id.isEmpty() || indexOf(id) >= 0 || m_guides.size() >= MaxGuides)
            continue;
        m_settings.beginGroup(id);
        GuideSourceEntry guide;
        guide.id = id;
        guide.name = cleanedName(m_settings.value(QStringLiteral("name")).toString());
        guide.address = m_settings.value(QStringLiteral("address")).toString();
        guide.addedByUser = m_settings.value(QStringLiteral("addedByUser")).toBool();
        guide.lists = m_settings.value(QStringLiteral("lists")).toStringList();
        guide.offsetHours = qBound(
            -MaxOffsetHours, m_settings.value(QStringLiteral("offsetHours")).toInt(), MaxOffsetHours);
        guide.lastRefresh = fromIso(m_settings.value(QStringLiteral("lastRefresh")));
        guide.lastError = m_settings.value(QStringLiteral("lastError")).toString();
        guide.channelCount = m_settings.value(QStringLiteral("channelCount")).toInt();
        guide.programmeCount = m_settings.value(QStringLiteral("programmeCount")).toInt();
        guide.firstStart = fromIso(m_settings.value(QStringLiteral("firstStart")));
        guide.lastStop = fromIso(m_settings.value(QStringLiteral("lastStop")));
        guide.etag = m_settings.value(QStringLiteral("etag")).toString().toLatin1();
        guide.lastModified = m_settings.value(QStringLiteral("lastModified")).toString();
        m_settings.endGroup();
        // A hand-edited file may hold what the program would never add: a
        // guide of no one, or a list's guide that is a local file.
        if (guide.address.isEmpty() || (!guide.addedByUser && (guide.lists.isEmpty() || !guide.isRemote())))
            continue;
        if (guide.name.isEmpty())
            guide.name = defaultNameFor(guide.address);
        m_guides.append(guide);
    }
}

int GuideRegistry::indexOf(const QString &id) const
{
    for (int i = 0; i < m_guides.size(); ++i) {
        if (m_guides[i].id == id)
            return i;
    }
    return -1;
}

int GuideRegistry::indexOfAddress(const QString &address) const
{
    for (int i = 0; i < m_guides.size(); ++i) {
        if (m_guides[i].address == address)
            return i;
    }
    return -1;
}

GuideSourceEntry GuideRegistry::guide(const QString &id) const
{
    const int index = indexOf(id);
    return index >= 0 ? m_guides[index] : GuideSourceEntry();
}

QString GuideRegistry::storePath(const QString &id) const
{
    return QDir(m_cacheFolder).filePath(id + QStringLiteral(".guide"));
}

QString GuideRegistry::copyPath(const QString &id) const
{
    return QDir(m_cacheFolder).filePath(id + QStringLiteral(".xmltv"));
}

QString GuideRegistry::sourcePath(const QString &id) const
{
    const GuideSourceEntry entry = guide(id);
    if (entry.id.isEmpty())
        return {};
    return entry.isRemote() ? copyPath(id) : entry.address;
}

QString GuideRegistry::checkAddress(const QString &text, QString *normalised)
{
    QString address = text.trimmed();
    if (address.isEmpty())
        return QStringLiteral("Informe o endereço do guia (http:// ou https://) ou escolha um arquivo.");
    if (address.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        address = QUrl(address).toLocalFile();
    if (ListAddress::isRemote(address)) {
        const QUrl url(address, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty())
            return QStringLiteral("Endereço inválido: %1").arg(address);
        if (ListAddress::isPlaceholder(address))
            return QStringLiteral(
                "Esse endereço é só um exemplo (domínio .example) e não leva a nenhum guia.");
    } else if (ListAddress::hasScheme(address)) {
        return QStringLiteral(
            "Só endereços http:// ou https:// ou arquivos deste computador podem ser guias.");
    } else if (!QDir::isAbsolutePath(address)) {
        return QStringLiteral("Informe o caminho completo do arquivo do guia (começando com /).");
    } else {
        const QFileInfo info(address);
        if (!info.isFile())
            return QStringLiteral("O arquivo do guia %1 não existe ou não é um arquivo comum.").arg(address);
        if (!info.isReadable())
            return QStringLiteral("Sem permissão para ler o guia %1.").arg(address);
        address = info.absoluteFilePath();
    }
    if (normalised)
        *normalised = address;
    return {};
}

QString GuideRegistry::defaultNameFor(const QString &address) const
{
    const QUrl url = ListAddress::isRemote(address) ? QUrl(address) : QUrl::fromLocalFile(address);
    const QString file = url.fileName();
    const QString host = url.host();
    const QString name = host.isEmpty() ? file
        : file.isEmpty()                ? host
                                        : file + QStringLiteral(" (") + host + u')';
    return cleanedName(name.isEmpty() ? address : name);
}

QString GuideRegistry::newId()
{
    for (int n = qMax(1, m_settings.value(NextKey, 1).toInt());; ++n) {
        const QString id = QStringLiteral("guide%1").arg(n);
        if (indexOf(id) < 0 && !m_settings.childGroups().contains(id) && !QFileInfo::exists(storePath(id))) {
            m_settings.setValue(NextKey, n + 1);
            return id;
        }
    }
}

QString GuideRegistry::add(const QString &name, const QString &addressOrPath, int offsetHours, QString *error)
{
    QString address;
    QString why = checkAddress(addressOrPath, &address);
    const int existing = why.isEmpty() ? indexOfAddress(address) : -1;
    if (existing >= 0 && m_guides[existing].addedByUser)
        why = QStringLiteral("Esse guia já está na relação, como \"%1\".").arg(m_guides[existing].name);
    else if (why.isEmpty() && existing < 0 && m_guides.size() >= MaxGuides)
        why = QStringLiteral("Já há %1 guias; remova algum antes de adicionar outro.").arg(MaxGuides);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return {};
    }
    const QString cleaned = cleanedName(name);
    if (existing >= 0) {
        // A guide a list already named becomes the user's own too.
        GuideSourceEntry &guide = m_guides[existing];
        guide.addedByUser = true;
        if (!cleaned.isEmpty())
            guide.name = cleaned;
        guide.offsetHours = qBound(-MaxOffsetHours, offsetHours, MaxOffsetHours);
        save(guide);
        emit guidesChanged();
        return guide.id;
    }
    GuideSourceEntry guide;
    guide.id = newId();
    guide.name = cleaned.isEmpty() ? defaultNameFor(address) : cleaned;
    guide.address = address;
    guide.addedByUser = true;
    guide.offsetHours = qBound(-MaxOffsetHours, offsetHours, MaxOffsetHours);
    m_guides.append(guide);
    save(guide);
    saveOrder();
    emit guidesChanged();
    return guide.id;
}

bool GuideRegistry::rename(const QString &id, const QString &name, QString *error)
{
    const int index = indexOf(id);
    const QString cleaned = cleanedName(name);
    if (index < 0 || cleaned.isEmpty()) {
        if (error)
            *error = index < 0 ? QStringLiteral("Esse guia não está mais na relação.")
                               : QStringLiteral("Dê um nome ao guia.");
        return false;
    }
    m_guides[index].name = cleaned;
    save(m_guides[index]);
    emit guidesChanged();
    return true;
}

bool GuideRegistry::setOffset(const QString &id, int offsetHours)
{
    const int index = indexOf(id);
    const int bounded = qBound(-MaxOffsetHours, offsetHours, MaxOffsetHours);
    if (index < 0 || m_guides[index].offsetHours == bounded)
        return false;
    m_guides[index].offsetHours = bounded;
    save(m_guides[index]);
    emit guidesChanged();
    return true;
}

void GuideRegistry::removeAt(int index)
{
    const QString id = m_guides[index].id;
    m_guides.removeAt(index);
    m_settings.remove(id);
    QFile::remove(storePath(id));
    QFile::remove(copyPath(id));
}

bool GuideRegistry::remove(const QString &id, QString *error)
{
    const int index = indexOf(id);
    QString why;
    if (index < 0)
        why = QStringLiteral("Esse guia não está mais na relação.");
    else if (!m_guides[index].lists.isEmpty())
        why = QStringLiteral("Esse guia vem do cabeçalho de uma lista de canais e volta com ela.");
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    removeAt(index);
    saveOrder();
    emit guidesChanged();
    return true;
}

void GuideRegistry::setListGuides(const QString &listId, const QStringList &addresses)
{
    QStringList wanted;
    for (const QString &text : addresses) {
        QString address;
        // Only the network: a list from outside never makes the program read a local file.
        if (!ListAddress::isRemote(text.trimmed()) || !checkAddress(text, &address).isEmpty()
            || wanted.contains(address))
            continue;
        wanted.append(address);
        if (wanted.size() >= MaxGuidesPerList)
            break;
    }
    bool changed = false;
    for (int i = int(m_guides.size()) - 1; i >= 0; --i) {
        GuideSourceEntry &guide = m_guides[i];
        if (!guide.lists.contains(listId) || wanted.contains(guide.address))
            continue;
        guide.lists.removeAll(listId);
        changed = true;
        if (guide.lists.isEmpty() && !guide.addedByUser)
            removeAt(i);
        else
            save(guide);
    }
    for (const QString &address : qAsConst(wanted)) {
        const int index = indexOfAddress(address);
        if (index >= 0) {
            if (!m_guides[index].lists.contains(listId)) {
                m_guides[index].lists.append(listId);
                save(m_guides[index]);
                changed = true;
            }
            continue;
        }
        if (m_guides.size() >= MaxGuides)
            break;
        GuideSourceEntry guide;
        guide.id = newId();
        guide.name = defaultNameFor(address);
        guide.address = address;
        guide.lists = QStringList { listId };
        m_guides.append(guide);
        save(guide);
        changed = true;
    }
    if (changed) {
        saveOrder();
        emit guidesChanged();
    }
}

void GuideRegistry::recordRead(const QString &id, const GuideReadSummary &summary)
{
    const int index = indexOf(id);
    if (index < 0)
        return;
    GuideSourceEntry &guide = m_guides[index];
    guide.lastRefresh = summary.when.toUTC();
    guide.channelCount = summary.channelCount;
    guide.programmeCount = summary.programmeCount;
    guide.firstStart = summary.firstStart.toUTC();
    guide.lastStop = summary.lastStop.toUTC();
    guide.lastError = summary.note;
    save(guide);
    emit guideStateChanged(id);
}

void GuideRegistry::recordFetch(const QString &id, const QByteArray &etag, const QString &lastModified)
{
    const int index = indexOf(id);
    if (index < 0)
        return;
    m_guides[index].etag = etag;
    m_guides[index].lastModified = lastModified;
    save(m_guides[index]);
}

void GuideRegistry::recordFailure(const QString &id, const QString &error)
{
    const int index = indexOf(id);
    if (index < 0)
        return;
    m_guides[index].lastError = error;
    save(m_guides[index]);
    emit guideStateChanged(id);
}

void GuideRegistry::save(const GuideSourceEntry &guide)
{
    m_settings.beginGroup(guide.id);
    m_settings.setValue(QStringLiteral("name"), guide.name);
    m_settings.setValue(QStringLiteral("address"), guide.address);
    m_settings.setValue(QStringLiteral("addedByUser"), guide.addedByUser);
    m_settings.setValue(QStringLiteral("lists"), guide.lists);
    m_settings.setValue(QStringLiteral("offsetHours"), guide.offsetHours);
    m_settings.setValue(QStringLiteral("lastRefresh"), isoOrEmpty(guide.lastRefresh));
    m_settings.setValue(QStringLiteral("lastError"), guide.lastError);
    m_settings.setValue(QStringLiteral("channelCount"), guide.channelCount);
    m_settings.setValue(QStringLiteral("programmeCount"), guide.programmeCount);
    m_settings.setValue(QStringLiteral("firstStart"), isoOrEmpty(guide.firstStart));
    m_settings.setValue(QStringLiteral("lastStop"), isoOrEmpty(guide.lastStop));
    m_settings.setValue(QStringLiteral("etag"), QString::fromLatin1(guide.etag));
    m_settings.setValue(QStringLiteral("lastModified"), guide.lastModified);
    m_settings.endGroup();
    m_settings.sync();
}

void GuideRegistry::saveOrder()
{
    QStringList order;
    for (const GuideSourceEntry &guide : qAsConst(m_guides))
        order.append(guide.id);
    m_settings.setValue(OrderKey, order);
    m_settings.sync();
}
