#pragma once

#include <exception>
#include <utility>

// Runs a handler body so that no exception leaves it: a failing engine call
// ends the handler, as the program's handlers expect, and never crosses a Qt
// slot. Returns false when the body threw.
template <typename Body> bool safeCall(Body &&body) noexcept
{
    try {
        std::forward<Body>(body)();
        return true;
    } catch (const std::exception &) {
        return false;
    } catch (...) {
        return false;
    }
}
