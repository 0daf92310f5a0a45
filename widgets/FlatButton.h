#pragma once

#include <QToolButton>

class QFont;

// A flat caption or glyph button placed at design coordinates. Mouse down and
// mouse up are the pressed() and released() signals of QAbstractButton.
class FlatButton : public QToolButton
{
    Q_OBJECT

public:
    // Creates the button with its object name, caption and bounds on parent.
    FlatButton(const QString &name, const QString &caption, QWidget *parent, int left, int top, int width,
        int height);

    // Buttons that show only a glyph or a logo get a readable name for screen readers.
    void setAccessibleLabel(const QString &label);
};

// Glyph captions of the transport symbols, drawn with Unicode symbols the
// common Linux fonts carry.
namespace Glyph
{
inline const QString Previous = QStringLiteral("|\u25C0");
inline const QString Rewind = QStringLiteral("\u25C0\u25C0");
inline const QString Play = QStringLiteral("\u25B6");
inline const QString Stop = QStringLiteral("\u25A0");
inline const QString Forward = QStringLiteral("\u25B6\u25B6");
inline const QString Next = QStringLiteral("\u25B6|");
inline const QString Eject = QStringLiteral("\u23CF");
inline const QString Repeat = QStringLiteral("\u21BB");
inline const QString MiniPlayer = QStringLiteral("\u25A3");
inline const QString UpArrow = QStringLiteral("\u25B2");
inline const QString DownArrow = QStringLiteral("\u25BC");
inline const QString Lyrics = QStringLiteral("\u266B");
} // namespace Glyph
