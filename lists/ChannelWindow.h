#pragma once

#include "lists/ListChannels.h"

#include <QVector>
#include <QWidget>

class ChannelPicks;
class ChannelSources;
class ListChannelFilter;
class ListChannelModel;
class LogoCache;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
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
    // Rows show their logos from this cache (not owned); without one, placeholders.
    void setLogoCache(LogoCache *logos);

    // Tunes the selected channel; false when none is selected.
    bool tuneSelected();
    void toggleFavourite();
    // "Fontes…" of the selected channel; null when none is selected.
    SourcesDialog *showSourcesOfSelected();
    // The rows' context menu, for other features to add their entries to.
    QMenu *rowMenu() const { return m_rowMenu; }

signals:
    void tuneRequested(const ListChannel &channel);

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
    QMenu *m_rowMenu = nullptr;
    QTimer *m_healthLater = nullptr;
    ChannelSources *m_sources = nullptr;
    SourcesDialog *m_sourcesDialog = nullptr;
    int m_sourcesChannel = -1; // the merged channel "Fontes…" shows
};
