#pragma once

#include <QKeySequence>
#include <QList>
#include <QMenu>
#include <QString>

class ChannelCatalogue;
class ChannelStrip;

// The main window's context menu: the screen modes, the features it opens,
// the catalogue's menu channels, and the sections features add. The window
// connects the items.
class ContextMenu : public QMenu
{
    Q_OBJECT

public:
    // An item of a section added by a feature.
    struct Item {
        const char *objectName;
        QString caption;
        QKeySequence shortcut;
    };
    struct Items {
        QAction *normal = nullptr;
        QAction *clean = nullptr;
        QAction *fullScreen = nullptr;
        QAction *alwaysOnTop = nullptr;
        QAction *browser = nullptr;
        QAction *lyrics = nullptr;
        QAction *videos = nullptr;
        QAction *game = nullptr;
        QAction *interrupt = nullptr;
        QAction *options = nullptr;
        QAction *hide = nullptr;
    };

    // The strip makes the channel items; the menu is the window's child.
    ContextMenu(const ChannelCatalogue &catalogue, ChannelStrip &strip, QWidget &window);

    const Items &items() const { return m_items; }
    // A section after "Sleep Timer e Opções", also reachable by its
    // shortcuts with the menu closed.
    QList<QAction *> addSection(const QList<Item> &items);

private:
    QWidget &m_window;
    Items m_items;
};
