// Title decoration, the once-per-tune question and the alternate-address rotation.
#include "channels/AlternateAddressLists.h"
#include "channels/ChannelCatalogue.h"
#include "options/OptionsWindow.h"
#include "playback/PlayerPanel.h"
#include "player/AlternateAddresses.h"
#include "player/AlternateRotation.h"
#include "player/Reconnection.h"
#include "player/SourceFailover.h"
#include "player/Transport.h"
#include "tests/support/FakeProgram.h"
#include "widgets/ButtonColour.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace
{
struct Harness : FakeProgram {
    Harness()
        : catalogue(ChannelCatalogue::builtIn())
        , window(program.mainWindow())
        , option(*program.optionsWindow().findChild<QCheckBox *>(QStringLiteral("CheckBox1")))
    {
        // The reconnection system as it runs with "Trocar de fonte sozinho" off;
        // the failover has tests of its own.
        player().failover().setEnabled(false);
        setMessageHandler([this](QWidget *, const MessageRequest &request) {
            asked << request;
            if (onQuestion)
                onQuestion();
            return answer;
        });
    }
    ~Harness() { setMessageHandler({}); }

    QTimer *retry() { return windowTimer("TimerTryAgain"); }
    Reconnection &reconnection() { return player().reconnection(); }
    void click(const char *control)
    {
        window.findChild<QToolButton *>(QString::fromLatin1(control))->click();
    }
    // The list box of the never-shown alternate-address window.
    QListWidget *list(const char *name)
    {
        return program.alternateAddressLists().findChild<QListWidget *>(QString::fromLatin1(name));
    }
    int position(const char *titleSuffix)
    {
        return player().alternates().position(
            QStringLiteral("Lumivortex TV - ") + QString::fromUtf8(titleSuffix));
    }

    ChannelCatalogue catalogue;
    MainWindow &window;
    QCheckBox &option;
    QList<MessageRequest> asked;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::function<void()> onQuestion;
};
} // namespace

class ReconnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Turning the failover off is kept: never in the user's own config folder.
        QVERIFY(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    }

    void rotationWrapsWithoutLoadingOnTheWrapTick()
    {
        int position = -1;
        QList<int> positions;
        QList<bool> loads;
        for (int tick = 0; tick < 29; ++tick) {
            const RotationStep step = nextRotation(position, 26);
            position = step.position;
            positions << position;
            loads << step.loadEntry;
        }
        QCOMPARE(positions.mid(0, 3), (QList<int> { 0, 1, 2 }));
        QCOMPARE(positions[25], 25);
        QCOMPARE(positions[26], 0);
        QCOMPARE(loads[26], false);
        QCOMPARE(positions[27], 1);
        QCOMPARE(loads[27], true);
    }

    void failingStreamIsMarkedAndAskedOnce()
    {
        Harness h;
        h.click("SpeedButton90");
        h.engine->emitState(MediaEngine::State::Failed);
        QCOMPARE(h.window.windowTitle(), QStringLiteral("Lumivortex TV - TV Globo Canal Congestionado!"));
        QCOMPARE(h.asked.size(), 1);
        QCOMPARE(h.asked[0].caption, QStringLiteral("Information"));
        QCOMPARE(h.asked[0].defaultButton, QMessageBox::Ok);
        QCOMPARE(h.asked[0].escapeButton, QMessageBox::Cancel);
        QVERIFY(h.asked[0].text.startsWith(QStringLiteral("Este canal pode estar congestionado")));
        QVERIFY(h.asked[0].text.contains(QStringLiteral("Tenacor®")));
        QVERIFY(h.option.isChecked());
        QVERIFY(h.retry()->isActive());
        h.engine->emitState(MediaEngine::State::Failed);
        QCOMPARE(h.asked.size(), 1);
    }

    void cancelLeavesTheSystemOffAndStatusesInTheTitle()
    {
        Harness h;
        h.answer = QMessageBox::Cancel;
        h.click("SpeedButton90");
        h.engine->emitState(MediaEngine::State::Idle);
        QVERIFY(!h.option.isChecked());
        QVERIFY(!h.retry()->isActive());
        h.engine->emitState(MediaEngine::State::Opening);
        QCOMPARE(h.window.windowTitle(), QStringLiteral("Lumivortex TV - TV Globo Conectando..."));
        h.engine->emitState(MediaEngine::State::Failed);
        QCOMPARE(h.asked.size(), 1);
    }

    void webcamsTabMarksButDoesNotAsk()
    {
        Harness h;
        h.window.findChild<QTabBar *>(QStringLiteral("TabControl1"))->setCurrentIndex(6);
        h.window.findChild<QAction *>(QStringLiteral("DaytonaBeach1"))->trigger();
        h.engine->emitState(MediaEngine::State::Failed);
        QVERIFY(h.window.windowTitle().endsWith(QStringLiteral(" Canal Congestionado!")));
        QVERIFY(h.asked.isEmpty());
    }

    void systemAlreadyOnIsStillAskedOnceAndOkChangesNothing()
    {
        Harness h;
        h.option.setChecked(true);
        QVERIFY(h.retry()->isActive());
        h.click("SpeedButton90");
        h.engine->emitState(MediaEngine::State::Failed);
        QCOMPARE(h.asked.size(), 1);
        QVERIFY(h.option.isChecked());
        QVERIFY(h.retry()->isActive());
    }

    void questionStaysSingleWhileTicksRunUnderIt()
    {
        Harness h;
        h.option.setChecked(true);
        h.click("SpeedButton3"); // Band Sports
        h.engine->urlState = MediaEngine::State::Failed;
        h.onQuestion = [&h] {
            h.reconnection().retryDroppedStream();
            h.engine->emitState(MediaEngine::State::Failed);
        };
        h.engine->emitState(MediaEngine::State::Failed);
        QCOMPARE(h.asked.size(), 1);
    }

    void bandSportsRotatesThroughItsList()
    {
        Harness h;
        h.click("SpeedButton3");
        h.engine->emitState(MediaEngine::State::Failed);
        h.engine->urlState.reset();
        const AlternateList *alternates = h.catalogue.alternateList(QStringLiteral("ListBoxBandSports"));
        QListWidget *list = h.list("ListBoxBandSports");
        QCOMPARE(list->currentRow(), -1);
        QCOMPARE(h.position("Band Sports"), -1);
        for (int tick = 0; tick < 26; ++tick) {
            h.reconnection().retryDroppedStream();
            QCOMPARE(h.position("Band Sports"), tick);
            QCOMPARE(list->currentRow(), tick);
            QCOMPARE(h.engine->url(), alternates->entries[tick]);
            QCOMPARE(h.engine->calls.last(), QStringLiteral("play"));
        }
        h.reconnection().retryDroppedStream();
        QCOMPARE(h.position("Band Sports"), 0);
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(h.engine->url(), alternates->entries[25]);
        h.reconnection().retryDroppedStream();
        QCOMPARE(h.engine->url(), alternates->entries[1]);
        QVERIFY(!list->isVisible());
    }

    void jovemPanReplaysItsSecondEntry()
    {
        Harness h;
        h.click("SpeedButton23");
        h.engine->emitState(MediaEngine::State::Failed);
        h.engine->urlState.reset();
        const QStringList entries = h.catalogue.alternateList(QStringLiteral("ListBoxJovemPan"))->entries;
        QStringList loaded;
        for (int tick = 0; tick < 5; ++tick) {
            h.reconnection().retryDroppedStream();
            loaded << h.engine->url();
        }
        QCOMPARE(loaded, (QStringList { entries[0], entries[1], entries[1], entries[1], entries[1] }));
        QCOMPARE(h.list("ListBoxJovemPan")->currentRow(), 0);
    }

    void rotationSurvivesOtherTunesAndContinues()
    {
        Harness h;
        h.engine->urlState.reset();
        h.click("SpeedButton3");
        h.engine->emitState(MediaEngine::State::Failed);
        h.reconnection().retryDroppedStream();
        h.reconnection().retryDroppedStream();
        h.click("SpeedButton90");
        h.click("SpeedButton3");
        h.engine->emitState(MediaEngine::State::Failed);
        h.reconnection().retryDroppedStream();
        QCOMPARE(h.list("ListBoxBandSports")->currentRow(), 2);
    }

    void tickDoesNothingUnlessReadyAndOnlyPlaysWithoutAList()
    {
        Harness h;
        h.click("SpeedButton90");
        h.engine->emitState(MediaEngine::State::Playing);
        h.engine->calls.clear();
        h.reconnection().retryDroppedStream();
        QVERIFY(h.engine->calls.isEmpty());
        h.engine->emitState(MediaEngine::State::Failed);
        h.engine->calls.clear();
        h.reconnection().retryDroppedStream();
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("play") });
        // After the Player tab no channel is named: only play again.
        h.window.findChild<QTabBar *>(QStringLiteral("TabControl1"))->setCurrentIndex(5);
        h.engine->calls.clear();
        h.reconnection().retryDroppedStream();
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("play") });
    }

    void stopStatusRunsTheFullStopOnce()
    {
        Harness h;
        h.click("SpeedButton90");
        h.player().transport().playForm(); // playing, the display tick on
        h.engine->calls.clear();
        h.engine->emitState(MediaEngine::State::Ended);
        QCOMPARE(h.engine->calls.filter(QStringLiteral("stop")).size(), 2);
        QCOMPARE(h.player().transport().mode(), Transport::Mode::Stopped);
        QCOMPARE(ButtonColour::of(h.window.findChild<QToolButton *>(QStringLiteral("SpeedButton42"))),
            ButtonColour::Blue);
        QVERIFY(!h.windowTimer("TimerMediaTempo")->isActive());
        QCOMPARE(h.window.windowTitle(), QStringLiteral("Lumivortex TV - TV Globo Parado"));
    }

    void reconnectionOffChannelSwitchesTheSystemOffYetAsks()
    {
        Harness h;
        h.option.setChecked(true);
        h.click("SpeedButton2");
        QVERIFY(!h.retry()->isActive());
        h.engine->emitState(MediaEngine::State::Failed);
        QCOMPARE(h.asked.size(), 1);
    }

    void refusedCertificateIsToldOnceAndTheNextAddressTried()
    {
        Harness h;
        h.click("SpeedButton3");
        const QString channel = h.window.windowTitle();
        const QString tuned = h.engine->url();
        h.engine->urlState.reset();
        QStringList untried = h.catalogue.alternateList(QStringLiteral("ListBoxBandSports"))->entries;
        untried.removeAll(tuned);
        QStringList loaded;
        for (int refusal = 0; refusal < 3; ++refusal) {
            h.engine->emitState(MediaEngine::State::Failed, MediaEngine::Failure::CertificateRefused);
            QCOMPARE(h.window.windowTitle(), channel + QStringLiteral(" Certificado inválido!"));
            QCoreApplication::processEvents(); // the move on is queued
            loaded << h.engine->url();
        }
        QCOMPARE(loaded, untried.mid(0, 3));
        // Told once, and never as congestion: the question is not asked.
        QCOMPARE(h.asked.size(), 1);
        QCOMPARE(h.asked[0].text, Reconnection::certificateRefusedText());
        QVERIFY(!h.option.isChecked());
        // A failure of another kind is congestion again.
        h.engine->emitState(MediaEngine::State::Failed, MediaEngine::Failure::CouldNotOpen);
        QCOMPARE(h.window.windowTitle(), channel + QStringLiteral(" Canal Congestionado!"));
        QCOMPARE(h.asked.size(), 2);
    }

    void refusedCertificateWithoutOtherAddressesStays()
    {
        Harness h;
        h.click("SpeedButton90");
        const QString tuned = h.engine->url();
        h.engine->emitState(MediaEngine::State::Failed, MediaEngine::Failure::CertificateRefused);
        h.engine->calls.clear();
        QCoreApplication::processEvents();
        QVERIFY(h.engine->calls.isEmpty());
        QCOMPARE(h.engine->url(), tuned);
        QCOMPARE(h.asked.size(), 1);
    }

    void interruptPressesStopAndKeepsTheOption()
    {
        Harness h;
        h.option.setChecked(true);
        h.engine->calls.clear();
        h.window.findChild<QAction *>(QStringLiteral("InterromperTransmisso1"))->trigger();
        QVERIFY(h.engine->calls.contains(QStringLiteral("stop")));
        QVERIFY(h.option.isChecked());
    }

private:
    QTemporaryDir m_config;
};

QTEST_MAIN(ReconnectionTest)
#include "reconnection_test.moc"
