#include "playback/VolumePanel.h"

#include "widgets/FlatButton.h"

#include <QFrame>
#include <QProgressBar>

VolumePanel::VolumePanel(QWidget *window)
    : QObject(window)
{
    setObjectName(QStringLiteral("VolumePanel"));
    PanelVolume = new QFrame(window);
    PanelVolume->setObjectName(QStringLiteral("PanelVolume"));
    PanelVolume->setFrameShape(QFrame::StyledPanel);
    PanelVolume->setAutoFillBackground(true);
    PanelVolume->setGeometry(488, 224, 49, 169);
    PanelVolume->hide();

    m_levelBar = new QProgressBar(PanelVolume);
    m_levelBar->setObjectName(QStringLiteral("ProgressBar1"));
    m_levelBar->setOrientation(Qt::Vertical);
    m_levelBar->setRange(0, 100);
    m_levelBar->setTextVisible(false);
    m_levelBar->setGeometry(8, 8, 17, 153);

    m_volumeUp
        = new FlatButton(QStringLiteral("SpeedButton17"), QStringLiteral("+"), PanelVolume, 24, 128, 17, 17);
    m_volumeUp->setAccessibleLabel(QStringLiteral("Aumentar volume"));
    m_volumeDown
        = new FlatButton(QStringLiteral("SpeedButton18"), QStringLiteral("-"), PanelVolume, 24, 144, 17, 17);
    m_volumeDown->setAccessibleLabel(QStringLiteral("Diminuir volume"));
}
