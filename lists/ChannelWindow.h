#pragma once

#include "lists/ListChannels.h"

#include <QVector>
#include <QWidget>

class ChannelPicks;
class ChannelRowNotes;
class QAction;
class ListChannelFilter;
class ListChannelModel;
class LogoCache;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPushButton;
class QStyledItemDelegate;

// "Canais": every channel of every list, searched as one types (case and
// accents ignored), narrowed to a group, "Favoritos" or "Recentes". Enter or
// a double-click asks for the channel to be tuned.
class ChannelWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ChannelWindow(ChannelPicks &picks, QWidget *parent = nullptr);

    void setChannels(const ListChannels &channels);
    int shownCount() const;
    // The channels as shown (search, group and picks applied), by row; a row
    // out of range gives an empty channel.
    ListChannel shownAt(int row) const;
    // The row showing the channel with this address; -1 when none does.
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

    ChannelPicks &m_picks;
    ListChannelModel *m_model = nullptr;
    ListChannelFilter *m_filter = nullptr;
    QLineEdit *m_search = nullptr;
    QListWidget *m_groups = nullptr;
    QListView *m_channels = nullptr;
    QStyledItemDelegate *m_rows = nullptr;
    QPushButton *m_favourite = nullptr;
    QLabel *m_count = nullptr;
    QHBoxLayout *m_columns = nullptr;
};
