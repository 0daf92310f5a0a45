#pragma once

class QWidget;

// "Area Adulta" on the main window: a warning the user can only acknowledge,
// then the webcam page in the system's default browser (not the built-in one).
void openAdultArea(QWidget *parent);
