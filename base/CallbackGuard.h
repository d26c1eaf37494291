#pragma once
// The edge of a function the platform calls: a window or dialog procedure, a COM method. No
// exception may unwind through it, since the platform's frames between it and our caller can't
// pass one on. The guard catches it, traces where it was stopped and why, and gives the call's
// failure value instead.

#include "base/Diagnostics.h"

#include <exception>

template <typename Result, typename Body>
Result GuardCallback(const char* where, Result failure, Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::exception& error) {
        DebugTrace("%s: stopped by an exception (%s)\n", where, error.what());
    } catch (...) {
        DebugTrace("%s: stopped by an exception of an unknown kind\n", where);
    }
    return failure;
}
