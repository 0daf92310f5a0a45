#pragma once

#include "channels/ChannelCatalogue.h"

#include <QFrame>
#include <QHash>
#include <QPoint>
#include <QTabBar>
#include <functional>

class QMenu;
class FlatButton;

// The category tab row (TabControl1) with the buttons that sit on it.
class CategoryTabBar : public QTabBar
{
    Q_OBJECT

public:
    explicit CategoryTabBar(QWidget *parent);
};

// The bottom strip of the main window: the tab row, the category page panels
// with their channel buttons and page arrows, and the channel menus. It shows
// one category at a time and reports the channel the user picks.
class ChannelStrip : public QObject
{
    Q_OBJECT

public:
    // Builds every control as a child of window, at the start-up layout.
    ChannelStrip(const ChannelCatalogue &catalogue, QWidget *window);

    CategoryTabBar *tabControl() const { return m_tabs; }
    // A page panel by name ("PanelBrasil", "PanelMais", "PanelMediaPlayer", ...).
    QFrame *panel(const QString &name) const { return m_panels.value(name); }
    // The thirteen panels that share the strip's rectangle, in design order.
    QList<QFrame *> stripPanels() const;
    QMenu *menu(const QString &name) const { return m_menus.value(name); }

    // Shows the panels of tab t and hides the others; runs on a user's tab
    // change, not when the program sets the index.
    void showSelectedCategory();
    // Selects tab t without running the change handler.
    void selectTabQuietly(int t);
    // Where a channel-menu button opens its menu (top-left corner, screen).
    QPoint menuPosition(const MenuButton &button) const;
    void openChannelMenu(const QString &buttonName);

    // Adds a channel item to a menu the strip does not own (the main context menu).
    void addChannelAction(QMenu *menu, const Channel &channel);

signals:
    void channelChosen(const Channel &channel);
    // The Player tab was opened; the main window resets its title.
    void playerTabOpened();

private:
    void buildTabs();
    QFrame *addPanel(const QString &name);
    void addChannelButton(QFrame *panel, const Channel &channel);
    void addMenuButton(const MenuButton &button);
    void addPageArrows(const QString &firstPage, const QString &secondPage, const QStringList &names);
    void buildMenus();
    void turnPage(const QString &show, const QString &hide);

    ChannelCatalogue m_catalogue;
    QWidget *m_window;
    CategoryTabBar *m_tabs = nullptr;
    QHash<QString, QFrame *> m_panels;
    QList<QFrame *> m_panelOrder;
    QHash<QString, QMenu *> m_menus;
    QHash<QString, FlatButton *> m_menuButtons;
};
