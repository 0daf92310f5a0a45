#pragma once

#include "base/Logging.h"

#include <exception>
#include <utility>

// Runs a handler body so that no exception leaves it: a failing engine call
// ends the handler, as the program's handlers expect, and never crosses a Qt
// slot. What was caught is logged (lumi.base, info). Returns false when the
// body threw.
template <typename Body> bool safeCall(Body &&body) noexcept
{
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const std::exception &error) {
        qCInfo(lumiBase) << "handler ended by:" << error.what();
        return false;
    } catch (...) {
        qCInfo(lumiBase) << "handler ended by an unknown exception";
        return false;
    }
}
