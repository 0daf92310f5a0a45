#pragma once

#include <QWidget>

// The mini player: a small borderless window that stands in for the main window.
class TForm6 : public QWidget
{
    Q_OBJECT

public:
    explicit TForm6(QWidget *parent = nullptr);
};
