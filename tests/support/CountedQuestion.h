#pragma once

#include "player/Reconnection.h"

// The reconnection's dialogs for tests: counts the questions, answers "Cancel".
class CountedQuestion : public ReconnectionDialogs
{
public:
    bool mayAskToReconnect() const override { return true; }
    bool askToReconnect() override
    {
        ++asked;
        return false;
    }
    void tellCertificateRefused() override { }
    int asked = 0;
};
