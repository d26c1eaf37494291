#include "bench/BenchLibrary.h"

#include "tests/engine/SimAccess.h"
#include "tests/engine/SoundFontFixture.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// Sample data as large as a small real bank; written sparse, so the library costs little disk.
constexpr std::uint64_t kDeclaredSampleBytes = 2u << 20;
constexpr std::uint32_t kDeviceMemory = 1u << 30;
// The last presets of every file are percussion kits in bank 128, the others melodic in bank 0.
constexpr std::size_t kPercussionPresets = 4;

std::string TemporaryRoot()
{
    char folder[MAX_PATH] = {};
    DWORD length = GetTempPathA(sizeof folder, folder);
    std::string root = length > 0 && length < sizeof folder ? folder : "C:\\";
    return root + "tonewell-tree-bench-" + std::to_string(GetCurrentProcessId());
}

// Even files carry a bank name; odd ones have none, so that a card shows them as "User Bank"
// and the tree names them after the file.
FixtureSoundFont LibrarySoundFont(std::size_t index, std::size_t presetCount)
{
    FixtureSoundFont soundFont;
    if (index % 2 == 0)
        soundFont.name = "Library bank " + std::to_string(index);
    soundFont.declaredSampleBytes = kDeclaredSampleBytes;
    const std::size_t melodic = presetCount > kPercussionPresets ? presetCount - kPercussionPresets : 0;
    for (std::size_t i = 0; i < presetCount; ++i) {
        FixturePreset preset;
        preset.name = "File " + std::to_string(index) + " sound " + std::to_string(i);
        preset.bank = i < melodic ? 0 : 128;
        preset.preset = static_cast<std::uint16_t>(i < melodic ? i : (i - melodic) * 8);
        preset.sampleFrames = 256;
        soundFont.presets.push_back(preset);
    }
    return soundFont;
}

} // namespace

CBenchLibrary::CBenchLibrary(const BenchLibraryShape& shape)
    : m_root(TemporaryRoot())
{
    Generate(shape);
}

CBenchLibrary::~CBenchLibrary()
{
    // Back to an empty card with no state file, as the program's tests expect to find it.
    if (m_sim)
        m_sim->Reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

void CBenchLibrary::Generate(const BenchLibraryShape& shape)
{
    namespace fs = std::filesystem;
    fs::remove_all(m_root);
    fs::create_directories(m_root);
    m_folderCount = 1;
    std::size_t index = 0;
    for (std::size_t group = 0; group < shape.groups; ++group) {
        const fs::path groupFolder = fs::path(m_root) / ("Group " + std::to_string(group));
        ++m_folderCount;
        for (std::size_t set = 0; set < shape.setsPerGroup; ++set) {
            const fs::path setFolder = groupFolder / ("Set " + std::to_string(set));
            fs::create_directories(setFolder);
            ++m_folderCount;
            for (std::size_t file = 0; file < shape.filesPerSet; ++file, ++index) {
                const std::string path = (setFolder / ("Bank " + std::to_string(index) + ".sf2")).string();
                WriteSoundFont(path, LibrarySoundFont(index, shape.presetsPerFile));
                m_files.push_back(path);
            }
        }
    }
}

bool CBenchLibrary::LoadEveryBank(CSoundFontEngine& engine, std::string& error)
{
    m_sim = FindSimControl();
    if (!m_sim) {
        error = "the simulated card (SFMAN32.DLL with its test switches) is not loaded";
        return false;
    }
    if (m_files.size() < static_cast<std::size_t>(kLoadedBanks)) {
        error = "the library has fewer files than the device has banks";
        return false;
    }
    m_sim->Reset();
    m_sim->SetDeviceMemory(0, kDeviceMemory);
    CSfmDevice device = engine.Open(0);
    for (int bank = 1; bank <= kLoadedBanks; ++bank) {
        if (EngineResult loaded = device.LoadBank(bank, m_files[static_cast<std::size_t>(bank - 1)]); loaded.Failed()) {
            error = "loading bank " + std::to_string(bank) + " failed: " + loaded.Text();
            return false;
        }
    }
    return true;
}
