#pragma once

#include "game/GamePorts.h"

#include <memory>

class ChannelCatalogue;
class MediaEngine;
class PowerOffService;
class MainWindow;
class OptionsWindow;
class BrowserProcess;
class AboutDialog;
class GameWindow;
class MiniPlayerWindow;
class FolderPickerWindow;
class AlternateAddressLists;
class UpdateWindow;
class PlaylistWindow;
class FaqDialog;
class ChannelListsHub;

// All eleven windows of a run, created once in a fixed order with the main
// window first, and destroyed together (side windows before the main window,
// whose engine they use).
class Program
{
public:
    Program(std::unique_ptr<MediaEngine> engine, const ChannelCatalogue &catalogue,
        std::unique_ptr<PowerOffService> powerOff, GamePorts gamePorts);
    ~Program();

    // False when the main window could not set up its engine.
    bool started() const;

    std::unique_ptr<MainWindow> form1;
    std::unique_ptr<PowerOffService> powerOff;
    std::unique_ptr<AboutDialog> form4;
    std::unique_ptr<OptionsWindow> form2;
    // The browser window runs in a process of its own; this is the player's side of it.
    std::unique_ptr<BrowserProcess> form3;
    std::unique_ptr<MiniPlayerWindow> form6;
    std::unique_ptr<PlaylistWindow> form10;
    std::unique_ptr<GameWindow> form5;
    std::unique_ptr<UpdateWindow> form9;
    std::unique_ptr<FolderPickerWindow> form7;
    std::unique_ptr<AlternateAddressLists> form8;
    std::unique_ptr<FaqDialog> form11;
    // The user's channel lists and their windows; start() brings the lists in.
    ChannelListsHub *channelLists = nullptr;
};

// The player's engine: made with the first thing played, and with it the GL
// share context the video needs; nothing of GL exists before.
std::unique_ptr<MediaEngine> makePlayerEngine();

// Program entry: application set-up, the windows, the message loop.
int runProgram(int argc, char **argv);
