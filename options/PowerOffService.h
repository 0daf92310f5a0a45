#pragma once

// Asks the system to power the computer off. The request may fail or be
// refused later; the implementation tells the user, the caller goes on.
class PowerOffService
{
public:
    virtual ~PowerOffService() = default;
    virtual void powerOff() = 0;
};
