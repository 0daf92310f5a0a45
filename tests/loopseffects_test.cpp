// Loops, cue points, mute and volume effects, rate buttons and the volume panel, tick by tick.
#include "playback/EffectsPanel.h"
#include "playback/PlayerPanel.h"
#include "playback/VolumeControl.h"
#include "playback/VolumePanel.h"
#include "player/LoopsAndCues.h"
#include "player/SoundEffects.h"
#include "player/Transport.h"
#include "tests/support/FakeProgram.h"
#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QtTest>

using namespace ButtonColour;

namespace
{
struct Harness : FakeProgram {
    Harness()
    {
        engine->setUrl(QStringLiteral("/m/a.mp3"));
        engine->setDuration(300, QStringLiteral("05:00"));
    }
    MainWindow &window = program.mainWindow();
    EffectsPanel &e() { return *window.findChild<EffectsPanel *>(QStringLiteral("EffectsPanel")); }
    PlayerPanel &p() { return *window.findChild<PlayerPanel *>(QStringLiteral("PlayerPanel")); }
    VolumePanel &volume() { return *window.findChild<VolumePanel *>(QStringLiteral("VolumePanel")); }
    VolumeControl &v() { return *window.findChild<VolumeControl *>(QStringLiteral("VolumeControl")); }
    LoopsAndCues &loops() { return player().loops(); }
    SoundEffects &effects() { return player().effects(); }
    QTimer *timer(const char *name) { return windowTimer(name); }
    void at(double seconds) { engine->setPosition(seconds, QStringLiteral("--")); }
    void tick() { player().transport().refreshDisplay(); }
};
} // namespace

class LoopsEffectsTest : public QObject
{
    Q_OBJECT

private slots:
    void fourSecondLoopJumpsBackToItsStart()
    {
        Harness h;
        h.at(10.0);
        emit h.e().m_loop4s->pressed();
        QCOMPARE(h.loops().loopStart(), 9.94);
        h.at(13.9);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 13.9);
        h.at(13.94);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 9.94);
    }

    void switchingFixedLoopsRestartsFromTheCurrentPosition()
    {
        Harness h;
        h.at(10);
        emit h.e().m_loop4s->pressed();
        h.at(12);
        emit h.e().m_loop8s->pressed();
        QCOMPARE(of(h.e().m_loop4s), Blue);
        QCOMPARE(of(h.e().m_loop8s), Lime);
        QCOMPARE(h.loops().loopStart(), 11.94);
        h.at(19.93);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 19.93);
        h.at(19.95);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 11.94);
        emit h.e().m_loop8s->pressed(); // the same button switches it off
        QCOMPARE(of(h.e().m_loop8s), Blue);
    }

    void abLoopMarksRunsAndEnds()
    {
        Harness h;
        h.at(20);
        emit h.e().m_loopAB->pressed();
        QCOMPARE(of(h.e().m_loopAB), Red);
        QCOMPARE(h.loops().clickCount(), 1);
        h.at(25);
        emit h.e().m_loopAB->pressed();
        QCOMPARE(of(h.e().m_loopAB), Lime);
        QCOMPARE(h.loops().loopEnd(), 24.9);
        h.at(24.95);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 19.94);
        emit h.e().m_loopAB->pressed();
        QCOMPARE(of(h.e().m_loopAB), Blue);
        QCOMPARE(h.loops().clickCount(), 0);
        h.at(30);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 30.0);
    }

    void fixedLoopDropsAHalfSetAbCycle()
    {
        Harness h;
        h.at(20);
        emit h.e().m_loopAB->pressed();
        emit h.e().m_loop12s->pressed();
        QCOMPARE(of(h.e().m_loopAB), Blue);
        QCOMPARE(h.loops().clickCount(), 0);
        h.at(40);
        emit h.e().m_loopAB->pressed();
        QCOMPARE(h.loops().loopStart(), 39.94); // a new A
        QCOMPARE(of(h.e().m_loop12s), Blue);
    }

    void abLoopWithBBeforeAJumpsEveryTick()
    {
        Harness h;
        h.at(50);
        emit h.e().m_loopAB->pressed();
        h.at(10);
        emit h.e().m_loopAB->pressed();
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 49.94);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 49.94);
        QCOMPARE(h.engine->calls.filter(QStringLiteral("setCurrentPosition")).size(), 2);
    }

    void loopsAreNotEnforcedWithNothingLoaded()
    {
        Harness h;
        h.at(10);
        emit h.e().m_loop4s->pressed();
        h.engine->setUrl(QString());
        h.at(20);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 20.0);
    }

    void cuePointsSetShowAndGo()
    {
        Harness h;
        h.engine->setPosition(65.5, QStringLiteral("01:05"));
        emit h.e().m_setCue2->pressed();
        QCOMPARE(h.loops().cue(2), 65.44);
        QCOMPARE(h.e().m_cue2Text->text(),
            QStringLiteral("01:05 (") + QLocale::system().toString(65.44, 'g', 15) + QLatin1Char(')'));
        h.at(100);
        emit h.e().m_goToCue2->pressed();
        QCOMPARE(h.engine->currentPosition(), 65.44);
        emit h.e().m_goToCue3->pressed(); // never set
        QCOMPARE(h.engine->currentPosition(), 0.0);
    }

    void vibrationAndParkinsonShareTheMuteTimerAndAlwaysEndUnmuted()
    {
        Harness h;
        QTimer *t = h.timer("TimerVibrationEffect");
        h.e().m_vibration->click();
        QVERIFY(t->isActive());
        QCOMPARE(t->interval(), 200);
        h.effects().chopTick();
        QVERIFY(h.engine->mute());
        h.e().m_parkinson->click(); // straight to Parkinson
        QCOMPARE(of(h.e().m_vibration), Blue);
        QCOMPARE(of(h.e().m_parkinson), Lime);
        QCOMPARE(t->interval(), 31);
        QVERIFY(t->isActive());
        h.effects().chopTick();
        QVERIFY(!h.engine->mute());
        h.effects().chopTick();
        QVERIFY(h.engine->mute());
        h.p().m_stop->click(); // stop does not end effects
        QVERIFY(t->isActive());
        h.e().m_parkinson->click();
        QVERIFY(!t->isActive());
        QVERIFY(!h.engine->mute());
        QCOMPARE(of(h.e().m_parkinson), Blue);
    }

    void wavebeatFallsToZeroThenClimbsBack()
    {
        Harness h;
        h.engine->setVolume(50);
        h.e().m_wavebeat->click();
        QVERIFY(h.timer("TimerWavebeatEffect")->isActive());
        QList<int> levels;
        for (int tick = 0; tick < 17; ++tick) {
            h.effects().wavebeatTick();
            levels << h.engine->volume();
        }
        QCOMPARE(levels[0], 47);
        QCOMPARE(levels[15], 2);
        QCOMPARE(levels[16], 1); // held at 0, then the first step up
        for (int tick = 0; tick < 49; ++tick)
            h.effects().wavebeatTick();
        QCOMPARE(h.engine->volume(), 50);
        QCOMPARE(h.effects().wavebeatRising(), false);
        h.effects().wavebeatTick();
        QCOMPARE(h.engine->volume(), 47);
        h.e().m_wavebeat->click();
        QCOMPARE(h.engine->volume(), 50);
        QVERIFY(!h.timer("TimerWavebeatEffect")->isActive());
    }

    void wavebeatFromSilenceClimbsToFullAndRestoresSilence()
    {
        Harness h;
        h.engine->setVolume(0);
        h.e().m_wavebeat->click();
        for (int tick = 0; tick < 150; ++tick)
            h.effects().wavebeatTick();
        QCOMPARE(h.engine->volume(), 100);
        h.e().m_wavebeat->click();
        QCOMPARE(h.engine->volume(), 0);
    }

    void rateButtonsStepByHalfAPercent()
    {
        Harness h;
        h.e().m_rateUp->click();
        QCOMPARE(h.e().m_rateText->text(), QLocale::system().toString(100.5, 'g', 15) + QLatin1Char('%'));
        for (int i = 0; i < 5; ++i)
            h.e().m_rateDown->click();
        QCOMPARE(h.e().m_rateText->text(), QLocale::system().toString(98.0, 'g', 15) + QLatin1Char('%'));
        h.e().m_rateReset->click();
        QCOMPARE(h.e().m_rateText->text(), QStringLiteral("100%"));
    }

    void fxButtonOpensAndClosesThePanel()
    {
        Harness h;
        h.p().m_effectsToggle->click();
        QVERIFY(h.e().PanelEfeitos->isVisibleTo(&h.window));
        QCOMPARE(of(h.p().m_effectsToggle), Red);
        h.p().m_effectsToggle->click();
        QVERIFY(!h.e().PanelEfeitos->isVisibleTo(&h.window));
        QCOMPARE(of(h.p().m_effectsToggle), Blue);
    }

    void volumeRampHoldsAtTheEnds()
    {
        Harness h;
        h.engine->setVolume(99);
        for (int i = 0; i < 5; ++i)
            h.v().rampTick(+1);
        QCOMPARE(h.engine->volume(), 100);
        QCOMPARE(h.volume().m_levelBar->value(), 100);
        h.engine->setVolume(1);
        for (int i = 0; i < 5; ++i)
            h.v().rampTick(-1);
        QCOMPARE(h.volume().m_levelBar->value(), 0);
    }

    void rampRunsOnlyWhileHeld()
    {
        Harness h;
        emit h.volume().m_volumeUp->pressed();
        QVERIFY(h.timer("TimerVolumeAumenta")->isActive());
        emit h.volume().m_volumeUp->released();
        QVERIFY(!h.timer("TimerVolumeAumenta")->isActive());
    }

    void wheelStepOpensThePanelAndClampsAt100()
    {
        Harness h;
        h.engine->setVolume(99);
        h.v().wheelStep(+1);
        QCOMPARE(h.engine->volume(), 100);
        QCOMPARE(h.volume().m_levelBar->value(), 100);
        QVERIFY(h.volume().PanelVolume->isVisibleTo(&h.window));
        QCOMPARE(h.v().idleMark(), VolumeControl::kNoMark);
    }

    void panelHidesOnceTheLevelHasRested()
    {
        Harness h;
        h.window.findChild<FlatButton *>(QStringLiteral("SpeedButton16"))->click();
        QVERIFY(h.timer("TimerHide")->isActive());
        QVERIFY(h.timer("TimerPosicao")->isActive());
        h.v().hideVolumePanelTick(); // mark is 999: stays
        QVERIFY(h.volume().PanelVolume->isVisibleTo(&h.window));
        h.v().sampleLevelTick();
        h.v().rampTick(+1); // changed after the sample
        h.v().hideVolumePanelTick();
        QVERIFY(h.volume().PanelVolume->isVisibleTo(&h.window));
        h.v().sampleLevelTick();
        h.v().hideVolumePanelTick();
        QVERIFY(!h.volume().PanelVolume->isVisibleTo(&h.window));
        QVERIFY(!h.timer("TimerHide")->isActive());
        QVERIFY(!h.timer("TimerPosicao")->isActive());
    }
};

QTEST_MAIN(LoopsEffectsTest)
#include "loopseffects_test.moc"
