#pragma once

#include "radio/RadioBrowserClient.h"
#include "radio/RadioStation.h"

#include <QWidget>

class ChannelPicks;
class LogoCache;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class RadioDirectory;
class RadioStationDelegate;

// "Rádios": stations of the community radio database, searched as one types
// (the database is asked after a short pause), narrowed to a country (Brasil
// first), a genre and a language, the most popular first. Each row shows the
// station's picture, name, codec and bitrate, country and tags. Enter or a
// double-click asks for the station to be played; "★ Favorito" marks it, as
// in "Canais".
class RadioWindow : public QWidget
{
    Q_OBJECT

public:
    RadioWindow(RadioDirectory &directory, ChannelPicks &picks, QWidget *parent = nullptr);

    // Rows show their pictures from this cache (not owned); without one, placeholders.
    void setLogoCache(LogoCache *logos);
    // The genres and languages the database offers (most stations first).
    void setFacets(RadioBrowserClient::Facet facet, const RadioFacets &facets);
    // The "search the program's radios" choice, as kept by the owner.
    void setBuiltInSearchChosen(bool chosen);

    int shownCount() const;
    bool playSelected();
    void toggleFavourite();

    // The countries offered first, by code; "" is any country.
    static QVector<QPair<QString, QString>> countries();

signals:
    void playRequested(const RadioStation &station);
    void favouriteToggled(const RadioStation &station, bool favourite);
    void builtInSearchChosen(bool chosen);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const RadioStation *selectedStation() const;
    void showFavouriteMarks();
    void showSelection();

    RadioDirectory &m_directory;
    ChannelPicks &m_picks;
    QLineEdit *m_search = nullptr;
    QComboBox *m_country = nullptr;
    QComboBox *m_genre = nullptr;
    QComboBox *m_language = nullptr;
    QListView *m_stations = nullptr;
    RadioStationDelegate *m_rows = nullptr;
    QPushButton *m_favourite = nullptr;
    QPushButton *m_play = nullptr;
    QLabel *m_status = nullptr;
    QCheckBox *m_builtInSearch = nullptr;
};
