#pragma once

#include <QObject>
#include <QTimer>

// When the banner over the video shows: for ShownMs after a tune, and when
// the user asks (key I; asked again, it goes). In "Tela Limpa" a tune does not
// bring it up and entering it takes it away: there only asking shows it.
class ProgrammeBannerState : public QObject
{
    Q_OBJECT

public:
    static constexpr int ShownMs = 5000;

    explicit ProgrammeBannerState(QObject *parent = nullptr);

    bool isShown() const { return m_shown; }
    bool isCleanScreen() const { return m_clean; }

    void channelTuned();
    void asked();
    void nothingTuned();
    void setCleanScreen(bool clean);
    // The time shown has run out.
    void timeUp();

signals:
    void shownChanged(bool shown);

private:
    void show();
    void hide();

    QTimer m_hide;
    bool m_shown = false;
    bool m_clean = false;
};
