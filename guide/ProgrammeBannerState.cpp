#include "guide/ProgrammeBannerState.h"

#include "base/SafeCall.h"

ProgrammeBannerState::ProgrammeBannerState(QObject *parent)
    : QObject(parent)
{
    m_hide.setParent(this); // found by tools, as every named timer is
    m_hide.setObjectName(QStringLiteral("ProgrammeBannerTimer"));
    m_hide.setSingleShot(true);
    m_hide.setInterval(ShownMs);
    connect(&m_hide, &QTimer::timeout, this, [this] { safeCall([this] { timeUp(); }); });
}

void ProgrammeBannerState::channelTuned()
{
    if (m_clean)
        hide();
    else
        show();
}

void ProgrammeBannerState::asked()
{
    if (m_shown)
        hide();
    else
        show();
}

void ProgrammeBannerState::nothingTuned()
{
    hide();
}

void ProgrammeBannerState::setCleanScreen(bool clean)
{
    m_clean = clean;
    if (clean)
        hide();
}

void ProgrammeBannerState::timeUp()
{
    hide();
}

void ProgrammeBannerState::show()
{
    m_hide.start();
    if (m_shown)
        return;
    m_shown = true;
    emit shownChanged(true);
}

void ProgrammeBannerState::hide()
{
    m_hide.stop();
    if (!m_shown)
        return;
    m_shown = false;
    emit shownChanged(false);
}
