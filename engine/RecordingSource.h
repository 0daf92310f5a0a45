#pragma once

#include <QString>

// Where a recording reads from: a channel's stream as its list gave it.
struct RecordingSource {
    QString address; // checked by the address rule as a list stream (network only)
    QString userAgent; // empty: the engine's default
    QString referrer;
    bool verifyCertificates = true; // false only where the user accepted invalid certificates
};
