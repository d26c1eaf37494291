#include "softcard/SoftCard.h"

#include <new>
#include <utility>

namespace {

constexpr std::uint64_t kMegabyte = 1u << 20;

// A file the card model read but the synthesizer could not is no SoundFont it can play.
template <typename Loader>
SfmResult LoadSound(Loader loader, std::shared_ptr<const CSynthFont>& font)
{
    try {
        font = loader().font;
        return font ? kSfmSuccess : kSfmFormatInvalid;
    } catch (const std::bad_alloc&) {
        return kSfmSystemMemoryInsufficient;
    }
}

} // namespace

CSoftCard::CSoftCard(const SynthConfig& synth, std::uint32_t memoryBytes)
    : CCardModel(Defaults(memoryBytes))
    , m_synthConfig(synth)
    , m_voices{synth.maxVoices, synth.reverb, synth.chorus}
{
    EnsureDevices(DeviceCount());
}

CSoftCard::~CSoftCard()
{
    StopRestoring();
}

CardDefaults CSoftCard::Defaults(std::uint32_t memoryBytes)
{
    return {kDeviceNamePrefix, memoryBytes, kDefaultDeviceCount};
}

void CSoftCard::EnsureDevices(std::size_t count)
{
    std::lock_guard<std::mutex> hold(m_soundLock);
    while (m_synths.size() < count) {
        m_synths.push_back(std::make_unique<CSynthesizer>(m_synthConfig));
        ApplyVoiceSettings(*m_synths.back());
    }
    if (m_sound.size() < count) {
        m_sound.resize(count);
        m_generations.resize(count);
    }
}

CSynthesizer& CSoftCard::Synthesizer(std::uint32_t device)
{
    return *m_synths.at(device);
}

bool CSoftCard::SetDeviceCount(std::size_t count)
{
    if (!CCardModel::SetDeviceCount(count))
        return false;
    EnsureDevices(count);
    // A device removed takes its sound along; added again, it starts empty.
    std::lock_guard<std::mutex> hold(m_soundLock);
    for (std::size_t device = count; device < m_sound.size(); ++device) {
        m_sound[device] = SoftDeviceSound();
        for (auto& generation : m_generations[device])
            ++generation;
        Publish(static_cast<std::uint32_t>(device));
    }
    return true;
}

void CSoftCard::SetSoundMemory(std::uint32_t bytes)
{
    for (std::uint32_t device = 0; device < DeviceCount(); ++device)
        SetDeviceMemory(device, bytes);
    SetDefaultMemory(bytes);
}

std::uint32_t CSoftCard::SoundMemoryMb() const
{
    std::uint64_t bytes = Contents().devices.empty() ? Defaults().memoryBytes : Contents().devices[0].totalMemory;
    return static_cast<std::uint32_t>((bytes + kMegabyte - 1) / kMegabyte);
}

void CSoftCard::SetVoiceSettings(int polyphony, bool reverb, bool chorus)
{
    std::lock_guard<std::mutex> hold(m_soundLock);
    m_voices = {polyphony, reverb, chorus};
    for (auto& synth : m_synths)
        ApplyVoiceSettings(*synth);
}

void CSoftCard::ApplyVoiceSettings(CSynthesizer& synth) const
{
    synth.SetPolyphony(m_voices.polyphony);
    synth.SetReverb(m_voices.reverb);
    synth.SetChorus(m_voices.chorus);
}

void CSoftCard::Publish(std::uint32_t device)
{
    m_synths[device]->SetSoundSet(BuildSoftSoundSet(m_sound[device]));
}

void CSoftCard::SetBankFont(std::uint32_t device, std::uint16_t bank,
                            std::shared_ptr<const CSynthFont> font)
{
    SoftDeviceSound& sound = m_sound[device];
    sound.banks[bank] = std::move(font);
    sound.loadOrder[bank] = ++m_loadOrder;
    ++m_generations[device][bank];
    Publish(device);
}

SfmResult CSoftCard::AttachBank(std::uint32_t device, std::uint16_t bank, const std::string& path)
{
    std::shared_ptr<const CSynthFont> font;
    SfmResult result = LoadSound([&] { return LoadSynthFont(path); }, font);
    if (result != kSfmSuccess)
        return result;
    std::lock_guard<std::mutex> hold(m_soundLock);
    SetBankFont(device, bank, std::move(font));
    return kSfmSuccess;
}

void CSoftCard::DetachBank(std::uint32_t device, std::uint16_t bank)
{
    std::lock_guard<std::mutex> hold(m_soundLock);
    SetBankFont(device, bank, nullptr);
}

SfmResult CSoftCard::AttachInstrument(std::uint32_t device, SfmLocation location,
                                      const CardInstrumentSource& source)
{
    std::shared_ptr<const CSynthFont> font;
    SfmResult result = LoadSound(
        [&] {
            return source.wave ? LoadSynthWave(source.path)
                               : LoadSynthFontPreset(source.path, source.preset.bank, source.preset.preset);
        },
        font);
    if (result != kSfmSuccess)
        return result;
    int index = source.wave ? 0 : font->FindPreset(source.preset.bank, source.preset.preset);
    if (index < 0)
        return kSfmPresetIndexInvalid;
    std::lock_guard<std::mutex> hold(m_soundLock);
    m_sound[device].instruments[CardInstrumentKey(location)] = {std::move(font), index};
    Publish(device);
    return kSfmSuccess;
}

void CSoftCard::DetachInstrument(std::uint32_t device, SfmLocation location)
{
    std::lock_guard<std::mutex> hold(m_soundLock);
    m_sound[device].instruments.erase(CardInstrumentKey(location));
    Publish(device);
}

void CSoftCard::Restore(CardContents contents)
{
    StopRestoring();
    for (CardDevice& device : contents.devices)
        device.instruments.clear();
    std::vector<PendingBank> pending;
    EnsureDevices(contents.devices.size());
    {
        std::lock_guard<std::mutex> hold(m_soundLock);
        for (std::size_t device = 0; device < m_sound.size(); ++device) {
            m_sound[device] = SoftDeviceSound();
            for (auto& generation : m_generations[device])
                ++generation;
            Publish(static_cast<std::uint32_t>(device));
        }
        for (std::size_t device = 0; device < contents.devices.size(); ++device) {
            for (std::uint16_t bank = 1; bank < kCardBankCount; ++bank) {
                const auto& loaded = contents.devices[device].banks[bank];
                if (loaded)
                    pending.push_back({static_cast<std::uint32_t>(device), bank, loaded->fileName,
                                       m_generations[device][bank]});
            }
        }
    }
    CCardModel::Restore(std::move(contents));
    if (!pending.empty()) {
        m_stopRestoring = false;
        m_restorer = std::thread([this, pending = std::move(pending)]() mutable {
            RestoreBanks(std::move(pending));
        });
    }
}

void CSoftCard::RestoreBanks(std::vector<PendingBank> pending)
{
    for (PendingBank& bank : pending) {
        if (m_stopRestoring)
            return;
        std::shared_ptr<const CSynthFont> font;
        SfmResult result = LoadSound([&] { return LoadSynthFont(bank.path); }, font);
        std::lock_guard<std::mutex> hold(m_soundLock);
        if (m_generations[bank.device][bank.bank] != bank.generation)
            continue;
        if (result == kSfmSuccess)
            SetBankFont(bank.device, bank.bank, std::move(font));
        else
            m_restoreFailures.push_back(std::move(bank));
    }
}

void CSoftCard::StopRestoring()
{
    m_stopRestoring = true;
    WaitUntilRestored();
}

void CSoftCard::WaitUntilRestored()
{
    if (m_restorer.joinable())
        m_restorer.join();
}

bool CSoftCard::DropUnrestoredBanks()
{
    std::lock_guard<std::mutex> hold(m_soundLock);
    bool dropped = false;
    for (const PendingBank& failed : m_restoreFailures) {
        // A bank loaded or cleared since is no longer the one that failed.
        if (m_generations[failed.device][failed.bank] == failed.generation) {
            ForgetBank(failed.device, failed.bank);
            dropped = true;
        }
    }
    m_restoreFailures.clear();
    return dropped;
}
