// The deferred engine stands in for the real one until something plays: it
// must answer as an idle engine, keep what is written to it, and hand all of
// it over unchanged when the real engine is made.
#include "engine/DeferredEngine.h"
#include "tests/support/FakeEngine.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

class DeferredEngineTest : public QObject
{
    Q_OBJECT

private:
    int m_made = 0;
    QPointer<FakeEngine> m_fake;
    bool m_factoryFails = false;

    std::unique_ptr<DeferredEngine> makeEngine()
    {
        m_made = 0;
        m_factoryFails = false;
        return std::make_unique<DeferredEngine>([this]() -> std::unique_ptr<MediaEngine> {
            if (m_factoryFails)
                throw EngineError("no player library");
            ++m_made;
            auto fake = std::make_unique<FakeEngine>();
            m_fake = fake.get();
            return fake;
        });
    }

private slots:
    void idleEngineAnswersWithoutMakingTheRealOne()
    {
        auto engine = makeEngine();
        QSignalSpy status(engine.get(), &MediaEngine::stateChanged);
        QCOMPARE(engine->state(), MediaEngine::State::Idle);
        QCOMPARE(engine->url(), QString());
        engine->play();
        engine->pause();
        engine->setCurrentPosition(30);
        engine->redraw();
        engine->close();
        QCOMPARE(engine->currentPosition(), 0.0);
        QCOMPARE(engine->currentPositionString(), QString());
        QCOMPARE(engine->duration(), 0.0);
        QVERIFY_THROWS_EXCEPTION(EngineError, engine->setFullScreen(true));
        engine->setFullScreen(false);
        QVERIFY(!engine->isFullScreen());
        QCOMPARE(status.count(), 0);

        // Our own stop reports Stopped synchronously, as the real engine's does.
        engine->stop();
        QCOMPARE(status.count(), 1);
        QCOMPARE(engine->state(), MediaEngine::State::Stopped);
        QCOMPARE(m_made, 0);
        QVERIFY(engine->realEngine() == nullptr);
    }

    void settingsAreClampedKeptAndHandedOver()
    {
        auto engine = makeEngine();
        engine->setVolume(140);
        QCOMPARE(engine->volume(), 100);
        engine->setVolume(-3);
        QCOMPARE(engine->volume(), 0);
        engine->setVolume(37);
        engine->setRate(std::nan(""));
        QCOMPARE(engine->rate(), 1.0);
        engine->setRate(1000);
        QCOMPARE(engine->rate(), 100.0);
        engine->setRate(1.5);
        engine->setMute(true);
        engine->setLoop(true);
        engine->setStretchToFit(true);
        engine->setAcceptInvalidCertificates(QStringLiteral("https://a.example/live"), true);
        QCOMPARE(engine->failure(), MediaEngine::Failure::None);
        QCOMPARE(m_made, 0);

        engine->setUrl(QStringLiteral("mms://a.example/live"));
        QCOMPARE(m_made, 1);
        QVERIFY(m_fake);
        QCOMPARE(m_fake->volume(), 37);
        QCOMPARE(m_fake->rate(), 1.5);
        QVERIFY(m_fake->mute());
        QVERIFY(m_fake->loop());
        QVERIFY(m_fake->stretchToFit());
        // The settings go over before the address, so the first sound is at the right level.
        const qsizetype urlCall = m_fake->calls.indexOf(QStringLiteral("setUrl mms://a.example/live"));
        QVERIFY(urlCall > 0);
        QVERIFY(m_fake->calls.indexOf(QStringLiteral("setVolume 37")) < urlCall);
        const qsizetype certificateCall
            = m_fake->calls.indexOf(QStringLiteral("setAcceptInvalidCertificates https://a.example/live 1"));
        QVERIFY(certificateCall >= 0 && certificateCall < urlCall);
        QCOMPARE(engine->url(), QStringLiteral("mms://a.example/live"));
    }

    void realEngineIsMadeOnceAndForwardsEverything()
    {
        auto engine = makeEngine();
        QSignalSpy status(engine.get(), &MediaEngine::stateChanged);
        QSignalSpy clicks(engine.get(), &MediaEngine::clicked);
        engine->setUrl(QStringLiteral("mms://a.example/live"));
        // The URL write's own status arrives synchronously, through the stand-in.
        QCOMPARE(status.count(), 1);
        QCOMPARE(engine->state(), MediaEngine::State::Opening);
        engine->setUrl(QStringLiteral("mms://b.example/live"));
        QCOMPARE(m_made, 1);

        m_fake->emitState(MediaEngine::State::Playing);
        QCOMPARE(engine->state(), MediaEngine::State::Playing);
        m_fake->emitState(MediaEngine::State::Failed, MediaEngine::Failure::CertificateRefused);
        QCOMPARE(engine->failure(), MediaEngine::Failure::CertificateRefused);
        emit m_fake->clicked();
        QCOMPARE(clicks.count(), 1);

        m_fake->setPosition(12, QStringLiteral("00:12"));
        m_fake->setDuration(60, QStringLiteral("01:00"));
        QCOMPARE(engine->currentPositionString(), QStringLiteral("00:12"));
        QCOMPARE(engine->durationString(), QStringLiteral("01:00"));
        engine->setFullScreen(true);
        QVERIFY(engine->isFullScreen());
        engine->stop();
        QCOMPARE(m_fake->calls.last(), QStringLiteral("stop"));
        QCOMPARE(engine->state(), MediaEngine::State::Stopped);

        // The real video widget is shown inside the one the window placed.
        QWidget *outer = engine->videoWidget();
        QVERIFY(m_fake->videoWidget()->parentWidget() == outer);
    }

    void widgetsKeptAboveTheVideoAndItsFailureReachAcross()
    {
        auto engine = makeEngine();
        QSignalSpy unavailable(engine.get(), &MediaEngine::videoUnavailable);
        QWidget panel;
        panel.setObjectName(QStringLiteral("PanelVolume"));
        engine->keepAboveVideo(&panel);
        engine->setUrl(QStringLiteral("mms://a.example/live"));
        QVERIFY(m_fake->calls.contains(QStringLiteral("keepAboveVideo PanelVolume")));
        emit m_fake->videoUnavailable();
        QCOMPARE(unavailable.count(), 1);
    }

    void failingFactoryFailsTheCallAndIsTriedAgain()
    {
        auto engine = makeEngine();
        m_factoryFails = true;
        QVERIFY_THROWS_EXCEPTION(EngineError, engine->setUrl(QStringLiteral("mms://a.example/live")));
        QVERIFY(engine->realEngine() == nullptr);
        QCOMPARE(engine->state(), MediaEngine::State::Idle);
        m_factoryFails = false;
        engine->setUrl(QStringLiteral("mms://a.example/live"));
        QCOMPARE(m_made, 1);
        QVERIFY(engine->realEngine() != nullptr);
    }

    void clickOnTheEmptyVideoAreaIsAClick()
    {
        auto engine = makeEngine();
        QSignalSpy clicks(engine.get(), &MediaEngine::clicked);
        QWidget *video = engine->videoWidget();
        video->resize(200, 100);
        video->show();
        QTest::mouseClick(video, Qt::LeftButton, {}, QPoint(50, 50));
        QCOMPARE(clicks.count(), 1);
        QTest::mouseClick(video, Qt::RightButton, {}, QPoint(50, 50));
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(m_made, 0);
    }
};

QTEST_MAIN(DeferredEngineTest)
#include "deferredengine_test.moc"
