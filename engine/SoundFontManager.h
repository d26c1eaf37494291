#pragma once
// The program's way to the sound card: loads the SoundFont Management System, obtains its
// operation table and wraps the device, bank, preset and memory operations. Every engine call
// keeps its result, so that a caller can show GetErrorText() after a failure.

#include "engine/SfmInterface.h"
#include "engine/SfmResult.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CSoundFontManager {
public:
    // Codes the binding returns itself; they are not kept as the last result.
    static constexpr SfmResult kLibraryNotLoaded = 1;
    static constexpr SfmResult kNoEntryPoint = 500;
    static constexpr SfmResult kInterfaceRefused = 501;
    static constexpr int kDeviceIndexOutOfRange = 502;
    static constexpr int kDeviceNotFound = 3;
    // Kept as the last result: a file whose path can't be written for the card (see CardPathOf).
    static constexpr SfmResult kNameNotPassable = 503;
    // Longest path handed to the engine; longer paths are cut.
    static constexpr std::size_t kMaxPathLength = 1023;
    // How often ClearBank clears a bank that still reports itself loaded before giving up.
    static constexpr int kMaxClearTries = 4;

    CSoundFontManager() = default;
    virtual ~CSoundFontManager();
    CSoundFontManager(const CSoundFontManager&) = delete;
    CSoundFontManager& operator=(const CSoundFontManager&) = delete;

    // Loads the library and requests its operation table: 0, or 1, 500 or 501 on failure (the
    // last result then holds 401, 402 or 404, which name the failure).
    SfmResult Initialize();
    // The text of the last result.
    const char* GetErrorText() const;
    SfmResult GetLastResult() const { return m_lastResult; }

    // Device list; no open device needed. Without an operation table there are no devices.
    int GetDeviceCount();
    int GetDeviceCapabilities(int index, SfmCapabilities& capabilities);
    int GetDeviceNames(std::vector<std::string>& names);
    int GetDeviceName(int index, std::string& name);
    int FindDevice(const std::string& name, int& index);

    // One device open at a time; the bank, preset and memory operations act on it.
    int OpenDevice(int index);
    // A successful close keeps the last result as it was; a failed one records its own.
    int CloseDevice();
    bool IsDeviceOpen() const { return m_deviceOpen; }

    // The bank number when the bank holds a SoundFont, -1 when it is empty.
    int QueryBank(int bank);
    int LoadBank(int bank, const std::string& path);  // see LoadPreset
    int ClearBank(int bank);
    int ClearAllBanks();
    int GetBankName(int bank, std::string& text);
    // The bank's file as a UTF-8 path with its long names.
    int GetBankFileName(int bank, std::string& text);
    int GetPresetName(int bank, int preset, std::string& text);
    // Total and free sound memory in bytes; both 0 when the engine can't say.
    int GetMemoryStatus(std::uint32_t& totalBytes, std::uint32_t& freeBytes);
    // The loads take UTF-8 paths and hand the card one it can open (CardPathOf); when there
    // is none, the card is not asked and the last result is kNameNotPassable.
    int LoadPreset(int sourceBank, int sourcePreset, int bank, int preset, const std::string& path);
    int ClearPreset(int bank, int preset);
    int LoadWave(int bank, int preset, const std::string& path);

private:
    void Unload();
    // Keeps an engine result and turns it into the wrappers' 0 / 1.
    int Record(SfmResult result);
    std::uint16_t CurrentDevice() const { return static_cast<std::uint16_t>(m_currentDevice); }
    using TextQuery = decltype(&SfmOperationTable::BankName);
    int QueryText(TextQuery query, SfmLocation location, std::string& text);

    HMODULE m_library = nullptr;
    const SfmEntry* m_entry = nullptr;
    const SfmOperationTable* m_operations = nullptr;
    std::int32_t m_currentDevice = -1;
    bool m_deviceOpen = false;
    // Until Initialize succeeds nothing is loaded, and that is what a message should say.
    SfmResult m_lastResult = kSfmLoadDllFailed;
};
