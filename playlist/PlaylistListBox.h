#pragma once

#include <QListWidget>

// The playlist's display list. Reports mouse down and up after the list has
// moved its current item to the pointer, as the window's reordering needs,
// and the keys before the list handles them.
class PlaylistListBox : public QListWidget
{
    Q_OBJECT

public:
    explicit PlaylistListBox(QWidget *parent = nullptr);

signals:
    // A left press on an item, after the list has made it current.
    void itemClick();
    void mouseDown();
    void mouseUp();
    void keyDown(int key);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
