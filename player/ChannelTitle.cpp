#include "player/ChannelTitle.h"

#include "player/StatusText.h"

void ChannelTitle::setChannelTitle(const QString &title)
{
    m_lastChannelTitle = title;
    showText(title);
}

void ChannelTitle::showState(MediaEngine::State state, int bufferPercent)
{
    showText(isReadyState(state) ? m_lastChannelTitle + QStringLiteral(" Canal Congestionado!")
                                 : m_lastChannelTitle + QLatin1Char(' ') + statusText(state, bufferPercent));
}

void ChannelTitle::showText(const QString &text)
{
    m_shown = text;
    emit shownChanged(text);
}
