#pragma once

#include "browser/BrowserView.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class FlatButton;

// The browser window "Lumivortex Browser": one search box with three modes
// (address, video search, lyrics search) above the web view. The window keeps
// its page, history, mode and text for the whole run.
class BrowserWindow : public QWidget
{
    Q_OBJECT

public:
    explicit BrowserWindow(QWidget *parent = nullptr);
    ~BrowserWindow() override;

    // Player menu "Abrir Lumivortex Browser": shows the window centred on the main window.
    void showCentredOn(QWidget *mainWindow);
    // The same for a main window in another process: its centre is all that is known.
    void showCentredAt(const QPoint &centre);
    // The mode labels; the Player menu's "Localizar Filmes e Videos" and
    // "Localizar Letras de Musicas" select theirs after showing the window.
    void selectBrowserMode();
    void selectVideosMode();
    void selectLyricsMode();
    // Now-playing label and lyrics icon: shows and raises the window, selects
    // "Modo Letras" without taking the focus, and searches for the text.
    void searchLyricsFor(const QString &nowPlayingText);

    // Replaces how the view is made; only before the window is first shown.
    void setViewFactory(BrowserViewFactory factory);
    // Null until the window has been shown once.
    BrowserView *view() const { return m_view; }

    void goBack();
    void goForward();
    void stopLoading();
    // The arrow button and Enter in the search box: opens the typed address or
    // searches for the text, by the selected mode.
    void go();

    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void selectMode(QLabel *active);
    void ensureView();
    void navigate(const QUrl &url);

    BrowserViewFactory m_viewFactory;
    // The window it was last centred on; lyrics searches open it there too.
    QPointer<QWidget> m_mainWindow;
    BrowserView *m_view = nullptr;
    QWidget *m_panel = nullptr;
    FlatButton *m_back = nullptr;
    FlatButton *m_forward = nullptr;
    FlatButton *m_stop = nullptr;
    FlatButton *m_go = nullptr;
    QLineEdit *m_searchBox = nullptr;
    QLabel *m_modeBrowser = nullptr;
    QLabel *m_modeVideos = nullptr;
    QLabel *m_modeLyrics = nullptr;
};
