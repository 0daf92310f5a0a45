#pragma once

#include <QHash>
#include <Qt>
#include <functional>

class QKeyEvent;
class QWidget;

// The main window's keys. A text field keeps every key it types; a button
// reached with the keyboard keeps Space and the arrows and is pressed by Enter.
class KeyboardShortcuts
{
public:
    enum class Command {
        PlayPause,
        FullScreen,
        Leave, // full screen and "Tela Limpa"
        Mute,
        VolumeUp,
        VolumeDown,
        SeekBack,
        SeekForward,
        OpenFile,
        OpenAddress,
        Playlist,
        Quit,
        PreviousChannel, // of the channel list as shown
        NextChannel,
        LastChannel, // back to the channel tuned before
    };

    void on(Command command, std::function<void()> handler)
    {
        m_handlers.insert(command, std::move(handler));
    }

    // A digit typed towards a channel number.
    void onDigit(std::function<void(int)> handler) { m_digit = std::move(handler); }

    // True when the key was the window's and has been carried out.
    bool handle(const QKeyEvent &event, QWidget *focus) const;
    // The command a key stands for with nothing focused; false when none.
    static bool commandFor(int key, Qt::KeyboardModifiers modifiers, Command *command);
    static bool isTextField(const QWidget *widget);

private:
    QHash<Command, std::function<void()>> m_handlers;
    std::function<void(int)> m_digit;
};
