#include "radio/RadioSearchModel.h"

#include "base/PlainText.h"
#include "lists/ChannelNameRules.h"

#include <algorithm>

RadioSearchModel::RadioSearchModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void RadioSearchModel::setStations(const RadioStations &stations)
{
    beginResetModel();
    m_all.clear();
    m_folded.clear();
    for (const RadioStation &station : stations)
        if (station.lastCheckOk)
            m_all << station;
    std::stable_sort(m_all.begin(), m_all.end(), morePopular);
    m_folded.reserve(m_all.size());
    for (const RadioStation &station : std::as_const(m_all))
        m_folded << ChannelNameRules::folded(station.name);
    m_shown.clear();
    for (int i = 0; i < m_all.size(); ++i)
        if (passes(i))
            m_shown << i;
    endResetModel();
}

bool RadioSearchModel::passes(int i) const
{
    const RadioStation &station = m_all.at(i);
    if (!m_country.isEmpty() && station.countryCode.compare(m_country, Qt::CaseInsensitive) != 0)
        return false;
    if (!m_tag.isEmpty() && !station.tags.contains(m_tag, Qt::CaseInsensitive))
        return false;
    if (!m_language.isEmpty() && !station.language.contains(m_language, Qt::CaseInsensitive))
        return false;
    for (const QString &word : m_words)
        if (!m_folded.at(i).contains(word))
            return false;
    return true;
}

void RadioSearchModel::refilter()
{
    QVector<int> shown;
    for (int i = 0; i < m_all.size(); ++i)
        if (passes(i))
            shown << i;
    if (shown == m_shown)
        return;
    beginResetModel();
    m_shown = shown;
    endResetModel();
}

void RadioSearchModel::setNameFilter(const QString &typed)
{
    const QStringList words = ChannelNameRules::folded(typed).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words == m_words)
        return;
    m_words = words;
    refilter();
}

void RadioSearchModel::setCountryFilter(const QString &countryCode)
{
    if (countryCode == m_country)
        return;
    m_country = countryCode;
    refilter();
}

void RadioSearchModel::setTagFilter(const QString &tag)
{
    if (tag == m_tag)
        return;
    m_tag = tag;
    refilter();
}

void RadioSearchModel::setLanguageFilter(const QString &language)
{
    if (language == m_language)
        return;
    m_language = language;
    refilter();
}

void RadioSearchModel::setFavourites(const QSet<QString> &uuids)
{
    m_favourites = uuids;
    if (!m_shown.isEmpty())
        emit dataChanged(index(0), index(int(m_shown.size()) - 1), { FavouriteRole });
}

int RadioSearchModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

const RadioStation *RadioSearchModel::station(int row) const
{
    if (row < 0 || row >= m_shown.size())
        return nullptr;
    return &m_all.at(m_shown.at(row));
}

int RadioSearchModel::rowOf(const QString &uuid) const
{
    for (int row = 0; row < m_shown.size(); ++row)
        if (m_all.at(m_shown.at(row)).uuid == uuid)
            return row;
    return -1;
}

QVariant RadioSearchModel::data(const QModelIndex &index, int role) const
{
    const RadioStation *s = station(index.row());
    if (!s || index.column() != 0)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return PlainText::line(s->name);
    case Qt::ToolTipRole:
        return PlainText::tooltip(s->name + QLatin1Char('\n') + s->playAddress());
    case UuidRole:
        return s->uuid;
    case FaviconRole:
        return s->favicon;
    case FormatRole:
        return PlainText::line(s->formatText());
    case CountryRole:
        return PlainText::line(s->countryCode.isEmpty() ? s->country : s->countryCode);
    case TagsRole:
        return PlainText::line(s->tags.join(QStringLiteral(", ")));
    case FavouriteRole:
        return m_favourites.contains(s->uuid);
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> RadioSearchModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(UuidRole, "uuid");
    names.insert(FaviconRole, "favicon");
    names.insert(FormatRole, "format");
    names.insert(CountryRole, "country");
    names.insert(TagsRole, "tags");
    names.insert(FavouriteRole, "favourite");
    return names;
}
