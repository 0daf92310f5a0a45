#pragma once

#include "app/MainWindow.h"
#include "app/Program.h"
#include "channels/ChannelCatalogue.h"
#include "player/Player.h"
#include "tests/support/RecordingPowerOff.h"
#include "update/UpdateChecker.h"
#include "widgets/MessageBox.h"

#include <QTimer>
#include <memory>

// The whole program on the built-in channels, with the update check off (it
// would fetch from the Internet every three seconds) and every message box
// answered "Cancel" and kept in asked.
struct RunningProgram {
    explicit RunningProgram(std::unique_ptr<MediaEngine> engine)
        : catalogue(ChannelCatalogue::builtIn())
        , program(std::move(engine), catalogue, std::make_unique<RecordingPowerOff>(), 0)
    {
        if (program.started())
            program.updateChecker().checkTimer()->stop();
        setMessageHandler([this](QWidget *, const MessageRequest &request) {
            asked << request.text;
            return QMessageBox::Cancel;
        });
    }
    ~RunningProgram() { setMessageHandler({}); }
    RunningProgram(const RunningProgram &) = delete;
    RunningProgram &operator=(const RunningProgram &) = delete;

    MainWindow &form() { return program.mainWindow(); }
    Player &player() { return program.player(); }
    MediaEngine &engine() { return program.player().engine(); }
    // A timer of the main window, found by the name the design gives it.
    QTimer *windowTimer(const char *name) { return form().findChild<QTimer *>(QString::fromLatin1(name)); }

    ChannelCatalogue catalogue;
    Program program;
    QStringList asked;
};
