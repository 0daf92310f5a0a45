// Title decoration, the once-per-tune question and the alternate-address rotation.
#include "app/MainWindow.h"
#include "channels/AlternateAddressLists.h"
#include "channels/AlternateRotation.h"
#include "channels/ChannelCatalogue.h"
#include "channels/Reconnection.h"
#include "playback/PlayerPanel.h"
#include "tests/support/FakeEngine.h"
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
struct Harness {
    Harness()
        : catalogue(ChannelCatalogue::builtIn())
        , engine(new FakeEngine)
        , window(std::unique_ptr<MediaEngine>(engine), catalogue)
        , lists(catalogue)
    {
        // The options window flips the retry timer on every change of its box.
        QObject::connect(&option, &QCheckBox::toggled, [this] {
            QTimer *t = retry();
            t->isActive() ? t->stop() : t->start();
        });
        window.attachReconnectOption(&option);
        window.reconnection()->setAlternateLists(&lists);
        setMessageHandler([this](QWidget *, const MessageRequest &request) {
            asked << request;
            if (onQuestion)
                onQuestion();
            return answer;
        });
    }
    ~Harness() { setMessageHandler({}); }

    QTimer *retry() { return window.timer(QStringLiteral("TimerTryAgain")); }
    void click(const char *control)
    {
        window.findChild<QToolButton *>(QString::fromLatin1(control))->click();
    }
    QListWidget *list(const char *name) { return lists.findChild<QListWidget *>(QString::fromLatin1(name)); }

    ChannelCatalogue catalogue;
    FakeEngine *engine;
    MainWindow window;
    AlternateAddressLists lists;
    QCheckBox option;
    QList<MessageRequest> asked;
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    std::function<void()> onQuestion;
};
} // namespace

class ReconnectionTest : public QObject
{
    Q_OBJECT

private slots:
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
        h.engine->emitStatus(QStringLiteral("Pronto"));
        QCOMPARE(h.window.windowTitle(), QStringLiteral("Lumivortex TV - TV Globo Canal Congestionado!"));
        QCOMPARE(h.asked.size(), 1);
        QCOMPARE(h.asked[0].caption, QStringLiteral("Information"));
        QCOMPARE(h.asked[0].defaultButton, QMessageBox::Ok);
        QCOMPARE(h.asked[0].escapeButton, QMessageBox::Cancel);
        QVERIFY(h.asked[0].text.startsWith(QStringLiteral("Este canal pode estar congestionado")));
        QVERIFY(h.asked[0].text.contains(QStringLiteral("Tenacor®")));
        QVERIFY(h.option.isChecked());
        QVERIFY(h.retry()->isActive());
        h.engine->emitStatus(QStringLiteral("Pronto"));
        QCOMPARE(h.asked.size(), 1);
    }

    void cancelLeavesTheSystemOffAndStatusesInTheTitle()
    {
        Harness h;
        h.answer = QMessageBox::Cancel;
        h.click("SpeedButton90");
        h.engine->emitStatus(QStringLiteral("Ready"));
        QVERIFY(!h.option.isChecked());
        QVERIFY(!h.retry()->isActive());
        h.engine->emitStatus(QStringLiteral("Conectando..."));
        QCOMPARE(h.window.windowTitle(), QStringLiteral("Lumivortex TV - TV Globo Conectando..."));
        h.engine->emitStatus(QStringLiteral("Pronto"));
        QCOMPARE(h.asked.size(), 1);
    }

    void webcamsTabMarksButDoesNotAsk()
    {
        Harness h;
        h.window.findChild<QTabBar *>(QStringLiteral("TabControl1"))->setCurrentIndex(6);
        h.window.findChild<QAction *>(QStringLiteral("DaytonaBeach1"))->trigger();
        h.engine->emitStatus(QStringLiteral("Pronto"));
        QVERIFY(h.window.windowTitle().endsWith(QStringLiteral(" Canal Congestionado!")));
        QVERIFY(h.asked.isEmpty());
    }

    void systemAlreadyOnIsStillAskedOnceAndOkChangesNothing()
    {
        Harness h;
        h.option.setChecked(true);
        QVERIFY(h.retry()->isActive());
        h.click("SpeedButton90");
        h.engine->emitStatus(QStringLiteral("Pronto"));
        QCOMPARE(h.asked.size(), 1);
        QVERIFY(h.option.isChecked());
        QVERIFY(h.retry()->isActive());
    }

    void questionStaysSingleWhileTicksRunUnderIt()
    {
        Harness h;
        h.option.setChecked(true);
        h.click("SpeedButton3"); // Band Sports
        h.engine->urlStatus = QStringLiteral("Pronto");
        h.onQuestion = [&h] {
            h.window.reconnection()->retryDroppedStream();
            h.engine->emitStatus(QStringLiteral("Pronto"));
        };
        h.engine->emitStatus(QStringLiteral("Pronto"));
        QCOMPARE(h.asked.size(), 1);
    }

    void bandSportsRotatesThroughItsList()
    {
        Harness h;
        h.click("SpeedButton3");
        h.engine->emitStatus(QStringLiteral("Pronto"));
        h.engine->urlStatus.clear();
        const AlternateList *alternates = h.catalogue.alternateList(QStringLiteral("ListBoxBandSports"));
        QListWidget *list = h.list("ListBoxBandSports");
        QCOMPARE(list->currentRow(), -1);
        for (int tick = 0; tick < 26; ++tick) {
            h.window.reconnection()->retryDroppedStream();
            QCOMPARE(list->currentRow(), tick);
            QCOMPARE(h.engine->url(), alternates->entries[tick]);
            QCOMPARE(h.engine->calls.last(), QStringLiteral("play"));
        }
        h.window.reconnection()->retryDroppedStream();
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(h.engine->url(), alternates->entries[25]);
        h.window.reconnection()->retryDroppedStream();
        QCOMPARE(h.engine->url(), alternates->entries[1]);
        QVERIFY(!list->isVisible());
    }

    void jovemPanReplaysItsSecondEntry()
    {
        Harness h;
        h.click("SpeedButton23");
        h.engine->emitStatus(QStringLiteral("Pronto"));
        h.engine->urlStatus.clear();
        const QStringList entries = h.catalogue.alternateList(QStringLiteral("ListBoxJovemPan"))->entries;
        QStringList loaded;
        for (int tick = 0; tick < 5; ++tick) {
            h.window.reconnection()->retryDroppedStream();
            loaded << h.engine->url();
        }
        QCOMPARE(loaded, (QStringList { entries[0], entries[1], entries[1], entries[1], entries[1] }));
        QCOMPARE(h.list("ListBoxJovemPan")->currentRow(), 0);
    }

    void rotationSurvivesOtherTunesAndContinues()
    {
        Harness h;
        h.engine->urlStatus.clear();
        h.click("SpeedButton3");
        h.engine->emitStatus(QStringLiteral("Pronto"));
        h.window.reconnection()->retryDroppedStream();
        h.window.reconnection()->retryDroppedStream();
        h.click("SpeedButton90");
        h.click("SpeedButton3");
        h.engine->emitStatus(QStringLiteral("Pronto"));
        h.window.reconnection()->retryDroppedStream();
        QCOMPARE(h.list("ListBoxBandSports")->currentRow(), 2);
    }

    void tickDoesNothingUnlessReadyAndOnlyPlaysWithoutAList()
    {
        Harness h;
        h.click("SpeedButton90");
        h.engine->emitStatus(QStringLiteral("Reproduzindo"));
        h.engine->calls.clear();
        h.window.reconnection()->retryDroppedStream();
        QVERIFY(h.engine->calls.isEmpty());
        h.engine->emitStatus(QStringLiteral("Pronto"));
        h.engine->calls.clear();
        h.window.reconnection()->retryDroppedStream();
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("play") });
        // After the Player tab no channel is named: only play again.
        h.window.findChild<QTabBar *>(QStringLiteral("TabControl1"))->setCurrentIndex(5);
        h.engine->calls.clear();
        h.window.reconnection()->retryDroppedStream();
        QCOMPARE(h.engine->calls, QStringList { QStringLiteral("play") });
    }

    void stopStatusRunsTheFullStopOnce()
    {
        Harness h;
        h.click("SpeedButton90");
        ButtonColour::set(h.window.player()->m_playPause, ButtonColour::Lime);
        h.window.timer(QStringLiteral("TimerMediaTempo"))->start();
        h.engine->calls.clear();
        h.engine->emitStatus(QStringLiteral("Stoped"));
        QCOMPARE(h.engine->calls.filter(QStringLiteral("stop")).size(), 2);
        QCOMPARE(ButtonColour::of(h.window.player()->m_playPause), ButtonColour::Blue);
        QVERIFY(!h.window.timer(QStringLiteral("TimerMediaTempo"))->isActive());
        QCOMPARE(h.window.windowTitle(), QStringLiteral("Lumivortex TV - TV Globo Parado"));
    }

    void reconnectionOffChannelSwitchesTheSystemOffYetAsks()
    {
        Harness h;
        h.option.setChecked(true);
        h.click("SpeedButton2");
        QVERIFY(!h.retry()->isActive());
        h.engine->emitStatus(QStringLiteral("Pronto"));
        QCOMPARE(h.asked.size(), 1);
    }

    void refusedCertificateIsToldOnceAndTheNextAddressTried()
    {
        Harness h;
        h.click("SpeedButton3");
        const QString channel = h.window.windowTitle();
        const QString tuned = h.engine->url();
        h.engine->urlStatus.clear();
        QStringList untried = h.catalogue.alternateList(QStringLiteral("ListBoxBandSports"))->entries;
        untried.removeAll(tuned);
        h.engine->scriptedFailure = MediaEngine::Failure::CertificateRefused;
        QStringList loaded;
        for (int refusal = 0; refusal < 3; ++refusal) {
            h.engine->emitStatus(QStringLiteral("Pronto"));
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
        h.engine->scriptedFailure = MediaEngine::Failure::None;
        h.engine->emitStatus(QStringLiteral("Pronto"));
        QCOMPARE(h.window.windowTitle(), channel + QStringLiteral(" Canal Congestionado!"));
        QCOMPARE(h.asked.size(), 2);
    }

    void refusedCertificateWithoutOtherAddressesStays()
    {
        Harness h;
        h.click("SpeedButton90");
        const QString tuned = h.engine->url();
        h.engine->scriptedFailure = MediaEngine::Failure::CertificateRefused;
        h.engine->emitStatus(QStringLiteral("Pronto"));
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
};

QTEST_MAIN(ReconnectionTest)
#include "reconnection_test.moc"
