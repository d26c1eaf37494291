#include "card/LoadFit.h"

#include "sf2/SoundFontReader.h"

namespace {

// What the bank gives back when loaded over: nothing when empty, its SoundFont's samples when
// that file can be read; false when it holds something of unknown size.
bool ReleasedBytes(CSfmDevice& device, int bank, std::uint64_t& bytes)
{
    bytes = 0;
    if (!device.IsBankLoaded(bank))
        return true;
    std::string loadedPath;
    return device.BankFileName(bank, loadedPath).Ok() && !loadedPath.empty() && SampleBytesOf(loadedPath, bytes);
}

} // namespace

bool SampleBytesOf(const std::string& path, std::uint64_t& bytes)
{
    SoundFontSummary summary;
    ReadSoundFont(path, summary, false);
    bytes = summary.sampleBytes;
    return summary.sampleBytesKnown;
}

LoadFit CheckLoadFit(CSoundFontEngine& engine, int deviceIndex, int bank, const std::string& path)
{
    LoadFit fit;
    if (!SampleBytesOf(path, fit.neededBytes))
        return fit;
    CSfmDevice device = engine.Open(deviceIndex);
    std::uint32_t total = 0;
    std::uint32_t free = 0;
    std::uint64_t released = 0;
    fit.known = device.IsOpen() && device.MemoryStatus(total, free).Ok() && ReleasedBytes(device, bank, released);
    fit.availableBytes = std::uint64_t{free} + released;
    return fit;
}
