#pragma once

#include <QRect>
#include <QString>

class ChannelStrip;
class FlatButton;

// Places the buttons features add to the channel strip's pages: on the
// Sistema page and the Radio tab's second page each in the next free place,
// on the Player page where asked. The caller connects them.
class PageButtonPlacer
{
public:
    explicit PageButtonPlacer(ChannelStrip &strip);

    FlatButton *addSystemPageButton(const char *objectName, const QString &caption);
    FlatButton *addPlayerPageButton(const char *objectName, const QString &caption, const QRect &place);
    FlatButton *addRadioPageButton(const char *objectName, const QString &caption);

private:
    ChannelStrip &m_strip;
    int m_systemButtons = 0; // buttons added to the Sistema page
    int m_radioButtons = 0; // buttons added to the second Radio page
};
