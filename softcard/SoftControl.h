#pragma once
// The software card's settings and the waits tests need, exported beside `SFManager` as the
// data record `SoftCardControl`. Described once, so the library and its users can't disagree.

#include "engine/SfmInterface.h"

#include <cstdint>

constexpr const char* kSoftControlName = "SoftCardControl";

// name, result, arguments.
#define SOFT_CONTROLS(OP)                                                                  \
    /* Every device's sound memory budget in bytes, kept with the card's state. */        \
    OP(SetSoundMemory, SfmResult, (std::uint32_t bytes))                                  \
    /* Returns once the banks remembered from the last run have their sound again. */     \
    OP(WaitUntilRestored, void, ())                                                       \
    /* Why the card can't be heard (no audio device): its length, 0 while it plays. */   \
    OP(AudioFailure, std::uint32_t, (char* text, std::uint32_t room))                     \
    /* Where the card keeps its state, as UTF-8; returns the path's length. */            \
    OP(StatePath, std::uint32_t, (char* text, std::uint32_t room))

struct SoftControlTable {
#define SOFT_DECLARE_CONTROL(name, result, arguments) result(SFM_CALL* name) arguments;
    SOFT_CONTROLS(SOFT_DECLARE_CONTROL)
#undef SOFT_DECLARE_CONTROL
};
