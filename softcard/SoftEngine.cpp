// The software card's library, TWSYNTH.DLL: the SoundFont Management System's exports over
// the software card, its MIDI outputs and its settings. Every slot checks the records it is
// handed and asks the card under one lock; a change is written to the card's state file at
// once, so that the next run finds the banks where this one left them. The remembered banks'
// sound loads on a thread of the card's own: the library answers while it loads.

#include "audio/AudioApi.h"
#include "engine/SfmInterface.h"
#include "engine/SoftControl.h"
#include "midi/SoftMidiTable.h"
#include "softcard/SoftAudio.h"
#include "softcard/SoftCard.h"
#include "softcard/SoftMidiOutputs.h"
#include "softcard/SoftSettingsApply.h"
#include "softcard/SoftStateFile.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace {

struct Engine {
    CSoftCard card{SynthConfig()};
    CSoftMidiOutputs outputs{card};
    std::wstring statePath;
    // The card's own settings but the sound memory, which is the devices'.
    SoftCardSettings settings;
    // The one output every device plays through.
    std::unique_ptr<CSoftAudio> audio;

    // Writes the state after a change; the card goes on from memory if the file can't be written.
    SfmResult Keep(SfmResult result)
    {
        if (result == kSfmSuccess)
            SaveSoftState(statePath, card.Contents(), settings);
        return result;
    }
};

// The library runs threads of its own (the restorer, the audio): it stays loaded until the
// process ends, so that no thread outlives its code.
void PinLibrary()
{
    static const char kAnchor = 0;
    HMODULE library = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN, &kAnchor,
                       &library);
}

// Without an audio device the card still loads and answers; it only says why it is silent.
void StartAudio(Engine& engine)
{
    std::vector<CSynthesizer*> synths;
    for (std::uint32_t device = 0; device < engine.card.DeviceCount(); ++device)
        synths.push_back(&engine.card.Synthesizer(device));
    engine.audio = std::make_unique<CSoftAudio>(synths);
    engine.audio->Open(SoftAudioRequest(engine.settings));
}

// Never destroyed: at process end its threads are gone and joining them is not needed.
Engine& StartEngine()
{
    PinLibrary();
    Engine* engine = new Engine();
    engine->statePath = SoftStateFilePath();
    CardContents contents;
    if (LoadSoftState(engine->statePath, contents, engine->settings))
        engine->card.Restore(std::move(contents));
    ApplySoftVoices(engine->card, engine->settings);
    StartAudio(*engine);
    return *engine;
}

std::mutex g_lock;

Engine& TheEngine()
{
    static Engine& engine = StartEngine();
    return engine;
}

template <typename Operation>
SfmResult Run(Operation operation)
{
    std::lock_guard<std::mutex> hold(g_lock);
    try {
        Engine& engine = TheEngine();
        if (engine.card.DropUnrestoredBanks())
            SaveSoftState(engine.statePath, engine.card.Contents(), engine.settings);
        return operation(engine);
    } catch (const std::bad_alloc&) {
        return kSfmSystemMemoryInsufficient;
    }
}

SfmResult SFM_CALL SoftDeviceCount(std::uint16_t* count)
{
    return Run([&](Engine& engine) {
        if (!count)
            return kSfmUndefinedError;
        *count = engine.card.DeviceCount();
        return kSfmSuccess;
    });
}

SfmResult SFM_CALL SoftCapabilities(std::uint32_t device, SfmCapabilities* capabilities)
{
    return Run([&](Engine& engine) {
        std::string name;
        SfmResult result = capabilities ? engine.card.DeviceName(device, name) : kSfmUndefinedError;
        if (result == kSfmSuccess) {
            std::memset(capabilities, 0, sizeof *capabilities);
            SfmSetCapabilitiesName(*capabilities, name);
        }
        return result;
    });
}

SfmResult SFM_CALL SoftUnused2() { return kSfmSupportInvalid; }
SfmResult SFM_CALL SoftUnused3() { return kSfmSupportInvalid; }
SfmResult SFM_CALL SoftUnused8() { return kSfmSupportInvalid; }
SfmResult SFM_CALL SoftUnused9() { return kSfmSupportInvalid; }
SfmResult SFM_CALL SoftUnused10() { return kSfmSupportInvalid; }

SfmResult SFM_CALL SoftOpenDevice(std::uint16_t device)
{
    return Run([&](Engine& engine) { return engine.card.Open(device); });
}

SfmResult SFM_CALL SoftCloseDevice(std::uint16_t device)
{
    return Run([&](Engine& engine) { return engine.card.Close(device); });
}

SfmResult SFM_CALL SoftQueryBank(std::uint16_t device, std::uint16_t* bank)
{
    return Run([&](Engine& engine) {
        return bank ? engine.card.QueryBank(device, *bank) : kSfmUndefinedError;
    });
}

SfmResult SFM_CALL SoftMemoryStatus(std::uint16_t device, std::uint32_t* total, std::uint32_t* available)
{
    return Run([&](Engine& engine) {
        return total && available ? engine.card.MemoryStatus(device, *total, *available)
                                  : kSfmUndefinedError;
    });
}

SfmResult SFM_CALL SoftLoadBank(std::uint16_t device, SfmLocation* location, SfmBuffer* path)
{
    return Run([&](Engine& engine) {
        std::string file;
        if (!location || !SfmTakeText(path, file))
            return kSfmUndefinedError;
        return engine.Keep(engine.card.LoadBank(device, location->bank, file));
    });
}

SfmResult SFM_CALL SoftBankName(std::uint16_t device, SfmLocation* location, SfmBuffer* text)
{
    return Run([&](Engine& engine) {
        std::string name;
        SfmResult result = location ? engine.card.BankName(device, location->bank, name) : kSfmUndefinedError;
        return result == kSfmSuccess ? SfmGiveText(text, name) : result;
    });
}

SfmResult SFM_CALL SoftBankFileName(std::uint16_t device, SfmLocation* location, SfmBuffer* text)
{
    return Run([&](Engine& engine) {
        std::string name;
        SfmResult result =
            location ? engine.card.BankFileName(device, location->bank, name) : kSfmUndefinedError;
        return result == kSfmSuccess ? SfmGiveText(text, name) : result;
    });
}

SfmResult SFM_CALL SoftClearBank(std::uint16_t device, SfmLocation* location)
{
    return Run([&](Engine& engine) {
        return location ? engine.Keep(engine.card.ClearBank(device, location->bank)) : kSfmUndefinedError;
    });
}

// Placed instruments (the preview bank's) are not taken back at the next start, so placing or
// clearing one writes no state: a preview waits for no disk (writing the state file waits for
// it to be on the disk, which took up to 150 ms beside other work).
SfmResult SFM_CALL SoftLoadPreset(std::uint16_t device, SfmLocation* source, SfmLocation* destination,
                                  SfmBuffer* path)
{
    return Run([&](Engine& engine) {
        std::string file;
        if (!source || !destination || !SfmTakeText(path, file))
            return kSfmUndefinedError;
        return engine.card.LoadPreset(device, *source, *destination, file);
    });
}

SfmResult SFM_CALL SoftPresetName(std::uint16_t device, SfmLocation* location, SfmBuffer* text)
{
    return Run([&](Engine& engine) {
        std::string name;
        SfmResult result = location ? engine.card.PresetName(device, *location, name) : kSfmUndefinedError;
        return result == kSfmSuccess ? SfmGiveText(text, name) : result;
    });
}

SfmResult SFM_CALL SoftClearPreset(std::uint16_t device, SfmLocation* location)
{
    return Run([&](Engine& engine) {
        return location ? engine.card.ClearPreset(device, *location) : kSfmUndefinedError;
    });
}

SfmResult SFM_CALL SoftLoadWave(std::uint16_t device, SfmLocation* location, SfmBuffer* path)
{
    return Run([&](Engine& engine) {
        std::string file;
        if (!location || !SfmTakeText(path, file))
            return kSfmUndefinedError;
        return engine.card.LoadWave(device, *location, file);
    });
}

const SfmOperationTable kOperationTable = {
#define SOFT_SLOT(slot, name, arguments) Soft##name,
    SFM_OPERATIONS(SOFT_SLOT)
#undef SOFT_SLOT
};

SfmResult SFM_CALL RequestInterface(std::uint32_t interfaceId, const SfmOperationTable** operations)
{
    if (interfaceId != kSfmInterfaceId || !operations)
        return kSfmInterfaceNotSupported;
    *operations = &kOperationTable;
    return kSfmSuccess;
}

// The MIDI outputs: names and opens under the card's lock, messages without it.
std::uint32_t SOFT_MIDI_CALL MidiOutputCount()
{
    std::lock_guard<std::mutex> hold(g_lock);
    return TheEngine().card.DeviceCount();
}

std::uint32_t SOFT_MIDI_CALL MidiOutputName(std::uint32_t output, char* text, std::uint32_t room)
{
    std::lock_guard<std::mutex> hold(g_lock);
    std::string name;
    if (TheEngine().card.DeviceName(output, name) != kSfmSuccess)
        name.clear();
    return SfmCopyText(name, text, room);
}

std::int32_t SOFT_MIDI_CALL MidiOpen(std::uint32_t output)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return TheEngine().outputs.Open(output);
}

std::int32_t SOFT_MIDI_CALL MidiShortMessage(std::uint32_t output, std::uint32_t message)
{
    return TheEngine().outputs.Send(output, message);
}

std::int32_t SOFT_MIDI_CALL MidiClose(std::uint32_t output)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return TheEngine().outputs.Close(output);
}

SfmResult SFM_CALL SoftSetSoundMemory(std::uint32_t bytes)
{
    return Run([&](Engine& engine) {
        engine.card.SetSoundMemory(bytes);
        return engine.Keep(kSfmSuccess);
    });
}

void SFM_CALL SoftWaitUntilRestored()
{
    // Not under the lock: the restorer takes none of it, and the card answers meanwhile.
    Engine& engine = [] () -> Engine& {
        std::lock_guard<std::mutex> hold(g_lock);
        return TheEngine();
    }();
    engine.card.WaitUntilRestored();
}

std::uint32_t SFM_CALL SoftAudioFailure(char* text, std::uint32_t room)
{
    std::lock_guard<std::mutex> hold(g_lock);
    return SfmCopyText(TheEngine().audio->Failure(), text, room);
}

SfmResult SFM_CALL SoftGetSettings(SoftCardSettings* settings)
{
    return Run([&](Engine& engine) {
        if (!settings)
            return kSfmUndefinedError;
        *settings = CurrentSoftSettings(engine.card, engine.settings);
        return kSfmSuccess;
    });
}

SfmResult SFM_CALL SoftSetSettings(const SoftCardSettings* settings)
{
    return Run([&](Engine& engine) {
        if (!settings || !CheckSoftCardSettings(*settings).Ok())
            return kSfmUndefinedError;
        if (ApplySoftSettings(engine.card, CurrentSoftSettings(engine.card, engine.settings), *settings))
            engine.audio->Reopen(SoftAudioRequest(*settings));
        engine.settings = *settings;
        return engine.Keep(kSfmSuccess);
    });
}

// Not under the lock: the reopening thread takes none of it.
void SFM_CALL SoftWaitUntilAudioSettled()
{
    Engine& engine = [] () -> Engine& {
        std::lock_guard<std::mutex> hold(g_lock);
        return TheEngine();
    }();
    engine.audio->WaitUntilSettled();
}

std::uint32_t SFM_CALL SoftAudioFigures(SoftCardAudioFigures* figures)
{
    if (!figures)
        return 0;
    std::lock_guard<std::mutex> hold(g_lock);
    Engine& engine = TheEngine();
    *figures = {};
    for (std::uint32_t device = 0; device < engine.card.DeviceCount(); ++device)
        figures->voices += static_cast<std::uint32_t>(engine.card.Synthesizer(device).ActiveVoices());
    AudioStreamInfo info;
    AudioStatsSnapshot stats;
    if (!engine.audio->Figures(&info, &stats, &figures->firstSoundNs))
        return 0;
    SfmCopyText(AudioApiName(info.api), figures->api, sizeof figures->api);
    figures->rate = info.format.rate;
    figures->periodFrames = info.periodFrames;
    figures->bufferFrames = info.bufferFrames;
    figures->latencyMs = info.latencyMs;
    figures->buffers = stats.buffers;
    figures->lateBuffers = stats.lateBuffers;
    figures->fillToQueueMeanUs = stats.fillToQueueMeanUs;
    figures->fillToQueueMaxUs = stats.fillToQueueMaxUs;
    return 1;
}

void SFM_CALL SoftWatchFirstSound()
{
    std::lock_guard<std::mutex> hold(g_lock);
    TheEngine().audio->WatchFirstSound();
}

std::uint32_t SFM_CALL SoftStatePath(char* text, std::uint32_t room)
{
    std::lock_guard<std::mutex> hold(g_lock);
    const std::wstring& wide = TheEngine().statePath;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), &utf8[0], bytes, nullptr,
                            nullptr);
    return SfmCopyText(utf8, text, room);
}

} // namespace

extern "C" {
extern const SfmEntry SFManager;
extern const SoftMidiTable SoftMidiOutputs;
extern const SoftControlTable SoftCardControl;
}

const SfmEntry SFManager = {&RequestInterface};

const SoftMidiTable SoftMidiOutputs = {
    kSoftMidiVersion,
#define SOFT_MIDI_ENTRY(name, result, arguments) Midi##name,
    SOFT_MIDI_OPERATIONS(SOFT_MIDI_ENTRY)
#undef SOFT_MIDI_ENTRY
};

const SoftControlTable SoftCardControl = {
#define SOFT_CONTROL(name, result, arguments) Soft##name,
    SOFT_CONTROLS(SOFT_CONTROL)
#undef SOFT_CONTROL
};
