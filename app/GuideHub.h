#pragma once

#include "guide/GuideGridModel.h"
#include "guide/GuideRowNotes.h"
#include "guide/ProgrammeBanner.h"
#include "guide/ProgrammeBannerState.h"
#include "guide/TunedProgramme.h"

#include <QObject>
#include <QPointer>
#include <memory>

class ChannelListsHub;
class ChannelWindow;
class GuideChoices;
class GuideLibrary;
class GuideRegistry;
class GuideWindow;
class MainWindow;
class Player;

class QAction;
struct ListChannel;

// Where the programme guide shows: the rows and the selected channel's day
// in "Canais" with its "Escolher guia…", the banner over the video after a
// tune and on key I, and the "Guia de programação" window (context menu,
// Sistema page, Ctrl+G) whose channels tune as the lists' do.
class GuideHub : public QObject
{
    Q_OBJECT

public:
    GuideHub(MainWindow &main, Player &player, ChannelListsHub &lists, GuideLibrary &guides,
        GuideRegistry &registry, GuideChoices &choices);
    ~GuideHub() override;

    GuideWindow *showGuideWindow();
    GuideWindow *guideWindow() const { return m_window.get(); }
    GuideRowNotes &rowNotes() { return m_notes; }
    TunedProgramme &tuned() { return m_tuned; }
    ProgrammeBannerState &bannerState() { return m_bannerState; }
    ProgrammeBanner *banner() const { return m_banner; }
    // "Escolher guia…" for this channel: asks, over parent, and keeps the answer.
    void chooseGuideFor(const ListChannel &channel, QWidget *parent);

signals:
    // Once, when the guide window is first shown; its rows are grid's.
    void guideWindowMade(GuideWindow *window, const GuideGridModel *grid);

private:
    void addToChannelWindow(ChannelWindow *window);
    void channelTuned(const GuideChannelQuery &query, const QString &name);
    void loadedChanged();
    void fillGrid();

    MainWindow &m_main;
    Player &m_player;
    ChannelListsHub &m_lists;
    GuideLibrary &m_guides;
    GuideRegistry &m_registry;
    GuideChoices &m_choices;
    GuideRowNotes m_notes;
    TunedProgramme m_tuned;
    ProgrammeBannerState m_bannerState;
    QPointer<ProgrammeBanner> m_banner;
    QString m_tunedTitle; // the window title of the tune the banner speaks of
    GuideGridModel m_grid;
    bool m_gridStale = true;
    std::unique_ptr<GuideWindow> m_window;
};
