#pragma once
// The simulated card's switches for tests, exported beside `SFManager` as the data record
// `SimControl`. Tonewell never uses it. Described once, like the operation table, so the
// simulated engine and the tests can't disagree about it.

#include "engine/SfmInterface.h"

#include <cstdint>

constexpr const char* kSimControlName = "SimControl";
constexpr std::uint32_t kSimForever = 0xFFFFFFFFu;

// name, result, arguments. Results: 0 done, 1 an argument out of range.
#define SIM_CONTROLS(OP)                                                                          \
    /* Two devices with their default names and memory, every bank empty, no switches, no     \
       call counts, and no state file. */                                                     \
    OP(Reset, void, ())                                                                       \
    OP(SetDeviceCount, int, (std::uint32_t count))                                            \
    OP(SetDeviceName, int, (std::uint32_t device, const char* name))                          \
    OP(SetDeviceMemory, int, (std::uint32_t device, std::uint32_t bytes))                     \
    OP(SetCapabilitiesUnreadable, int, (std::uint32_t device, int unreadable))                \
    /* Every call of the slot answers `code` without acting; 0 switches that off. */           \
    OP(FailSlot, int, (int slot, SfmResult code))                                             \
    /* The next `clears` clears of the bank (kSimForever: all) succeed but leave it loaded. */ \
    OP(KeepBankLoaded, int, (std::uint32_t device, std::uint32_t bank, std::uint32_t clears)) \
    OP(AnswerBankAs, int, (std::uint32_t device, std::uint32_t bank, std::uint32_t answer))   \
    OP(CallCount, std::uint32_t, (int slot))                                                  \
    /* How many opens of the device are not yet closed. */                                   \
    OP(OpenCount, std::uint32_t, (std::uint32_t device))                                      \
    /* The last path handed to slot 11, 15 or 18, as its text (returning its length), its    \
       size field and its 16-bit field. */                                                    \
    OP(LastPath, std::uint32_t,                                                               \
       (char* text, std::uint32_t room, std::uint32_t* size, std::uint16_t* reserved))        \
    /* Where the card keeps its state between runs; returns the path's length. */             \
    OP(StatePath, std::uint32_t, (char* text, std::uint32_t room))

struct SimControlTable {
#define SIM_DECLARE_CONTROL(name, result, arguments) result(SFM_CALL* name) arguments;
    SIM_CONTROLS(SIM_DECLARE_CONTROL)
#undef SIM_DECLARE_CONTROL
};
