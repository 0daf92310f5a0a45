// Loops, cue points, mute and volume effects, rate buttons and the volume panel, tick by tick.
#include "app/MainWindow.h"
#include "playback/EffectsPanel.h"
#include "playback/LoopsAndEffects.h"
#include "playback/PlayerPanel.h"
#include "playback/Transport.h"
#include "playback/VolumeControl.h"
#include "playback/VolumePanel.h"
#include "tests/support/FakeEngine.h"
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
struct Harness {
    Harness()
        : engine(new FakeEngine)
        , window(std::unique_ptr<MediaEngine>(engine), ChannelCatalogue::builtIn())
    {
        engine->setUrl(QStringLiteral("/m/a.mp3"));
        engine->setDuration(300, QStringLiteral("05:00"));
    }
    FakeEngine *engine;
    MainWindow window;
    EffectsPanel &e() { return *window.effects(); }
    LoopsAndEffects &l() { return *window.loops(); }
    VolumeControl &v() { return *window.volumeControl(); }
    ProgramState &s() { return window.state(); }
    QTimer *timer(const char *name) { return window.timer(QString::fromLatin1(name)); }
    void at(double seconds) { engine->setPosition(seconds, QStringLiteral("--")); }
    void tick() { window.transport()->TimerMediaTempoTimer(); }
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
        emit h.e().SpeedButton48->pressed();
        QCOMPARE(h.s().LoopStart, 9.94);
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
        emit h.e().SpeedButton48->pressed();
        h.at(12);
        emit h.e().SpeedButton49->pressed();
        QCOMPARE(of(h.e().SpeedButton48), Blue);
        QCOMPARE(of(h.e().SpeedButton49), Lime);
        QCOMPARE(h.s().LoopStart, 11.94);
        h.at(19.93);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 19.93);
        h.at(19.95);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 11.94);
        emit h.e().SpeedButton49->pressed(); // the same button switches it off
        QCOMPARE(of(h.e().SpeedButton49), Blue);
    }

    void abLoopMarksRunsAndEnds()
    {
        Harness h;
        h.at(20);
        emit h.e().SpeedButton47->pressed();
        QCOMPARE(of(h.e().SpeedButton47), Red);
        QCOMPARE(h.s().LoopClickCount, 1);
        h.at(25);
        emit h.e().SpeedButton47->pressed();
        QCOMPARE(of(h.e().SpeedButton47), Lime);
        QCOMPARE(h.s().LoopEnd, 24.9);
        h.at(24.95);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 19.94);
        emit h.e().SpeedButton47->pressed();
        QCOMPARE(of(h.e().SpeedButton47), Blue);
        QCOMPARE(h.s().LoopClickCount, 0);
        h.at(30);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 30.0);
    }

    void fixedLoopDropsAHalfSetAbCycle()
    {
        Harness h;
        h.at(20);
        emit h.e().SpeedButton47->pressed();
        emit h.e().SpeedButton50->pressed();
        QCOMPARE(of(h.e().SpeedButton47), Blue);
        QCOMPARE(h.s().LoopClickCount, 0);
        h.at(40);
        emit h.e().SpeedButton47->pressed();
        QCOMPARE(h.s().LoopStart, 39.94); // a new A
        QCOMPARE(of(h.e().SpeedButton50), Blue);
    }

    void abLoopWithBBeforeAJumpsEveryTick()
    {
        Harness h;
        h.at(50);
        emit h.e().SpeedButton47->pressed();
        h.at(10);
        emit h.e().SpeedButton47->pressed();
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
        emit h.e().SpeedButton48->pressed();
        h.engine->setUrl(QString());
        h.at(20);
        h.tick();
        QCOMPARE(h.engine->currentPosition(), 20.0);
    }

    void cuePointsSetShowAndGo()
    {
        Harness h;
        h.engine->setPosition(65.5, QStringLiteral("01:05"));
        emit h.e().SpeedButton57->pressed();
        QCOMPARE(h.s().CuePoint2, 65.44);
        QCOMPARE(h.e().Label6->text(),
            QStringLiteral("01:05 (") + QLocale::system().toString(65.44, 'g', 15) + QLatin1Char(')'));
        h.at(100);
        emit h.e().SpeedButton58->pressed();
        QCOMPARE(h.engine->currentPosition(), 65.44);
        emit h.e().SpeedButton60->pressed(); // never set
        QCOMPARE(h.engine->currentPosition(), 0.0);
    }

    void vibrationAndParkinsonShareTheMuteTimerAndAlwaysEndUnmuted()
    {
        Harness h;
        QTimer *t = h.timer("TimerVibrationEffect");
        h.e().SpeedButton52->click();
        QVERIFY(t->isActive());
        QCOMPARE(t->interval(), 200);
        h.l().TimerVibrationEffectTimer();
        QVERIFY(h.engine->mute());
        h.e().SpeedButton54->click(); // straight to Parkinson
        QCOMPARE(of(h.e().SpeedButton52), Blue);
        QCOMPARE(of(h.e().SpeedButton54), Lime);
        QCOMPARE(t->interval(), 31);
        QVERIFY(t->isActive());
        h.l().TimerVibrationEffectTimer();
        QVERIFY(!h.engine->mute());
        h.l().TimerVibrationEffectTimer();
        QVERIFY(h.engine->mute());
        h.window.player()->SpeedButton40->click(); // stop does not end effects
        QVERIFY(t->isActive());
        h.e().SpeedButton54->click();
        QVERIFY(!t->isActive());
        QVERIFY(!h.engine->mute());
        QCOMPARE(of(h.e().SpeedButton54), Blue);
    }

    void wavebeatFallsToZeroThenClimbsBack()
    {
        Harness h;
        h.engine->setVolume(50);
        h.e().SpeedButton53->click();
        QVERIFY(h.timer("TimerWavebeatEffect")->isActive());
        QList<int> levels;
        for (int tick = 0; tick < 17; ++tick) {
            h.l().TimerWavebeatEffectTimer();
            levels << h.engine->volume();
        }
        QCOMPARE(levels[0], 47);
        QCOMPARE(levels[15], 2);
        QCOMPARE(levels[16], 1); // held at 0, then the first step up
        for (int tick = 0; tick < 49; ++tick)
            h.l().TimerWavebeatEffectTimer();
        QCOMPARE(h.engine->volume(), 50);
        QCOMPARE(h.s().WavebeatRising, false);
        h.l().TimerWavebeatEffectTimer();
        QCOMPARE(h.engine->volume(), 47);
        h.e().SpeedButton53->click();
        QCOMPARE(h.engine->volume(), 50);
        QVERIFY(!h.timer("TimerWavebeatEffect")->isActive());
    }

    void wavebeatFromSilenceClimbsToFullAndRestoresSilence()
    {
        Harness h;
        h.engine->setVolume(0);
        h.e().SpeedButton53->click();
        for (int tick = 0; tick < 150; ++tick)
            h.l().TimerWavebeatEffectTimer();
        QCOMPARE(h.engine->volume(), 100);
        h.e().SpeedButton53->click();
        QCOMPARE(h.engine->volume(), 0);
    }

    void rateButtonsStepByHalfAPercent()
    {
        Harness h;
        h.e().SpeedButton66->click();
        QCOMPARE(h.e().Label12->text(), QLocale::system().toString(100.5, 'g', 15) + QLatin1Char('%'));
        for (int i = 0; i < 5; ++i)
            h.e().SpeedButton65->click();
        QCOMPARE(h.e().Label12->text(), QLocale::system().toString(98.0, 'g', 15) + QLatin1Char('%'));
        h.e().SpeedButton67->click();
        QCOMPARE(h.e().Label12->text(), QStringLiteral("100%"));
    }

    void fxButtonOpensAndClosesThePanel()
    {
        Harness h;
        h.window.player()->SpeedButton51->click();
        QVERIFY(h.e().PanelEfeitos->isVisibleTo(&h.window));
        QCOMPARE(of(h.window.player()->SpeedButton51), Red);
        h.window.player()->SpeedButton51->click();
        QVERIFY(!h.e().PanelEfeitos->isVisibleTo(&h.window));
        QCOMPARE(of(h.window.player()->SpeedButton51), Blue);
    }

    void volumeRampHoldsAtTheEnds()
    {
        Harness h;
        h.engine->setVolume(99);
        for (int i = 0; i < 5; ++i)
            h.v().rampTick(+1);
        QCOMPARE(h.engine->volume(), 100);
        QCOMPARE(h.window.volume()->ProgressBar1->value(), 100);
        h.engine->setVolume(1);
        for (int i = 0; i < 5; ++i)
            h.v().rampTick(-1);
        QCOMPARE(h.window.volume()->ProgressBar1->value(), 0);
    }

    void rampRunsOnlyWhileHeld()
    {
        Harness h;
        emit h.window.volume()->SpeedButton17->pressed();
        QVERIFY(h.timer("TimerVolumeAumenta")->isActive());
        emit h.window.volume()->SpeedButton17->released();
        QVERIFY(!h.timer("TimerVolumeAumenta")->isActive());
    }

    void wheelStepOpensThePanelAndClampsAt100()
    {
        Harness h;
        h.engine->setVolume(99);
        h.v().wheelStep(+1);
        QCOMPARE(h.engine->volume(), 100);
        QCOMPARE(h.window.volume()->ProgressBar1->value(), 100);
        QVERIFY(h.window.volume()->PanelVolume->isVisibleTo(&h.window));
        QCOMPARE(h.v().idleMark(), VolumeControl::kNoMark);
    }

    void panelHidesOnceTheLevelHasRested()
    {
        Harness h;
        h.window.findChild<FlatButton *>(QStringLiteral("SpeedButton16"))->click();
        QVERIFY(h.timer("TimerHide")->isActive());
        QVERIFY(h.timer("TimerPosicao")->isActive());
        h.v().TimerHideTimer(); // mark is 999: stays
        QVERIFY(h.window.volume()->PanelVolume->isVisibleTo(&h.window));
        h.v().TimerPosicaoTimer();
        h.v().rampTick(+1); // changed after the sample
        h.v().TimerHideTimer();
        QVERIFY(h.window.volume()->PanelVolume->isVisibleTo(&h.window));
        h.v().TimerPosicaoTimer();
        h.v().TimerHideTimer();
        QVERIFY(!h.window.volume()->PanelVolume->isVisibleTo(&h.window));
        QVERIFY(!h.timer("TimerHide")->isActive());
        QVERIFY(!h.timer("TimerPosicao")->isActive());
    }
};

QTEST_MAIN(LoopsEffectsTest)
#include "loopseffects_test.moc"
