#pragma once

#include <QObject>

class QFrame;
class QProgressBar;
class QWidget;
class FlatButton;

// The pop-up volume panel (PanelVolume) with its level bar and ramp buttons.
class VolumePanel : public QObject
{
    Q_OBJECT

public:
    explicit VolumePanel(QWidget *window);

    QFrame *PanelVolume;
    QProgressBar *ProgressBar1;
    FlatButton *SpeedButton17; // "+"
    FlatButton *SpeedButton18; // "-"
};
