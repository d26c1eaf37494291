#include "synth/SynthEngine.h"

#include "synth/VoiceRecipe.h"

#include <algorithm>
#include <cstring>

namespace {

enum Status {
    kNoteOff = 0x80,
    kNoteOn = 0x90,
    kControlChange = 0xB0,
    kProgramChange = 0xC0,
    kChannelPressure = 0xD0,
    kPitchBend = 0xE0,
    kSystemReset = 0xFF,
};

enum Controller {
    kBankSelect = 0,
    kDataEntry = 6,
    kDataEntryFine = 38,
    kSustain = 64,
    kNrpnLsb = 98,
    kNrpnMsb = 99,
    kRpnLsb = 100,
    kRpnMsb = 101,
    kAllSoundOff = 120,
    kResetControllers = 121,
    kAllNotesOff = 123,
};

constexpr int kPitchBendRange = 0; // registered parameter 0
// A note of a damaged font could name thousands of zones; it starts no more voices than this.
constexpr int kMaxVoicesPerNote = 64;
constexpr int kMaxMessagesPerRender = 4096;

bool InRange(const SynthZone& zone, int key, int velocity)
{
    return key >= zone.keyLow && key <= zone.keyHigh && velocity >= zone.velLow && velocity <= zone.velHigh;
}

} // namespace

CSynthEngine::CSynthEngine(double sampleRate, int maxVoices, float gain, bool reverb, bool chorus)
    : m_voices(static_cast<std::size_t>(Clamp(maxVoices, 1, 4096)))
    , m_reverb(kMaxRate)
    , m_chorus(kMaxRate)
    , m_rate(Clamp(sampleRate, kMinRate, kMaxRate))
    , m_requestedRate(static_cast<float>(m_rate))
    , m_gain(gain)
    , m_polyphony(static_cast<int>(m_voices.size()))
    , m_reverbOn(reverb)
    , m_chorusOn(chorus)
{
    m_reverb.SetSampleRate(m_rate);
    m_chorus.SetSampleRate(m_rate);
    for (MidiChannel& channel : m_channels)
        channel.ResetAll();
}

void CSynthEngine::Render(float* stereo, std::size_t frames)
{
    BeginBlock();
    while (frames > 0) {
        const int block = static_cast<int>(std::min<std::size_t>(frames, kBlockFrames));
        RenderBlock(stereo, block);
        stereo += 2 * block;
        frames -= static_cast<std::size_t>(block);
    }
    PublishVoicesInUse();
}

void CSynthEngine::BeginBlock()
{
    const double rate = m_requestedRate.load();
    if (rate != m_rate)
        ApplySampleRate(rate);
    TakeOfferedSet();
    std::uint32_t message = 0;
    for (int i = 0; i < kMaxMessagesPerRender && m_queue.Pop(message); ++i)
        Dispatch(message);
}

void CSynthEngine::ApplySampleRate(double rate)
{
    m_rate = rate;
    for (CVoice& voice : m_voices)
        voice.Kill();
    m_reverb.SetSampleRate(rate);
    m_chorus.SetSampleRate(rate);
}

// Voices of fonts the new set no longer holds fade out; the rest play on under it.
void CSynthEngine::TakeOfferedSet()
{
    const SoundSetSwap* swap = m_pendingSet.exchange(nullptr, std::memory_order_acq_rel);
    if (!swap)
        return;
    m_set = swap->set;
    m_generation = swap->generation;
    for (CVoice& voice : m_voices) {
        if (!voice.IsActive())
            continue;
        if (m_set && m_set->HoldsFont(voice.Font()))
            voice.SetGeneration(m_generation);
        else
            voice.ReleaseQuickly();
    }
    for (int channel = 0; channel < kChannels; ++channel)
        SelectPreset(channel);
}

void CSynthEngine::PublishVoicesInUse()
{
    std::uint64_t oldest = m_generation;
    int active = 0;
    for (const CVoice& voice : m_voices) {
        if (voice.IsActive()) {
            ++active;
            oldest = std::min(oldest, voice.Generation());
        }
    }
    m_activeVoices.store(active, std::memory_order_relaxed);
    m_oldestInUse.store(oldest, std::memory_order_release);
}

void CSynthEngine::Dispatch(std::uint32_t message)
{
    const int status = static_cast<int>(message & 0xFF);
    const int data1 = static_cast<int>((message >> 8) & 0x7F);
    const int data2 = static_cast<int>((message >> 16) & 0x7F);
    if (status == kSystemReset) {
        SystemReset();
        return;
    }
    const int channel = status & 0x0F;
    switch (status & 0xF0) {
    case kNoteOff: NoteOff(channel, data1); break;
    case kNoteOn: data2 == 0 ? NoteOff(channel, data1) : NoteOn(channel, data1, data2); break;
    case kControlChange: ControlChange(channel, data1, data2); break;
    case kProgramChange: ProgramChange(channel, data1); break;
    case kChannelPressure:
        m_channels[channel].channelPressure = data1;
        m_channels[channel].Touch();
        break;
    case kPitchBend:
        m_channels[channel].pitchWheel = data1 | data2 << 7;
        m_channels[channel].Touch();
        break;
    default: break; // polyphonic pressure, system messages and running status are not played
    }
}

void CSynthEngine::NoteOn(int channel, int key, int velocity)
{
    const SoundSetEntry* entry = m_channels[channel].preset;
    // A key struck again releases the note it still sounds, as the reference synthesizer does.
    for (CVoice& voice : m_voices) {
        if (voice.Channel() == channel && voice.Key() == key &&
            (voice.GetState() == CVoice::State::On || voice.GetState() == CVoice::State::Sustained))
            voice.Release();
    }
    if (!entry)
        return;
    m_noteStartOrder = ++m_noteOrder;
    StartZones(channel, key, velocity, *entry);
}

void CSynthEngine::StartZones(int channel, int key, int velocity, const SoundSetEntry& entry)
{
    const CSynthFont& font = *entry.font;
    const SynthPreset& preset = font.Preset(entry.presetIndex);
    int started = 0;
    for (const SynthZone& presetZone : preset.zones) {
        if (!InRange(presetZone, key, velocity))
            continue;
        const SynthInstrument& instrument = font.Instrument(presetZone.link);
        for (const SynthZone& zone : instrument.zones) {
            if (!InRange(zone, key, velocity))
                continue;
            if (started++ == kMaxVoicesPerNote)
                return;
            ComposeVoice(preset.global, presetZone, instrument.global, zone, m_recipe);
            StartVoice(channel, key, velocity, font, zone.link);
        }
    }
}

void CSynthEngine::StartVoice(int channel, int key, int velocity, const CSynthFont& font, int sampleIndex)
{
    const int exclusiveClass = static_cast<int>(Clamp(m_recipe.generators[kGenExclusiveClass], 0.0f, 127.0f));
    if (exclusiveClass != 0) {
        for (CVoice& voice : m_voices) {
            if (voice.IsActive() && voice.Channel() == channel && voice.ExclusiveClass() == exclusiveClass &&
                voice.Order() != m_noteStartOrder)
                voice.ReleaseQuickly();
        }
    }
    CVoice* voice = FreeVoice();
    const VoiceStart start{&m_recipe, &font, sampleIndex, channel, key, velocity,
                           m_noteStartOrder, m_generation, static_cast<float>(m_rate)};
    if (!voice->Start(start, m_channels[channel].View()))
        voice->Kill();
}

// A free voice, or the one whose loss is heard least: released voices first, then the
// quietest, then the oldest; never one of the note being started while another will do.
CVoice* CSynthEngine::FreeVoice()
{
    int active = 0;
    CVoice* free = nullptr;
    for (CVoice& voice : m_voices) {
        if (voice.IsActive())
            ++active;
        else if (!free)
            free = &voice;
    }
    if (free && active < m_polyphony.load(std::memory_order_relaxed))
        return free;
    CVoice* victim = nullptr;
    auto worse = [&](const CVoice& a, const CVoice& b) {
        const bool aCurrent = a.Order() == m_noteStartOrder, bCurrent = b.Order() == m_noteStartOrder;
        if (aCurrent != bCurrent)
            return !aCurrent;
        if (a.IsReleased() != b.IsReleased())
            return a.IsReleased();
        if (a.Loudness() != b.Loudness())
            return a.Loudness() < b.Loudness();
        return a.Order() < b.Order();
    };
    for (CVoice& voice : m_voices) {
        if (voice.IsActive() && (!victim || worse(voice, *victim)))
            victim = &voice;
    }
    if (!victim)
        return free ? free : &m_voices.front();
    victim->Kill();
    return victim;
}

void CSynthEngine::NoteOff(int channel, int key)
{
    const bool sustained = m_channels[channel].controllers[kSustain] >= 64;
    for (CVoice& voice : m_voices) {
        if (voice.GetState() != CVoice::State::On || voice.Channel() != channel || voice.Key() != key)
            continue;
        if (sustained)
            voice.Sustain();
        else
            voice.Release();
    }
}

void CSynthEngine::ControlChange(int channel, int controller, int value)
{
    MidiChannel& state = m_channels[channel];
    if (controller >= kAllSoundOff) {
        if (controller == kAllSoundOff)
            AllSoundOff(channel);
        else if (controller == kResetControllers) {
            state.ResetControllers();
            ReleaseSustained(channel);
        } else if (controller >= kAllNotesOff) {
            AllNotesOff(channel); // also what the mode messages 124 to 127 imply
        }
        return;
    }
    state.controllers[controller] = static_cast<std::uint8_t>(value);
    switch (controller) {
    case kBankSelect: state.bank = value; break; // the LSB (32) does not take part, as in the reference
    case kDataEntry:
    case kDataEntryFine: DataEntry(state, controller, value); break;
    case kRpnLsb:
    case kRpnMsb: state.parameter = state.controllers[kRpnMsb] << 7 | state.controllers[kRpnLsb]; break;
    case kNrpnLsb:
    case kNrpnMsb: state.parameter = MidiChannel::kNullParameter; break;
    case kSustain:
        if (value < 64)
            ReleaseSustained(channel);
        break;
    default: break;
    }
    state.Touch();
}

void CSynthEngine::DataEntry(MidiChannel& channel, int controller, int value)
{
    if (channel.parameter != kPitchBendRange)
        return;
    const int semitones = controller == kDataEntry ? value : static_cast<int>(channel.pitchWheelSensitivity);
    const int cents = controller == kDataEntryFine ? value : channel.controllers[kDataEntryFine];
    channel.pitchWheelSensitivity = static_cast<float>(semitones) + static_cast<float>(std::min(cents, 99)) / 100.0f;
}

void CSynthEngine::ProgramChange(int channel, int program)
{
    m_channels[channel].program = program;
    SelectPreset(channel);
}

// The preset at the channel's bank and program; where the set has none, the same program of
// bank 0 (a drum kit: kit 0 of the drum bank), as the reference synthesizer falls back. The
// drum channel plays the drum bank, unless a bank select names kits a card placed above it
// (a card puts the kits of the SoundFont in its bank N at the drum bank + N).
void CSynthEngine::SelectPreset(int channel)
{
    MidiChannel& state = m_channels[channel];
    state.preset = nullptr;
    if (!m_set)
        return;
    const bool drums = channel == MidiChannel::kDrumChannel;
    if (drums && state.bank > 0)
        state.preset = m_set->Find(MidiChannel::kDrumBank + state.bank, state.program);
    if (!state.preset)
        state.preset = m_set->Find(drums ? MidiChannel::kDrumBank : state.bank, state.program);
    if (!state.preset)
        state.preset = drums ? m_set->Find(MidiChannel::kDrumBank, 0) : m_set->Find(0, state.program);
}

void CSynthEngine::ReleaseSustained(int channel)
{
    for (CVoice& voice : m_voices) {
        if (voice.GetState() == CVoice::State::Sustained && voice.Channel() == channel)
            voice.Release();
    }
}

void CSynthEngine::AllNotesOff(int channel)
{
    for (CVoice& voice : m_voices) {
        if (voice.IsActive() && voice.Channel() == channel && !voice.IsReleased())
            voice.Release();
    }
}

void CSynthEngine::AllSoundOff(int channel)
{
    for (CVoice& voice : m_voices) {
        if (voice.IsActive() && voice.Channel() == channel)
            voice.ReleaseQuickly();
    }
}

void CSynthEngine::SystemReset()
{
    for (int channel = 0; channel < kChannels; ++channel) {
        AllSoundOff(channel);
        m_channels[channel].ResetAll();
        SelectPreset(channel);
    }
}

void CSynthEngine::RenderBlock(float* stereo, int frames)
{
    const std::size_t bytes = sizeof(float) * static_cast<std::size_t>(frames);
    std::memset(m_left, 0, bytes);
    std::memset(m_right, 0, bytes);
    std::memset(m_reverbBus, 0, bytes);
    std::memset(m_chorusBus, 0, bytes);
    const bool reverbOn = m_reverbOn.load(std::memory_order_relaxed);
    const bool chorusOn = m_chorusOn.load(std::memory_order_relaxed);
    const MixBuses buses{m_left, m_right, reverbOn ? m_reverbBus : nullptr, chorusOn ? m_chorusBus : nullptr};
    const float gain = m_gain.load(std::memory_order_relaxed);
    for (CVoice& voice : m_voices) {
        if (voice.IsActive())
            voice.Render(frames, m_channels[voice.Channel()].View(), gain, buses);
    }
    if (reverbOn)
        m_reverb.Process(m_reverbBus, m_left, m_right, frames);
    if (chorusOn)
        m_chorus.Process(m_chorusBus, m_left, m_right, frames);
    for (int i = 0; i < frames; ++i) {
        stereo[2 * i] = m_left[i];
        stereo[2 * i + 1] = m_right[i];
    }
}
