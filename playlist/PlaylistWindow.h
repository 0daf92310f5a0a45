#pragma once

#include "player/PlaylistNavigation.h"

#include <QStringList>
#include <QWidget>
#include <memory>

class PlaylistPlayback;
class PlaylistListBox;
class PlaylistStore;
class QLabel;
class QLineEdit;

// The playlist window "Lumivortex Playlist": a list of display names whose
// file paths live in the playlist store, with adding, loading, saving,
// clearing, deleting, reordering, playing and searching.
//
// The public operations never throw: the swallowing ones end silently, the
// others show the failure in one error box.
class PlaylistWindow : public QWidget, public PlaylistNavigation
{
    Q_OBJECT

public:
    // It plays through playback; mainWindow is the window it opens beside.
    PlaylistWindow(PlaylistPlayback &playback, const QWidget *mainWindow, QWidget *parent = nullptr);
    ~PlaylistWindow() override;

    // --- what the transport asks (PlaylistNavigation) ---
    // Play the current item; errors swallowed.
    void play() override;
    // Next (the current item never moves past the last); errors swallowed.
    void next() override { playNext(); }
    // Previous (the first item plays again); errors swallowed.
    void previous() override { playPrevious(); }
    // The current item (-1 when none) and the number of items, for the
    // end-of-item test.
    int currentIndex() const override;
    int count() const override;
    void playNext();
    void playPrevious();
    // Files dropped on either window, full paths in the order delivered.
    // onPlaylistWindow tells where they were dropped; both places now refresh
    // "Total:", so it only documents the caller.
    void dropFiles(const QStringList &paths, bool onPlaylistWindow);
    // Media handed over from outside the window, added to the list shown (the
    // default store when none is open) without playing; errors in one box.
    void addEntries(const QStringList &paths);
    // Left edge 15 pixels left of the main window's, top unchanged, shown.
    void showBeside(QWidget *mainWindow);

    // --- the window's own handlers ---
    void openFiles();
    void saveList();
    void clearList();
    // A click shows the item's position and returns the list to multiple selection.
    void showClickedItem();
    void playClickedItem();
    void deleteSelectedItems();
    // Reordering: the item under the press moves to where the button is released.
    void startItemDrag();
    void finishItemDrag();
    // Typing in the search box selects the first item that begins with the text;
    // Enter plays it.
    void findTextChanged();
    void playOnEnter(QChar key);

    // Replaces the display list with the keys of a playlist file, which
    // becomes the current store.
    void loadPlaylist(const QString &fileName);
    // The current store (none until the first add or load).
    const PlaylistStore *store() const { return m_store.get(); }

signals:
    // Media starts from here: the main window shows its Player page.
    void playerPageWanted();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    enum class Move { None, Next, Previous };

    void buildControls();
    template <typename Body> void guarded(Body &&body) noexcept;
    void playCurrent(Move move);
    void startFile(const QString &path);
    void dropPaths(const QStringList &paths);
    void addToDefaultStore(const QStringList &paths);
    void addToCurrentStore(const QStringList &paths);
    void openDefaultStore();
    void appendItems(const QStringList &names);
    void refreshTotal();
    bool multipleSelection() const;
    void switchToMultiple();
    void switchToSingle();
    void setCurrent(int row);
    void showAndRaise();

    PlaylistPlayback &m_playback;
    std::unique_ptr<PlaylistStore> m_store;

    int m_dragFrom = -1;
    QString m_dragText;
    bool m_dragPending = false;

    QLabel *m_itemNumber = nullptr;
    QLabel *m_total = nullptr;
    QLineEdit *m_find = nullptr;
    PlaylistListBox *m_list = nullptr;
};
