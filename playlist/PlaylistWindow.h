#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

class PlaylistHost;
class PlaylistListBox;
class FlatButton;
class PlaylistStore;
class QCheckBox;
class QLabel;
class QLineEdit;

// The playlist window "Lumivortex Playlist": a list of display names whose
// file paths live in the playlist store, with adding, loading, saving,
// clearing, deleting, reordering, playing and searching.
//
// The public operations never throw: the swallowing ones end silently, the
// others show the failure in one error box.
class PlaylistWindow : public QWidget
{
    Q_OBJECT

public:
    explicit PlaylistWindow(PlaylistHost &host, QWidget *parent = nullptr);
    ~PlaylistWindow() override;

    // --- pressed by the main window ---
    // Play the current item; errors swallowed.
    void SpeedButton5Click();
    // Next (the current item never moves past the last); errors swallowed.
    void SpeedButton6Click();
    // Previous (the first item plays again); errors swallowed.
    void SpeedButton4Click();
    // The current item (-1 when none) and the number of items, for the main
    // window's end-of-item test.
    int currentIndex() const;
    int count() const;
    // Files dropped on either window, full paths in the order delivered.
    // onPlaylistWindow tells where they were dropped; both places now refresh
    // "Total:", so it only documents the caller.
    void dropFiles(const QStringList &paths, bool onPlaylistWindow);
    // Left edge 15 pixels left of the main window's, top unchanged, shown.
    void showBeside(QWidget *mainWindow);

    // --- the window's own handlers ---
    void SpeedButton1Click(); // "Abrir"
    void SpeedButton2Click(); // "Salvar"
    void SpeedButton3Click(); // "Limpar"
    void ListBox1Click();
    void ListBox1DblClick();
    void ListBox1KeyDown(int key);
    void ListBox1MouseDown();
    void ListBox1MouseUp();
    void Edit1Change();
    void Edit1KeyPress(QChar key);

    // Replaces the display list with the keys of a playlist file, which
    // becomes the current store.
    void loadPlaylist(const QString &fileName);
    // The current store (none until the first add or load).
    const PlaylistStore *store() const { return m_store.get(); }

protected:
    // Dialogs and boxes, overridden by tests so that nothing blocks.
    // The chosen files in order; empty when cancelled.
    virtual QStringList runOpenDialog();
    // The chosen folder and name; empty when cancelled.
    virtual QString runSaveDialog();
    // True on OK.
    virtual bool confirm(const QString &text);
    // The general error box.
    virtual void showError(const QString &text);
    // Files that were refused while adding.
    virtual void showNotice(const QString &text);

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
    void openDefaultStore();
    void appendItems(const QStringList &names);
    void refreshTotal();
    bool multipleSelection() const;
    void switchToMultiple();
    void switchToSingle();
    void setCurrent(int row);
    void showAndRaise();

    PlaylistHost &m_host;
    std::unique_ptr<PlaylistStore> m_store;

    // Reordering by dragging.
    int DragFromIndex = -1;
    QString DragItemText;
    bool m_dragPending = false;

    FlatButton *SpeedButton1 = nullptr;
    FlatButton *SpeedButton2 = nullptr;
    FlatButton *SpeedButton3 = nullptr;
    FlatButton *SpeedButton4 = nullptr;
    FlatButton *SpeedButton5 = nullptr;
    FlatButton *SpeedButton6 = nullptr;
    FlatButton *SpeedButton7 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label7 = nullptr;
    QLineEdit *Edit1 = nullptr;
    PlaylistListBox *ListBox1 = nullptr;
};
