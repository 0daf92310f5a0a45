#pragma once

#include "channels/Channel.h"

#include <QHash>
#include <QVector>

// The program's fixed table of channels, channel-menu buttons, category tabs
// and alternate-address lists. builtIn() hands out a copy; tests and user
// lists may change addresses in their copy without touching anyone else's.
//
// Pointers returned by the lookups stay valid until the catalogue is next
// modified (setAddress, setAlternateEntries, addAlternateList) or destroyed: keep the catalogue
// in a variable, not builtIn()'s temporary, while holding one.
class ChannelCatalogue
{
public:
    static ChannelCatalogue builtIn();

    // "Lumivortex TV - " + titleSuffix: the window title a tune sets.
    static QString windowTitleFor(const Channel &c);
    static QString windowTitlePrefix();

    const QVector<Channel> &channels() const & { return m_channels; } // 101, in catalogue order
    QVector<Channel> channels() const && { return m_channels; } // safe in a range-for over builtIn()
    QVector<Channel> channelsIn(const QString &container) const; // sorted by slot
    const Channel *byControl(const QString &control) const; // nullptr if none
    const Channel *byWindowTitle(const QString &title) const; // nullptr if none

    const QVector<AlternateList> &alternateLists() const & { return m_lists; } // 15 built in
    QVector<AlternateList> alternateLists() const && { return m_lists; }
    const AlternateList *alternateList(const QString &listBox) const; // nullptr if none
    // The list of the channel whose window title is exactly windowTitle, if it has one.
    const AlternateList *alternateListForTitle(const QString &windowTitle) const;

    const QVector<MenuButton> &menuButtons() const & { return m_menuButtons; }
    QVector<MenuButton> menuButtons() const && { return m_menuButtons; }
    const MenuButton *menuButton(const QString &control) const; // nullptr if none

    // The 8 tabs of TabControl1, index 0..7.
    static const QVector<CategoryTab> &tabs();

    // Unknown names are ignored.
    void setAddress(const QString &control, const QString &address);
    void setAlternateEntries(const QString &listBox, const QStringList &entries);
    // Gives the channel named by control a list of its own; false (and nothing
    // changes) when it already has one or listBox is taken.
    bool addAlternateList(const QString &control, const QString &listBox, const QStringList &entries);

private:
    ChannelCatalogue() = default;
    void index();

    QVector<Channel> m_channels;
    QVector<AlternateList> m_lists;
    QVector<MenuButton> m_menuButtons;
    QHash<QString, int> m_byControl;
    QHash<QString, int> m_byTitleSuffix;
    QHash<QString, int> m_listByBox;
};
