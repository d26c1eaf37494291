#include "sim/SimOperations.h"

#include "sim/SimCard.h"
#include "cardmodel/CardState.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

namespace {

SimStatePathSource g_statePathSource = nullptr;

struct Engine {
    CSimCard card;
    std::string statePath;
    std::array<SfmResult, kSfmSlotCount> failures{};
    std::array<std::uint32_t, kSfmSlotCount> calls{};
    std::string lastPath;
    std::uint32_t lastPathSize = 0;
    std::uint16_t lastPathReserved = 0;

    // Writes the state after a change; the card goes on from memory if the file can't be written.
    SfmResult Keep(SfmResult result)
    {
        if (result == kSfmSuccess)
            Save();
        return result;
    }
    int KeepSwitch(bool accepted)
    {
        if (accepted)
            Save();
        return accepted ? 0 : 1;
    }
    void Save() const
    {
        if (!statePath.empty())
            SaveCardState(statePath, card.Contents());
    }
};

// The card comes up on first use with what it held at the end of the last run.
Engine StartEngine()
{
    Engine engine;
    engine.statePath = g_statePathSource ? g_statePathSource() : std::string();
    CardContents contents;
    if (!engine.statePath.empty() && LoadCardState(engine.statePath, contents))
        engine.card.Restore(std::move(contents));
    return engine;
}

std::mutex g_lock;

Engine& TheEngine()
{
    static Engine engine = StartEngine();
    return engine;
}

// Every slot: counted, failed on request, and never lets an exception out to the caller.
template <typename Operation>
SfmResult Run(int slot, Operation operation)
{
    std::lock_guard<std::mutex> hold(g_lock);
    try {
        Engine& engine = TheEngine();
        ++engine.calls[slot];
        if (engine.failures[slot] != kSfmSuccess)
            return engine.failures[slot];
        return operation(engine);
    } catch (const std::bad_alloc&) {
        return kSfmSystemMemoryInsufficient;
    }
}

// A path handed over, remembered for the tests.
bool TakePath(Engine& engine, const SfmBuffer* buffer, std::string& path)
{
    if (!SfmTakeText(buffer, path))
        return false;
    engine.lastPath = path;
    engine.lastPathSize = buffer->size;
    engine.lastPathReserved = buffer->reserved;
    return true;
}

SfmResult SFM_CALL SimDeviceCount(std::uint16_t* count)
{
    return Run(SfmSlot::DeviceCount, [&](Engine& engine) {
        if (!count)
            return kSfmUndefinedError;
        *count = engine.card.DeviceCount();
        return kSfmSuccess;
    });
}

SfmResult SFM_CALL SimCapabilities(std::uint32_t device, SfmCapabilities* capabilities)
{
    return Run(SfmSlot::Capabilities, [&](Engine& engine) {
        std::string name;
        SfmResult result = capabilities ? engine.card.DeviceName(device, name) : kSfmUndefinedError;
        if (result == kSfmSuccess) {
            std::memset(capabilities, 0, sizeof *capabilities);
            SfmSetCapabilitiesName(*capabilities, name);
        }
        return result;
    });
}

SfmResult Unused(int slot)
{
    return Run(slot, [](Engine&) { return kSfmSupportInvalid; });
}

SfmResult SFM_CALL SimUnused2() { return Unused(SfmSlot::Unused2); }
SfmResult SFM_CALL SimUnused3() { return Unused(SfmSlot::Unused3); }
SfmResult SFM_CALL SimUnused8() { return Unused(SfmSlot::Unused8); }
SfmResult SFM_CALL SimUnused9() { return Unused(SfmSlot::Unused9); }
SfmResult SFM_CALL SimUnused10() { return Unused(SfmSlot::Unused10); }

SfmResult SFM_CALL SimOpenDevice(std::uint16_t device)
{
    return Run(SfmSlot::OpenDevice, [&](Engine& engine) { return engine.card.Open(device); });
}

SfmResult SFM_CALL SimCloseDevice(std::uint16_t device)
{
    return Run(SfmSlot::CloseDevice, [&](Engine& engine) { return engine.card.Close(device); });
}

SfmResult SFM_CALL SimQueryBank(std::uint16_t device, std::uint16_t* bank)
{
    return Run(SfmSlot::QueryBank, [&](Engine& engine) {
        return bank ? engine.card.QueryBank(device, *bank) : kSfmUndefinedError;
    });
}

SfmResult SFM_CALL SimMemoryStatus(std::uint16_t device, std::uint32_t* total,
                                   std::uint32_t* available)
{
    return Run(SfmSlot::MemoryStatus, [&](Engine& engine) {
        return total && available ? engine.card.MemoryStatus(device, *total, *available)
                                  : kSfmUndefinedError;
    });
}

SfmResult SFM_CALL SimLoadBank(std::uint16_t device, SfmLocation* location, SfmBuffer* path)
{
    return Run(SfmSlot::LoadBank, [&](Engine& engine) {
        std::string file;
        if (!location || !TakePath(engine, path, file))
            return kSfmUndefinedError;
        return engine.Keep(engine.card.LoadBank(device, location->bank, file));
    });
}

SfmResult SFM_CALL SimBankName(std::uint16_t device, SfmLocation* location, SfmBuffer* text)
{
    return Run(SfmSlot::BankName, [&](Engine& engine) {
        std::string name;
        SfmResult result =
            location ? engine.card.BankName(device, location->bank, name) : kSfmUndefinedError;
        return result == kSfmSuccess ? SfmGiveText(text, name) : result;
    });
}

SfmResult SFM_CALL SimBankFileName(std::uint16_t device, SfmLocation* location, SfmBuffer* text)
{
    return Run(SfmSlot::BankFileName, [&](Engine& engine) {
        std::string name;
        SfmResult result =
            location ? engine.card.BankFileName(device, location->bank, name) : kSfmUndefinedError;
        return result == kSfmSuccess ? SfmGiveText(text, name) : result;
    });
}

SfmResult SFM_CALL SimClearBank(std::uint16_t device, SfmLocation* location)
{
    return Run(SfmSlot::ClearBank, [&](Engine& engine) {
        return location ? engine.Keep(engine.card.ClearBank(device, location->bank))
                        : kSfmUndefinedError;
    });
}

SfmResult SFM_CALL SimLoadPreset(std::uint16_t device, SfmLocation* source,
                                 SfmLocation* destination, SfmBuffer* path)
{
    return Run(SfmSlot::LoadPreset, [&](Engine& engine) {
        std::string file;
        if (!source || !destination || !TakePath(engine, path, file))
            return kSfmUndefinedError;
        return engine.Keep(engine.card.LoadPreset(device, *source, *destination, file));
    });
}

SfmResult SFM_CALL SimPresetName(std::uint16_t device, SfmLocation* location, SfmBuffer* text)
{
    return Run(SfmSlot::PresetName, [&](Engine& engine) {
        std::string name;
        SfmResult result =
            location ? engine.card.PresetName(device, *location, name) : kSfmUndefinedError;
        return result == kSfmSuccess ? SfmGiveText(text, name) : result;
    });
}

SfmResult SFM_CALL SimClearPreset(std::uint16_t device, SfmLocation* location)
{
    return Run(SfmSlot::ClearPreset, [&](Engine& engine) {
        return location ? engine.Keep(engine.card.ClearPreset(device, *location))
                        : kSfmUndefinedError;
    });
}

SfmResult SFM_CALL SimLoadWave(std::uint16_t device, SfmLocation* location, SfmBuffer* path)
{
    return Run(SfmSlot::LoadWave, [&](Engine& engine) {
        std::string file;
        if (!location || !TakePath(engine, path, file))
            return kSfmUndefinedError;
        return engine.Keep(engine.card.LoadWave(device, *location, file));
    });
}

const SfmOperationTable kOperationTable = {
#define SIM_SLOT(slot, name, arguments) Sim##name,
    SFM_OPERATIONS(SIM_SLOT)
#undef SIM_SLOT
};

// The test switches run under the same lock as the slots.
template <typename Control>
auto Controlled(Control control)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return control(TheEngine());
}

void SFM_CALL SimReset()
{
    Controlled([](Engine& engine) {
        std::string statePath = engine.statePath;
        engine = Engine();
        engine.statePath = statePath;
        if (!statePath.empty())
            std::remove(statePath.c_str());
    });
}

int SFM_CALL SimSetDeviceCount(std::uint32_t count)
{
    return Controlled(
        [&](Engine& engine) { return engine.KeepSwitch(engine.card.SetDeviceCount(count)); });
}

int SFM_CALL SimSetDeviceName(std::uint32_t device, const char* name)
{
    return Controlled([&](Engine& engine) {
        return engine.KeepSwitch(name && engine.card.SetDeviceName(device, name));
    });
}

int SFM_CALL SimSetDeviceMemory(std::uint32_t device, std::uint32_t bytes)
{
    return Controlled([&](Engine& engine) {
        return engine.KeepSwitch(engine.card.SetDeviceMemory(device, bytes));
    });
}

int SFM_CALL SimSetCapabilitiesUnreadable(std::uint32_t device, int unreadable)
{
    return Controlled([&](Engine& engine) {
        return engine.card.SetCapabilitiesUnreadable(device, unreadable != 0) ? 0 : 1;
    });
}

int SFM_CALL SimFailSlot(int slot, SfmResult code)
{
    return Controlled([&](Engine& engine) {
        if (slot < 0 || slot >= kSfmSlotCount)
            return 1;
        engine.failures[slot] = code;
        return 0;
    });
}

int SFM_CALL SimKeepBankLoaded(std::uint32_t device, std::uint32_t bank, std::uint32_t clears)
{
    return Controlled([&](Engine& engine) {
        bool accepted = bank <= 0xFFFF &&
                        engine.card.KeepBankLoaded(device, static_cast<std::uint16_t>(bank), clears);
        return accepted ? 0 : 1;
    });
}

int SFM_CALL SimAnswerBankAs(std::uint32_t device, std::uint32_t bank, std::uint32_t answer)
{
    return Controlled([&](Engine& engine) {
        bool accepted = bank <= 0xFFFF && answer <= 0xFFFF &&
                        engine.card.AnswerBankAs(device, static_cast<std::uint16_t>(bank),
                                                 static_cast<std::uint16_t>(answer));
        return accepted ? 0 : 1;
    });
}

std::uint32_t SFM_CALL SimCallCount(int slot)
{
    return Controlled([&](Engine& engine) {
        return slot >= 0 && slot < kSfmSlotCount ? engine.calls[slot] : 0u;
    });
}

std::uint32_t SFM_CALL SimOpenCount(std::uint32_t device)
{
    return Controlled([&](Engine& engine) { return engine.card.OpenCount(device); });
}

std::uint32_t SFM_CALL SimLastPath(char* text, std::uint32_t room, std::uint32_t* size,
                                   std::uint16_t* reserved)
{
    return Controlled([&](Engine& engine) {
        if (size)
            *size = engine.lastPathSize;
        if (reserved)
            *reserved = engine.lastPathReserved;
        return SfmCopyText(engine.lastPath, text, room);
    });
}

std::uint32_t SFM_CALL SimStatePath(char* text, std::uint32_t room)
{
    return Controlled([&](Engine& engine) { return SfmCopyText(engine.statePath, text, room); });
}

const SimControlTable kControlTable = {
#define SIM_CONTROL(name, result, arguments) Sim##name,
    SIM_CONTROLS(SIM_CONTROL)
#undef SIM_CONTROL
};

} // namespace

void SetSimStatePathSource(SimStatePathSource source)
{
    g_statePathSource = source;
}

const SfmOperationTable& SimOperations()
{
    return kOperationTable;
}

const SimControlTable& SimControls()
{
    return kControlTable;
}

SfmResult SFM_CALL SimRequestInterface(std::uint32_t interfaceId, const SfmOperationTable** operations)
{
    if (interfaceId != kSfmInterfaceId || !operations)
        return kSfmInterfaceNotSupported;
    *operations = &kOperationTable;
    return kSfmSuccess;
}
