#pragma once
// One open SoundFont device of one library: the bank, preset and memory operations act on it,
// and its destructor closes it, so no open can be left without its close. Move-only. A device
// whose open the engine refused still closes, as the engine may count the attempt. Needs no
// Windows header.

#include "engine/EngineResult.h"
#include "engine/SfmInterface.h"

#include <cstdint>
#include <optional>
#include <string>

// How paths travel between the program (UTF-8) and a library; null members hand them over
// unchanged.
struct CardPathRules {
    // The path to give the card for `path`; none when it can't be given the file at all.
    std::optional<std::string> (*toCard)(const std::string& path) = nullptr;
    // A path the card gives back, as the program shows it.
    std::string (*fromCard)(const std::string& cardPath) = nullptr;
};

class CSfmDevice {
public:
    // Longest path handed to the engine; longer paths are cut.
    static constexpr std::size_t kMaxPathLength = 1023;
    // How often ClearBank clears a bank that still reports itself loaded before giving up.
    static constexpr int kMaxClearTries = 4;

    // A device that was never opened: every operation fails with `why`.
    explicit CSfmDevice(EngineResult why = EngineResult::Of(EngineResult::kDeviceIndexOutOfRange));
    // Asks the engine to open `device` of `operations`; `openCount` counts the devices alive.
    CSfmDevice(const SfmOperationTable& operations, std::uint16_t device, CardPathRules paths, int* openCount);
    ~CSfmDevice();
    CSfmDevice(CSfmDevice&& other) noexcept;
    CSfmDevice& operator=(CSfmDevice&& other) noexcept;
    CSfmDevice(const CSfmDevice&) = delete;
    CSfmDevice& operator=(const CSfmDevice&) = delete;

    // What the open answered; the operations below are for a device that opened.
    const EngineResult& OpenResult() const { return m_openResult; }
    bool IsOpen() const { return m_openResult.Ok(); }
    // Closes now rather than at the end of the scope; later calls do nothing and succeed.
    EngineResult Close();

    // `answer`: the bank number when the bank holds a SoundFont, -1 when it is empty. A failed
    // query still answers what the engine left in the field (the bank's own number).
    EngineResult QueryBank(int bank, int& answer);
    // The query's answer is the bank itself, whatever the result.
    bool IsBankLoaded(int bank);
    EngineResult LoadBank(int bank, const std::string& path);
    // Clears again while the bank still answers as loaded, up to kMaxClearTries clears, then
    // gives up with "Undefined Error".
    EngineResult ClearBank(int bank);
    // Banks 1 to 127 that answer as loaded; stops at the first that fails.
    EngineResult ClearAllBanks();
    EngineResult BankName(int bank, std::string& text);
    // The bank's file as the program shows paths (CardPathRules::fromCard).
    EngineResult BankFileName(int bank, std::string& text);
    EngineResult PresetName(int bank, int preset, std::string& text);
    // Total and free sound memory in bytes; both 0 when the engine can't say.
    EngineResult MemoryStatus(std::uint32_t& totalBytes, std::uint32_t& freeBytes);
    // The loads take UTF-8 paths and hand the card one it can open; when there is none, the
    // card is not asked and the result is kNameNotPassable.
    EngineResult LoadPreset(int sourceBank, int sourcePreset, int bank, int preset, const std::string& path);
    EngineResult ClearPreset(int bank, int preset);
    EngineResult LoadWave(int bank, int preset, const std::string& path);

private:
    using TextQuery = decltype(&SfmOperationTable::BankName);
    EngineResult QueryText(TextQuery query, SfmLocation location, std::string& text);
    // The card's form of `path`, or none with the result to answer.
    std::optional<std::string> CardPath(const std::string& path) const;

    const SfmOperationTable* m_operations = nullptr;
    std::uint16_t m_device = 0;
    CardPathRules m_paths;
    int* m_openCount = nullptr;
    // An open the engine was asked for, answered or refused: closed at the end.
    bool m_mustClose = false;
    EngineResult m_openResult;
};
