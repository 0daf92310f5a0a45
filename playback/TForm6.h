#pragma once

#include <QWidget>

class QLabel;
class QTimer;
class SpeedButton;
class TForm1;

// The mini player: a small borderless, half-transparent window that stands in
// for the main window. Its buttons press the main window's transport buttons;
// it is dragged by its surface and snaps to the screen edges.
class TForm6 : public QWidget
{
    Q_OBJECT

public:
    explicit TForm6(TForm1 &mainWindow, QWidget *parent = nullptr);

    // The time and title text, two lines.
    void setText(const QString &text);
    // Where the window's top-left corner goes when it has come near a screen edge.
    static QPoint snapped(QPoint topLeft, QSize screen);
    void Timer1Timer();

    QLabel *Label1;
    QTimer *Timer1;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    SpeedButton *button(const char *name, const QString &glyph, int left, QWidget *panel, const QString &label);

    TForm1 &m_main;
    bool m_placed = false;
};
