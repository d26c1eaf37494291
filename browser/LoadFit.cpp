#include "browser/LoadFit.h"

#include "base/Diagnostics.h"
#include "browser/SampleMemoryFit.h"
#include "sf2/SoundFontReader.h"

namespace {

std::string FileNameOf(const std::string& path)
{
    std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// What the bank gives back when loaded over: nothing when empty, its SoundFont's samples when
// that file can be read; false when it holds something of unknown size.
bool ReleasedBytes(CSoundFontManager& manager, int bank, std::uint64_t& bytes)
{
    bytes = 0;
    if (manager.QueryBank(bank) != bank)
        return true;
    std::string loadedPath;
    return manager.GetBankFileName(bank, loadedPath) == 0 && !loadedPath.empty() &&
           SampleBytesOf(loadedPath, bytes);
}

} // namespace

bool SampleBytesOf(const std::string& path, std::uint64_t& bytes)
{
    SoundFontSummary summary;
    ReadSoundFont(path, summary, false);
    bytes = summary.sampleBytes;
    return summary.sampleBytesKnown;
}

LoadFit CheckLoadFit(CSoundFontManager& manager, int device, int bank, const std::string& path)
{
    LoadFit fit;
    if (!SampleBytesOf(path, fit.neededBytes))
        return fit;
    std::uint32_t total = 0;
    std::uint32_t free = 0;
    std::uint64_t released = 0;
    fit.known = manager.OpenDevice(device) == 0 && manager.GetMemoryStatus(total, free) == 0 &&
                ReleasedBytes(manager, bank, released);
    manager.CloseDevice();
    fit.availableBytes = std::uint64_t{free} + released;
    return fit;
}

bool RefuseLoadThatCantFit(HWND owner, CSoundFontManager& manager, int device, int bank, const std::string& path)
{
    LoadFit fit = CheckLoadFit(manager, device, bank, path);
    if (!fit.CertainlyTooLarge())
        return false;
    DebugTrace("Not loading %s: it needs %llu bytes, %llu are free\n", path.c_str(),
               static_cast<unsigned long long>(fit.neededBytes), static_cast<unsigned long long>(fit.availableBytes));
    ErrorBox(owner, MB_ICONSTOP | MB_OK, "Error",
             "%s", TooLargeMessage(FileNameOf(path), fit.neededBytes, fit.availableBytes).c_str());
    return true;
}
