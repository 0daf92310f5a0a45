// The main window's keys: each does its one job, and a text field or a button
// reached with the keyboard keeps the keys it needs.
#include "app/ChannelListsHub.h"
#include "playback/PlayerPanel.h"
#include "player/Transport.h"
#include "tests/support/FakeProgram.h"
#include "widgets/Dialogs.h"
#include "widgets/FlatButton.h"
#include "widgets/MessageBox.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QtTest>

namespace
{
// The open dialog, which only says it was asked.
struct RecordingChooser : MediaFileChooser {
    QString chooseMediaFile() override
    {
        *hooks << QStringLiteral("file");
        return QString();
    }
    QStringList *hooks = nullptr;
};

struct Harness : FakeProgram {
    Harness()
    {
        // Ctrl+L is also the shortcut of the lists' "Abrir endereço…" item: either asks for the address.
        setTextHandler([this](QWidget *, const TextRequest &) {
            hooks << QStringLiteral("address");
            return QString();
        });
        QObject::connect(
            &window, &MainWindow::playlistRequested, [this] { hooks << QStringLiteral("playlist"); });
        QObject::connect(&window, &MainWindow::channelStepRequested,
            [this](int step) { hooks << QStringLiteral("step %1").arg(step); });
        QObject::connect(
            &window, &MainWindow::lastChannelRequested, [this] { hooks << QStringLiteral("last channel"); });
        QObject::connect(&window, &MainWindow::channelDigitTyped,
            [this](int digit) { hooks << QStringLiteral("digit %1").arg(digit); });
        chooser.hooks = &hooks;
        player().transport().setFileChooser(&chooser);
        setMessageHandler([](QWidget *, const MessageRequest &request) { return request.escapeButton; });
        engine->setUrl(QStringLiteral("http://127.0.0.1/clip.mp4"));
        engine->emitState(MediaEngine::State::Playing);
        engine->setPosition(60, QStringLiteral("01:00"));
        engine->setDuration(600, QStringLiteral("10:00"));
        window.show();
        window.activateWindow();
        active = QTest::qWaitForWindowActive(&window);
        window.setFocus();
        engine->calls.clear();
    }
    ~Harness()
    {
        setMessageHandler({});
        setTextHandler({});
    }
    MainWindow &window = program.mainWindow();
    RecordingChooser chooser;
    QStringList hooks;
    bool active = false;
};
} // namespace

class KeyboardShortcutsTest : public QObject
{
    Q_OBJECT

private slots:
    void eachKeyDoesItsJob_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("effect");
        const int none = Qt::NoModifier;
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("Space pauses what plays") << int(Qt::Key_Space) << none << "pause";
        QTest::newRow("F11 full screen") << int(Qt::Key_F11) << none << "setFullScreen 1";
        QTest::newRow("Alt+Enter full screen")
            << int(Qt::Key_Return) << int(Qt::AltModifier) << "setFullScreen 1";
        QTest::newRow("M mutes") << int(Qt::Key_M) << none << "setMute 1";
        QTest::newRow("Up raises the volume") << int(Qt::Key_Up) << none << "setVolume 53";
        QTest::newRow("Down lowers the volume") << int(Qt::Key_Down) << none << "setVolume 47";
        QTest::newRow("Left goes back 15 s") << int(Qt::Key_Left) << none << "setCurrentPosition 45";
        QTest::newRow("Right goes on 15 s") << int(Qt::Key_Right) << none << "setCurrentPosition 75";
        QTest::newRow("Ctrl+O open file") << int(Qt::Key_O) << ctrl << "hook file";
        QTest::newRow("Ctrl+L open address") << int(Qt::Key_L) << ctrl << "hook address";
        QTest::newRow("Ctrl+P playlist") << int(Qt::Key_P) << ctrl << "hook playlist";
        QTest::newRow("Ctrl+Q quits") << int(Qt::Key_Q) << ctrl << "close";
        QTest::newRow("PageUp previous channel") << int(Qt::Key_PageUp) << none << "hook step -1";
        QTest::newRow("PageDown next channel") << int(Qt::Key_PageDown) << none << "hook step 1";
        QTest::newRow("Backspace channel before") << int(Qt::Key_Backspace) << none << "hook last channel";
        QTest::newRow("a digit types a channel number") << int(Qt::Key_7) << none << "hook digit 7";
        QTest::newRow("a keypad digit too") << int(Qt::Key_0) << int(Qt::KeypadModifier) << "hook digit 0";
        QTest::newRow("Ctrl+digit is no channel number") << int(Qt::Key_7) << ctrl << "";
        QTest::newRow("a plain letter does nothing") << int(Qt::Key_O) << none << "";
    }
    void eachKeyDoesItsJob()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, effect);
        Harness h;
        QTest::keyClick(&h.window, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (effect.isEmpty()) {
            QCOMPARE(h.engine->calls, QStringList());
            QCOMPARE(h.hooks, QStringList());
        } else if (effect.startsWith(QLatin1String("hook "))) {
            QCOMPARE(h.hooks, QStringList { effect.mid(5) });
        } else {
            QVERIFY2(h.engine->calls.contains(effect), qPrintable(h.engine->calls.join(QLatin1Char(','))));
        }
    }

    void escapeLeavesFullScreen()
    {
        Harness h;
        QTest::keyClick(&h.window, Qt::Key_F11);
        QVERIFY(h.engine->isFullScreen());
        QTest::keyClick(&h.window, Qt::Key_Escape);
        QVERIFY(!h.engine->isFullScreen());
    }

    void textFieldKeepsTheKeysItTypes()
    {
        Harness h;
        QVERIFY(h.active);
        auto *field = new QLineEdit(&h.window);
        field->show();
        field->setFocus();
        QCOMPARE(QApplication::focusWidget(), field);
        QTest::keyClicks(field, QStringLiteral("m m"));
        QTest::keyClick(field, Qt::Key_Left);
        QCOMPARE(field->text(), QStringLiteral("m m"));
        QCOMPARE(h.engine->calls, QStringList());
    }

    void focusedButtonIsPressedByEnterAndKeepsSpace()
    {
        Harness h;
        QVERIFY(h.active);
        QAbstractButton *stop = h.window.findChild<PlayerPanel *>(QStringLiteral("PlayerPanel"))->m_stop;
        h.window.switchToPlayerTab();
        stop->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), stop);
        QSignalSpy clicks(stop, &QAbstractButton::clicked);
        QTest::keyClick(stop, Qt::Key_Return);
        QTest::keyClick(stop, Qt::Key_Space);
        QCOMPARE(clicks.count(), 2);
        QVERIFY(!h.engine->calls.contains(QStringLiteral("pause")));
    }
};

QTEST_MAIN(KeyboardShortcutsTest)
#include "keyboard_shortcuts_test.moc"
