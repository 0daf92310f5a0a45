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

    ProgressBar1 = new QProgressBar(PanelVolume);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setOrientation(Qt::Vertical);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(8, 8, 17, 153);

    SpeedButton17
        = new FlatButton(QStringLiteral("SpeedButton17"), QStringLiteral("+"), PanelVolume, 24, 128, 17, 17);
    SpeedButton17->setAccessibleLabel(QStringLiteral("Aumentar volume"));
    SpeedButton18
        = new FlatButton(QStringLiteral("SpeedButton18"), QStringLiteral("-"), PanelVolume, 24, 144, 17, 17);
    SpeedButton18->setAccessibleLabel(QStringLiteral("Diminuir volume"));
}
