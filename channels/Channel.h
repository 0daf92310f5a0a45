#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

// The kind of a stream address, as the engine will meet it.
enum class AddressKind {
    Mms, // mms://host[:port]/path
    Asx, // http address of an ASX playlist (path ends ".asx")
    Http, // http address that serves the stream itself
    Script, // http address of a server script with a query (.aspx, .cgi, .php or a bare query)
};

// Font of a text-faced button; an empty family means the window font.
struct TextFace {
    QString family;
    int pixelSize = 11;
    bool bold = false;
    bool italic = false;
    QColor colour; // invalid = window text colour
};

// One entry of the built-in catalogue: a channel button on a page panel, or a
// channel item of a popup menu.
struct Channel {
    QString control; // "SpeedButton2", "rance1", "Previsodotempo1"
    QString container; // page panel ("PanelBrasil", ...) or menu ("PopupMenu2", ...)
    int slot = 0; // 1..8 on a page; 1-based position in its menu
    bool logo = false; // logo face: the button shows the logo, no text
    QString caption; // text-face caption of a button, or the menu item's caption
    TextFace font; // text-faced buttons only
    QString tooltip; // buttons; empty for menu items
    QString titleSuffix;
    QString address;
    AddressKind kind = AddressKind::Mms;
    QString alternateList; // e.g. "ListBoxBandSports", or empty
    bool switchesReconnectionOff = false;

    QString logoResource() const; // ":/logos/<control>.png" for logo faces, else empty
    bool isMenuItem() const { return container.startsWith(QLatin1String("PopupMenu")); }
};

// The ordered alternate addresses the reconnection system rotates through.
// The rotation position belongs to whoever rotates, not to the catalogue.
struct AlternateList {
    QString listBox;
    QString titleSuffix;
    QStringList entries;
};

// A page button that opens a channel menu: SpeedButton20, SpeedButton34, SpeedButton98.
struct MenuButton {
    QString control;
    QString container;
    int slot;
    bool logo;
    QString caption;
    QString tooltip;
    QString menu;
    int verticalOffset; // -415, -165, +22
    TextFace font; // text-faced buttons only

    QString logoResource() const;
};

// A tab of TabControl1; secondPage is empty for one-page categories.
struct CategoryTab {
    int index;
    QString caption;
    QString firstPage;
    QString secondPage;
};

// Resource path of a control's logo bitmap.
QString logoResourceFor(const QString &control);
