#pragma once

#include "app/MainWindow.h"
#include "app/Program.h"
#include "channels/ChannelCatalogue.h"
#include "player/Player.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/RecordingPowerOff.h"
#include "update/UpdateChecker.h"

#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

// The whole program on a FakeEngine, connected as it runs, with the update
// check off (it would fetch from the Internet every three seconds). The
// program's endings are counted, not carried out.
struct FakeProgram {
    explicit FakeProgram(
        FakeEngine *fake = new FakeEngine, const ChannelCatalogue &catalogue = ChannelCatalogue::builtIn())
        : engine(fake)
        , program(std::unique_ptr<MediaEngine>(fake), catalogue, std::make_unique<RecordingPowerOff>(), 0)
        , endings(&program, &Program::endRequested)
    {
        if (program.started())
            program.updateChecker().checkTimer()->stop();
    }

    MainWindow &window() { return program.mainWindow(); }
    Player &player() { return program.player(); }
    // A timer of the main window, found by the name the design gives it.
    QTimer *windowTimer(const char *name) { return window().findChild<QTimer *>(QString::fromLatin1(name)); }
    QToolButton *button(const char *name)
    {
        return window().findChild<QToolButton *>(QString::fromLatin1(name));
    }

    FakeEngine *engine;
    Program program;
    QSignalSpy endings;
};
