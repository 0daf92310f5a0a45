#pragma once

#include "options/PowerOffService.h"

// Counts power-off requests; powers nothing off.
class RecordingPowerOff : public PowerOffService
{
public:
    void powerOff() override { ++calls; }

    int calls = 0;
};
