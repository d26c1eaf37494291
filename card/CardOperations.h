#pragma once
// What the program's commands do to a sound card, apart from any window: the bank a load goes
// to, the device it goes to by default, whether a file fits, the loads, deletes and clears, the
// preview bank's instrument, and the memory meter's figures. Each command opens the device it
// needs for as long as it needs it. Needs no Windows header.

#include "card/LoadFit.h"
#include "engine/EngineResult.h"
#include "engine/SoundFontEngine.h"

#include <cstdint>
#include <functional>
#include <string>

// Where sounds on disk are placed for previewing: a device, a bank kept free of loads, and the
// preset number in it.
struct PreviewBank {
    int device = 0;
    int bank = 0;
    int preset = 0;
};

// A command's result, and whether it was the device's open that failed (the messages differ).
struct CardResult {
    EngineResult result;
    bool openFailed = false;

    bool Ok() const { return result.Ok(); }
};

// The meter's figures for a device, and for a file what it needs of it.
struct MeterFigures {
    // Both 0 when the device can't be opened or can't tell.
    std::uint32_t totalBytes = 0;
    std::uint32_t freeBytes = 0;
    // The file's sample data, when a file was given and its size could be read.
    bool needKnown = false;
    std::uint64_t neededBytes = 0;
};

class CCardOperations {
public:
    explicit CCardOperations(CSoundFontEngine& engine) : m_engine(engine) {}

    // The highest empty bank from 1 to 127, the preview bank left out; on a full device the top
    // bank (126 when the preview bank is 127 of that device); 0 when the device can't be opened.
    int FreeBank(int device, const PreviewBank& preview);
    // The first device whose name `enabled` accepts; device 0 when none does.
    int DefaultDevice(const std::function<bool(const std::string& name)>& enabled);
    LoadFit CheckFit(int device, int bank, const std::string& path);

    CardResult Load(int device, int bank, const std::string& path);
    CardResult DeleteBank(int device, int bank);
    // Empties banks 1 to 127.
    CardResult Clear(int device);

    // Takes the previewed instrument out of the preview bank; nothing when the device won't open.
    void ClearPreviewInstrument(const PreviewBank& preview);
    CardResult LoadPreviewPreset(const PreviewBank& preview, int sourceBank, int sourcePreset,
                                 const std::string& path);
    CardResult LoadPreviewWave(const PreviewBank& preview, const std::string& path);

    MeterFigures Meter(int device);
    // The device's figures and what the SoundFont file at `path` needs.
    MeterFigures MeterForFile(int device, const std::string& path);

private:
    CSoundFontEngine& m_engine;
};
