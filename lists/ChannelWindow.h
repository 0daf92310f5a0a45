#pragma once

#include "lists/ListChannels.h"

#include <QVector>
#include <QWidget>

class ChannelPicks;
class ChannelRowNotes;
class ChannelSources;
class ListChannelFilter;
class ListChannelModel;
class LogoCache;
class QAction;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QStyledItemDelegate;
class QTimer;
class SourcesDialog;

// "Canais": every channel of every list, one row per channel however many
// sources it has, searched as one types (case and accents ignored), narrowed
// to a group, "Favoritos" or "Recentes", or to the channels on the air. Enter
// or a double-click asks for the channel to be tuned from its first source;
// "Fontes…" in a row's menu shows its sources to pick one or put one on top.
class ChannelWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ChannelWindow(ChannelPicks &picks, QWidget *parent = nullptr);

    void setChannels(const ListChannels &channels);
    // The merged channels, their ranked sources and what the checks found come
    // from here from now on (not owned; must outlive the window).
    void setSources(ChannelSources *sources);
    int shownCount() const;
    // The channels as shown (search, group and picks applied), by row, each as
    // its first-ranked source; a row out of range gives an empty channel.
    ListChannel shownAt(int row) const;
    // The row showing the channel with this source; -1 when none does.
    int shownRowOf(const QString &address) const;
    // Rows show their logos from this cache (not owned); without one, placeholders.
    void setLogoCache(LogoCache *logos);

    // Rows also say what these notes say of them (not owned); without, names only.
    void setRowNotes(ChannelRowNotes *notes);
    // A panel beside the list, told of the selected channel through currentChannelChanged.
    void setDetailPanel(QWidget *panel);
    // An entry of the rows' context menu; it acts on currentChannel().
    void addRowAction(QAction *action);
    // The selected channel; an empty one (no address) when none is.
    ListChannel currentChannel() const;

    // Tunes the selected channel; false when none is selected.
    bool tuneSelected();
    void toggleFavourite();
    // "Fontes…" of the selected channel; null when none is selected.
    SourcesDialog *showSourcesOfSelected();

signals:
    void tuneRequested(const ListChannel &channel);
    void currentChannelChanged(const ListChannel &channel);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showGroups();
    void showScope();
    void showCount();
    void repaintLogo(const QString &address);
    void showHealth();
    int selectedChannel() const;
    QVector<ListChannel> rankedSources(int channel) const;

    ChannelPicks &m_picks;
    ListChannelModel *m_model = nullptr;
    ListChannelFilter *m_filter = nullptr;
    QLineEdit *m_search = nullptr;
    QListWidget *m_groups = nullptr;
    QListView *m_channels = nullptr;
    QStyledItemDelegate *m_rows = nullptr;
    QPushButton *m_favourite = nullptr;
    QLabel *m_count = nullptr;
    QCheckBox *m_onAirOnly = nullptr;
    QTimer *m_healthLater = nullptr;
    ChannelSources *m_sources = nullptr;
    SourcesDialog *m_sourcesDialog = nullptr;
    int m_sourcesChannel = -1; // the merged channel "Fontes…" shows
    QHBoxLayout *m_columns = nullptr;
};
