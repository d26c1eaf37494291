#include "card/CardOperations.h"

#include "engine/BankNumbers.h"

namespace {

CardResult OpenFailure(const CSfmDevice& device)
{
    return {device.OpenResult(), true};
}

} // namespace

int CCardOperations::FreeBank(int deviceIndex, const PreviewBank& preview)
{
    CSfmDevice device = m_engine.Open(deviceIndex);
    if (!device.IsOpen())
        return 0;
    const bool previewDevice = deviceIndex == preview.device;
    int freeBank = 0;
    for (int bank = kFirstBank; bank <= kLastBank; ++bank) {
        if (previewDevice && bank == preview.bank)
            continue;
        int answer = 0;
        device.QueryBank(bank, answer);
        if (answer == -1)
            freeBank = bank;
    }
    if (freeBank != 0)
        return freeBank;
    return previewDevice && preview.bank == kLastBank ? kLastBank - 1 : kLastBank;
}

int CCardOperations::DefaultDevice(const std::function<bool(const std::string& name)>& enabled)
{
    std::vector<std::string> names;
    m_engine.GetDeviceNames(names);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (enabled(names[i]))
            return static_cast<int>(i);
    }
    return 0;
}

LoadFit CCardOperations::CheckFit(int device, int bank, const std::string& path)
{
    return CheckLoadFit(m_engine, device, bank, path);
}

CardResult CCardOperations::Load(int deviceIndex, int bank, const std::string& path)
{
    CSfmDevice device = m_engine.Open(deviceIndex);
    if (!device.IsOpen())
        return OpenFailure(device);
    return {device.LoadBank(bank, path), false};
}

CardResult CCardOperations::DeleteBank(int deviceIndex, int bank)
{
    CSfmDevice device = m_engine.Open(deviceIndex);
    if (!device.IsOpen())
        return OpenFailure(device);
    return {device.ClearBank(bank), false};
}

CardResult CCardOperations::Clear(int deviceIndex)
{
    CSfmDevice device = m_engine.Open(deviceIndex);
    if (!device.IsOpen())
        return OpenFailure(device);
    return {device.ClearAllBanks(), false};
}

void CCardOperations::ClearPreviewInstrument(const PreviewBank& preview)
{
    CSfmDevice device = m_engine.Open(preview.device);
    if (device.IsOpen())
        device.ClearPreset(preview.bank, preview.preset);
}

CardResult CCardOperations::LoadPreviewPreset(const PreviewBank& preview, int sourceBank, int sourcePreset,
                                              const std::string& path)
{
    CSfmDevice device = m_engine.Open(preview.device);
    if (!device.IsOpen())
        return OpenFailure(device);
    return {device.LoadPreset(sourceBank, sourcePreset, preview.bank, preview.preset, path), false};
}

CardResult CCardOperations::LoadPreviewWave(const PreviewBank& preview, const std::string& path)
{
    CSfmDevice device = m_engine.Open(preview.device);
    if (!device.IsOpen())
        return OpenFailure(device);
    return {device.LoadWave(preview.bank, preview.preset, path), false};
}

MeterFigures CCardOperations::Meter(int deviceIndex)
{
    MeterFigures figures;
    CSfmDevice device = m_engine.Open(deviceIndex);
    if (device.IsOpen())
        device.MemoryStatus(figures.totalBytes, figures.freeBytes);
    return figures;
}

MeterFigures CCardOperations::MeterForFile(int deviceIndex, const std::string& path)
{
    std::uint64_t needed = 0;
    const bool needKnown = SampleBytesOf(path, needed);
    MeterFigures figures = Meter(deviceIndex);
    figures.needKnown = needKnown;
    figures.neededBytes = needKnown ? needed : 0;
    return figures;
}
