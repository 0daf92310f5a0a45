#include "app/KeyboardShortcuts.h"

#include "base/SafeCall.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

bool KeyboardShortcuts::isTextField(const QWidget *widget)
{
    if (!widget)
        return false;
    if (qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget))
        return true;
    if (const auto *combo = qobject_cast<const QComboBox *>(widget))
        return combo->isEditable();
    if (const auto *text = qobject_cast<const QTextEdit *>(widget))
        return !text->isReadOnly();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(widget))
        return !plain->isReadOnly();
    return false;
}

bool KeyboardShortcuts::commandFor(int key, Qt::KeyboardModifiers modifiers, Command *command)
{
    // The keypad flag is not a modifier the user means.
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    const bool plain = held == Qt::NoModifier;
    const bool ctrl = held == Qt::ControlModifier;
    const auto found = [command](Command c) {
        *command = c;
        return true;
    };
    switch (key) {
    case Qt::Key_Space:
        return plain && found(Command::PlayPause);
    case Qt::Key_F11:
        return plain && found(Command::FullScreen);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Shift held by accident does not stop Alt+Enter.
        return (held & ~Qt::ShiftModifier) == Qt::AltModifier && found(Command::FullScreen);
    case Qt::Key_Escape:
        return plain && found(Command::Leave);
    case Qt::Key_M:
        return plain && found(Command::Mute);
    case Qt::Key_Up:
        return plain && found(Command::VolumeUp);
    case Qt::Key_Down:
        return plain && found(Command::VolumeDown);
    case Qt::Key_Left:
        return plain && found(Command::SeekBack);
    case Qt::Key_Right:
        return plain && found(Command::SeekForward);
    case Qt::Key_O:
        return ctrl && found(Command::OpenFile);
    case Qt::Key_L:
        return ctrl && found(Command::OpenAddress);
    case Qt::Key_P:
        return ctrl && found(Command::Playlist);
    case Qt::Key_Q:
        return ctrl && found(Command::Quit);
    case Qt::Key_PageUp:
        return plain && found(Command::PreviousChannel);
    case Qt::Key_PageDown:
        return plain && found(Command::NextChannel);
    case Qt::Key_Backspace:
        return plain && found(Command::LastChannel);
    default:
        return false;
    }
}

bool KeyboardShortcuts::handle(const QKeyEvent &event, QWidget *focus) const
{
    if (isTextField(focus))
        return false;
    const int key = event.key();
    const bool plain = (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (auto *button = qobject_cast<QAbstractButton *>(focus)) {
        if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
        // Space presses the button and the arrows move among its neighbours.
        const bool buttonsOwn = key == Qt::Key_Space || key == Qt::Key_Left || key == Qt::Key_Right
            || key == Qt::Key_Up || key == Qt::Key_Down;
        if (plain && buttonsOwn)
            return false;
    }
    // Digits of the main row or the keypad.
    if (plain && key >= Qt::Key_0 && key <= Qt::Key_9 && m_digit) {
        const int digit = key - Qt::Key_0;
        safeCall([this, digit] { m_digit(digit); });
        return true;
    }
    Command command;
    if (!commandFor(key, event.modifiers(), &command))
        return false;
    const auto handler = m_handlers.constFind(command);
    if (handler != m_handlers.cend() && *handler)
        safeCall(*handler);
    return true;
}
