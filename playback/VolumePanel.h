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
    QProgressBar *m_levelBar;
    FlatButton *m_volumeUp; // "+"
    FlatButton *m_volumeDown; // "-"
};
