#pragma once
// The software SoundFont card: the card model with sound. Each device is one 16-channel
// synthesizer; what a bank or placed instrument holds is loaded into memory and placed in the
// device's sound set, and what is cleared leaves it (its voices fade out quickly while the
// others play on). Sound memory is a budget counted in the SoundFonts' sample bytes, as a
// card counts them. Remembered contents are taken at once and their sound loaded on a thread
// of its own, so the card answers while it loads. Needs no Windows header.
//
// Not thread-safe but for the restoring thread: the caller serializes the card's operations.

#include "cardmodel/CardModel.h"
#include "softcard/SoftSoundLayout.h"
#include "synth/Synthesizer.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CSoftCard : public CCardModel {
public:
    static constexpr std::size_t kDefaultDeviceCount = 2;
    static constexpr std::uint32_t kDefaultMemory = 512u << 20;
    static constexpr const char* kDeviceNamePrefix = "Software Synth ";

    explicit CSoftCard(const SynthConfig& synth, std::uint32_t memoryBytes = kDefaultMemory);
    ~CSoftCard() override;
    CSoftCard(const CSoftCard&) = delete;
    CSoftCard& operator=(const CSoftCard&) = delete;

    static CardDefaults Defaults(std::uint32_t memoryBytes = kDefaultMemory);

    // Placed instruments (the preview bank) are not taken back: they were the last run's.
    void Restore(CardContents contents) override;
    // Until the remembered banks have their sound (or failed to get it); for tests and for
    // an orderly end.
    void WaitUntilRestored();
    // Empties the remembered banks whose file could not be loaded again (gone, or no longer
    // a SoundFont), so that the card never lists a bank it can't play; true when it emptied
    // any. The caller serializes it with the other operations.
    bool DropUnrestoredBanks();

    bool SetDeviceCount(std::size_t count) override;
    // Every device's budget, now and for devices added later. Contents already loaded stay,
    // even beyond it; loads then fail until enough is cleared.
    void SetSoundMemory(std::uint32_t bytes);

    // Every device's budget in whole megabytes, a part of one counted as one; the default
    // budget while there is no device.
    std::uint32_t SoundMemoryMb() const;

    // Every device's voices and effects, now and for devices added later. A
    // polyphony lowered counts from the next note on.
    void SetVoiceSettings(int polyphony, bool reverb, bool chorus);

    // Exists for every device below DeviceCount(), and for as long as the card.
    CSynthesizer& Synthesizer(std::uint32_t device);

protected:
    SfmResult AttachBank(std::uint32_t device, std::uint16_t bank, const std::string& path) override;
    void DetachBank(std::uint32_t device, std::uint16_t bank) override;
    SfmResult AttachInstrument(std::uint32_t device, SfmLocation location,
                               const CardInstrumentSource& source) override;
    void DetachInstrument(std::uint32_t device, SfmLocation location) override;

private:
    struct PendingBank {
        std::uint32_t device;
        std::uint16_t bank;
        std::string path;
        std::uint64_t generation;
    };

    struct VoiceSettings {
        int polyphony;
        bool reverb;
        bool chorus;
    };

    void EnsureDevices(std::size_t count);
    void ApplyVoiceSettings(CSynthesizer& synth) const;
    // The device's sound set rebuilt and handed to its synthesizer. m_soundLock held.
    void Publish(std::uint32_t device);
    void SetBankFont(std::uint32_t device, std::uint16_t bank, std::shared_ptr<const CSynthFont> font);
    void StopRestoring();
    void RestoreBanks(std::vector<PendingBank> pending);

    SynthConfig m_synthConfig;
    VoiceSettings m_voices;
    std::vector<std::unique_ptr<CSynthesizer>> m_synths;

    std::mutex m_soundLock; // m_sound, m_generations, m_loadOrder, m_restoreFailures
    std::vector<SoftDeviceSound> m_sound;
    // Changes whenever a bank's sound is set or taken: a restored font arriving late is
    // dropped when the bank changed meanwhile.
    std::vector<std::array<std::uint64_t, kCardBankCount>> m_generations;
    std::uint64_t m_loadOrder = 0;
    // Banks whose remembered file failed to load, at the generation it failed at.
    std::vector<PendingBank> m_restoreFailures;

    std::thread m_restorer;
    std::atomic<bool> m_stopRestoring{false};
};
