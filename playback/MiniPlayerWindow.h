#pragma once

#include <QWidget>

class QLabel;
class QTimer;
class FlatButton;
class Transport;

// The mini player: a small borderless, half-transparent window that stands in
// for the main window. Its buttons drive the transport as the main window's
// do, and it shows the transport's time and title; it is dragged by its
// surface and snaps to the screen edges.
class MiniPlayerWindow : public QWidget
{
    Q_OBJECT

public:
    // mainWindow is the window it stands in for, centred on when first shown.
    MiniPlayerWindow(Transport &transport, QWidget &mainWindow, QWidget *parent = nullptr);

    // The time and title text, two lines.
    void setText(const QString &text);
    // Where the window's top-left corner goes when it has come near a screen edge.
    static QPoint snapped(QPoint topLeft, QSize screen);
    void snapToEdgesTick();

    QLabel *m_text;
    QTimer *m_snapTimer;

signals:
    // "ê": back to the main window (or to the mini player, from there).
    void switchRequested();
    // "x": the program is to close, as its main window's closing does.
    void closeRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    FlatButton *button(
        const char *name, const QString &glyph, int left, QWidget *panel, const QString &label);

    Transport &m_transport;
    QWidget &m_main;
    bool m_placed = false;
};
