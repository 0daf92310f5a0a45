#pragma once

#include "player/Transport.h"

// The open dialog's answer, given by the test: a path, or empty for "cancel".
struct FixedFileChooser : MediaFileChooser {
    QString chooseMediaFile() override { return answer; }
    QString answer;
};
