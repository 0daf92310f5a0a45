#include "playback/TForm6.h"

TForm6::TForm6(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Form6"));
    setFixedSize(217, 65);
}
