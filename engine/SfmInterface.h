#pragma once
// The binary interface of the SoundFont Management System: the exported entry record, the
// operation table and the records handed to it. The binding and the simulated engine are both
// built on this one description, so a slot, name or argument that differs between them fails
// to compile. Needs no Windows header.

#include "engine/SfmResult.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Every operation uses the C calling convention: the caller removes the arguments.
#if defined(_WIN32)
#define SFM_CALL __cdecl
#else
#define SFM_CALL
#endif

constexpr const char* kSfmLibraryName = "SFMAN32.DLL";
constexpr const char* kSfmEntryName = "SFManager";
constexpr std::uint32_t kSfmInterfaceId = 0x10001;

// Where a bank or preset sits. Bank-level operations leave the preset number meaningless.
struct SfmLocation {
    std::uint16_t bank;
    std::uint16_t preset;
};

// A text handed to or received from the engine.
struct SfmBuffer {
    // A path handed over: its length with the terminating zero. A text received: the room for
    // it, 1023, in a 1024-byte area whose last byte stays zero.
    std::uint32_t size;
    char* text;
    // What the engine says it wrote; never relied on.
    std::uint32_t length;
    // 0 for paths.
    std::uint16_t reserved;
};

static_assert(sizeof(SfmLocation) == 4, "a location is two 16-bit numbers");
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(SfmBuffer, text) == 4 && offsetof(SfmBuffer, length) == 8 &&
                  offsetof(SfmBuffer, reserved) == 12,
              "the buffer is 32-bit size, address and length, then a 16-bit field");
#endif

// A device's capabilities: only the name is read, zero-terminated text from byte 22.
constexpr std::size_t kSfmCapabilitiesSize = 104;
constexpr std::size_t kSfmDeviceNameOffset = 22;
struct SfmCapabilities {
    unsigned char bytes[kSfmCapabilitiesSize];
};

// The device name in a capabilities record, up to its zero byte or the record's end.
std::string SfmCapabilitiesName(const SfmCapabilities& capabilities);
// Writes a name at its offset, cut to the room left in the record, always zero-terminated.
void SfmSetCapabilitiesName(SfmCapabilities& capabilities, const std::string& name);

// A card's side of the text buffers. Text handed over: at most `size` bytes, up to its zero;
// false without a buffer.
bool SfmTakeText(const SfmBuffer* buffer, std::string& text);
// Text handed back: at most `size` bytes written, the zero only when there is room, and the
// whole length told; kSfmUndefinedError without a buffer.
SfmResult SfmGiveText(SfmBuffer* buffer, const std::string& text);
// Text handed back into a plain room of `room` bytes, as the cards' control tables do: cut to
// fit, always zero-terminated; returns the whole text's length.
std::uint32_t SfmCopyText(const std::string& text, char* target, std::uint32_t room);

// The operation table: slot, name, arguments. Device numbers are 16-bit, except for the
// capabilities query, which takes the index as a 32-bit value. Slots 2, 3, 8, 9 and 10 are
// never called by this program.
#define SFM_OPERATIONS(OP)                                                                    \
    OP(0, DeviceCount, (std::uint16_t * count))                                               \
    OP(1, Capabilities, (std::uint32_t device, SfmCapabilities * capabilities))               \
    OP(2, Unused2, ())                                                                        \
    OP(3, Unused3, ())                                                                        \
    OP(4, OpenDevice, (std::uint16_t device))                                                 \
    OP(5, CloseDevice, (std::uint16_t device))                                                \
    OP(6, QueryBank, (std::uint16_t device, std::uint16_t * bank))                            \
    OP(7, MemoryStatus,                                                                       \
       (std::uint16_t device, std::uint32_t * total, std::uint32_t * available))              \
    OP(8, Unused8, ())                                                                        \
    OP(9, Unused9, ())                                                                        \
    OP(10, Unused10, ())                                                                      \
    OP(11, LoadBank, (std::uint16_t device, SfmLocation * location, SfmBuffer * path))        \
    OP(12, BankName, (std::uint16_t device, SfmLocation * location, SfmBuffer * text))        \
    OP(13, BankFileName, (std::uint16_t device, SfmLocation * location, SfmBuffer * text))    \
    OP(14, ClearBank, (std::uint16_t device, SfmLocation * location))                         \
    OP(15, LoadPreset,                                                                        \
       (std::uint16_t device, SfmLocation * source, SfmLocation * destination,                \
        SfmBuffer * path))                                                                    \
    OP(16, PresetName, (std::uint16_t device, SfmLocation * location, SfmBuffer * text))      \
    OP(17, ClearPreset, (std::uint16_t device, SfmLocation * location))                       \
    OP(18, LoadWave, (std::uint16_t device, SfmLocation * location, SfmBuffer * path))

struct SfmOperationTable {
#define SFM_DECLARE_SLOT(slot, name, arguments) SfmResult(SFM_CALL* name) arguments;
    SFM_OPERATIONS(SFM_DECLARE_SLOT)
#undef SFM_DECLARE_SLOT
};

#define SFM_CHECK_SLOT(slot, name, arguments)                                  \
    static_assert(offsetof(SfmOperationTable, name) == (slot) * sizeof(void*), \
                  #name " belongs in slot " #slot);
SFM_OPERATIONS(SFM_CHECK_SLOT)
#undef SFM_CHECK_SLOT

// Slot numbers by name, for the simulated engine's failure switches and call counts.
namespace SfmSlot {
enum : int {
#define SFM_NAME_SLOT(slot, name, arguments) name = (slot),
    SFM_OPERATIONS(SFM_NAME_SLOT)
#undef SFM_NAME_SLOT
};
} // namespace SfmSlot

constexpr int kSfmSlotCount = static_cast<int>(sizeof(SfmOperationTable) / sizeof(void*));
static_assert(kSfmSlotCount == 19, "slots 0 to 18");

// The exported `SFManager` record: a data export whose first member is the interface request.
// A zero result means the table's address was written to `operations`.
using SfmRequestInterface = SfmResult(SFM_CALL*)(std::uint32_t interfaceId,
                                                 const SfmOperationTable** operations);
struct SfmEntry {
    SfmRequestInterface requestInterface;
};
