#pragma once

#include "radio/RadioStation.h"

#include <QAbstractListModel>
#include <QSet>
#include <QStringList>
#include <QVector>

// The stations a search found, as "Rádios" lists them: the most popular
// first (clicks, then votes), stations the database found broken left out,
// narrowed at once, before the database has answered, by what is typed (every
// word, case and accents ignored) and by the chosen country, tag and language.
class RadioSearchModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        UuidRole = Qt::UserRole + 1,
        FaviconRole, // address of the station's picture
        FormatRole, // "MP3 128 kbps"
        CountryRole, // "BR"
        TagsRole, // "pop, rock"
        FavouriteRole, // bool
    };

    explicit RadioSearchModel(QObject *parent = nullptr);

    void setStations(const RadioStations &stations);
    void setNameFilter(const QString &typed);
    void setCountryFilter(const QString &countryCode); // empty: any
    void setTagFilter(const QString &tag);
    void setLanguageFilter(const QString &language);
    void setFavourites(const QSet<QString> &uuids);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The shown station of row; nullptr outside.
    const RadioStation *station(int row) const;
    int rowOf(const QString &uuid) const;
    int allCount() const { return int(m_all.size()); }

private:
    bool passes(int i) const;
    void refilter();

    RadioStations m_all; // sorted, broken ones out
    QVector<QString> m_folded; // names, folded, beside m_all
    QVector<int> m_shown; // indexes into m_all
    QStringList m_words;
    QString m_country;
    QString m_tag;
    QString m_language;
    QSet<QString> m_favourites;
};
