#include "synth/Voice.h"

#include "synth/SynthFont.h"
#include "synth/SynthMath.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr float kFixedOne = 4294967296.0f;      // 1.0 in 32.32 fixed point
constexpr float kLargestRatio = 1024.0f;        // ten octaves up is as fast as a sample plays
constexpr float kQuickReleaseSeconds = 0.005f;  // fast enough to make room, slow enough not to click
constexpr float kInaudible = 1e-6f;             // -120 dB: the voice can end

float Held(const float* values, int generator)
{
    const GeneratorInfo& info = InfoOf(generator);
    return Clamp(values[generator], static_cast<float>(info.low), static_cast<float>(info.high));
}

float Samples(float timecents, float rate)
{
    return TimecentsToSeconds(timecents) * rate;
}

// Four-point, third-order (Catmull-Rom) interpolation between s1 and s2.
inline float Cubic(float s0, float s1, float s2, float s3, float t)
{
    const float c1 = 0.5f * (s2 - s0);
    const float c2 = s0 - 2.5f * s1 + 2.0f * s2 - 0.5f * s3;
    const float c3 = 0.5f * (s3 - s0) + 1.5f * (s1 - s2);
    return ((c3 * t + c2) * t + c1) * t + s1;
}

std::int64_t Offset(const float* values, int fine, int coarse)
{
    return static_cast<std::int64_t>(values[fine]) + 32768 * static_cast<std::int64_t>(values[coarse]);
}

std::uint32_t Within(std::int64_t point, std::uint32_t low, std::uint32_t high)
{
    return static_cast<std::uint32_t>(Clamp<std::int64_t>(point, low, high));
}

} // namespace

bool CVoice::Start(const VoiceStart& start, const VoiceChannelView& channel)
{
    m_recipe = *start.recipe;
    const float* values = m_recipe.generators;
    const SynthSample& sample = start.font->Sample(start.sampleIndex);
    const std::uint32_t dataSize = static_cast<std::uint32_t>(
        std::min<std::size_t>(start.font->SampleWords().size(), 0xFFFFFFFFu));
    m_start = Within(sample.start + Offset(values, kGenStartOffset, kGenStartCoarseOffset), 0, dataSize);
    m_end = Within(sample.end + Offset(values, kGenEndOffset, kGenEndCoarseOffset), m_start, dataSize);
    m_loopStart = Within(sample.loopStart + Offset(values, kGenLoopStartOffset, kGenLoopStartCoarseOffset), m_start, m_end);
    m_loopEnd = Within(sample.loopEnd + Offset(values, kGenLoopEndOffset, kGenLoopEndCoarseOffset), m_loopStart, m_end);
    if (m_end - m_start < 2)
        return false;
    const int mode = static_cast<int>(Held(values, kGenSampleModes));
    m_loopMode = (mode == 1 || mode == 3) && m_loopEnd - m_loopStart >= 2 ? mode : 0;
    m_looped = false;
    m_phase = std::uint64_t{m_start} << 32;

    m_font = start.font;
    m_words = start.font->SampleWords().data();
    m_lowBytes = start.font->SampleLowBytes().empty() ? nullptr : start.font->SampleLowBytes().data();
    m_channel = start.channel;
    m_order = start.order;
    m_generation = start.generation;
    m_outputRate = start.outputRate;
    m_sampleRate = static_cast<float>(sample.sampleRate);
    const int keyOverride = static_cast<int>(Held(values, kGenKeynum));
    const int velocityOverride = static_cast<int>(Held(values, kGenVelocity));
    m_key = start.key;
    m_velocity = velocityOverride >= 0 ? velocityOverride : start.velocity;
    m_exclusiveClass = static_cast<int>(Held(values, kGenExclusiveClass));

    // The key that sets the pitch and scales the envelopes may be fixed by the zone.
    const int key = keyOverride >= 0 ? keyOverride : start.key;
    const int rootOverride = static_cast<int>(Held(values, kGenOverridingRootKey));
    const int root = rootOverride >= 0 ? rootOverride : sample.originalKey;
    m_pitchKey = static_cast<float>(key);
    m_rootKey = static_cast<float>(root);
    m_correction = static_cast<float>(sample.pitchCorrection);

    m_serial = channel.serial;
    ApplyModulators(channel.inputs);
    StartEnvelopes(values);
    m_filter.Reset();
    m_appliedFilterCents = m_appliedFilterQ = -1.0f;
    m_gain = m_left = m_right = m_reverb = m_chorus = 0.0f;
    m_state = State::On;
    return true;
}

void CVoice::StartEnvelopes(const float* values)
{
    const float rate = m_outputRate;
    const float keyFrom60 = 60.0f - m_pitchKey;
    CEnvelope::Times volume{
        Samples(Held(values, kGenVolEnvDelay), rate),
        Samples(Held(values, kGenVolEnvAttack), rate),
        Samples(Held(values, kGenVolEnvHold) + Held(values, kGenKeyToVolEnvHold) * keyFrom60, rate),
        Samples(Held(values, kGenVolEnvDecay) + Held(values, kGenKeyToVolEnvDecay) * keyFrom60, rate),
        Samples(Held(values, kGenVolEnvRelease), rate),
        Held(values, kGenVolEnvSustain)};
    m_volumeEnvelope.Start(CEnvelope::Scale::Centibels, volume);
    CEnvelope::Times modulation{
        Samples(Held(values, kGenModEnvDelay), rate),
        Samples(Held(values, kGenModEnvAttack), rate),
        Samples(Held(values, kGenModEnvHold) + Held(values, kGenKeyToModEnvHold) * keyFrom60, rate),
        Samples(Held(values, kGenModEnvDecay) + Held(values, kGenKeyToModEnvDecay) * keyFrom60, rate),
        Samples(Held(values, kGenModEnvRelease), rate),
        Held(values, kGenModEnvSustain) / 1000.0f};
    m_modEnvelope.Start(CEnvelope::Scale::Unit, modulation);
    m_modLfo.Start(Samples(Held(values, kGenModLfoDelay), rate), AbsoluteCentsToHz(Held(values, kGenModLfoFreq)) / rate);
    m_vibLfo.Start(Samples(Held(values, kGenVibLfoDelay), rate), AbsoluteCentsToHz(Held(values, kGenVibLfoFreq)) / rate);
}

// The generators plus what the modulators add, held to their ranges, in the units the
// block computation uses.
void CVoice::ApplyModulators(const ModulatorInputs& channelInputs)
{
    float values[kGenCount];
    std::memcpy(values, m_recipe.generators, sizeof values);
    ModulatorInputs inputs = channelInputs;
    inputs.key = static_cast<int>(m_pitchKey);
    inputs.velocity = m_velocity;
    for (int i = 0; i < m_recipe.modulatorCount; ++i) {
        const Modulator& modulator = m_recipe.modulators[i];
        values[modulator.destination] += ModulatorValue(modulator, inputs);
    }
    m_pitchCents = (m_pitchKey - m_rootKey) * Held(values, kGenScaleTuning) + 100.0f * Held(values, kGenCoarseTune) +
                   Held(values, kGenFineTune) + m_correction + values[kGenPitch];
    m_attenuation = Held(values, kGenAttenuation);
    const float pan = (Held(values, kGenPan) + 500.0f) * (kPi / 2000.0f);
    m_panLeft = std::cos(pan);
    m_panRight = std::sin(pan);
    m_reverbSend = Held(values, kGenReverbSend) / 1000.0f;
    m_chorusSend = Held(values, kGenChorusSend) / 1000.0f;
    m_filterCents = Held(values, kGenFilterFc);
    m_filterQ = Held(values, kGenFilterQ);
    m_modLfoToPitch = Held(values, kGenModLfoToPitch);
    m_vibLfoToPitch = Held(values, kGenVibLfoToPitch);
    m_modEnvToPitch = Held(values, kGenModEnvToPitch);
    m_modLfoToFilter = Held(values, kGenModLfoToFilterFc);
    m_modEnvToFilter = Held(values, kGenModEnvToFilterFc);
    m_modLfoToVolume = Held(values, kGenModLfoToVolume);
    m_modLfo.SetRate(AbsoluteCentsToHz(Held(values, kGenModLfoFreq)) / m_outputRate);
    m_vibLfo.SetRate(AbsoluteCentsToHz(Held(values, kGenVibLfoFreq)) / m_outputRate);
}

void CVoice::Release()
{
    if (m_state == State::Off)
        return;
    m_state = State::Released;
    m_volumeEnvelope.Release();
    m_modEnvelope.Release();
    if (m_loopMode == 3)
        m_loopMode = 0; // plays on from the loop to the end of the sample
}

void CVoice::ReleaseQuickly()
{
    Release();
    m_volumeEnvelope.ReleaseQuickly(kQuickReleaseSeconds * m_outputRate);
}

float CVoice::Word(std::int64_t index) const
{
    return m_words[index];
}

template <bool kLowBytes>
float CVoice::Fetch(std::int64_t index) const
{
    if (m_loopMode != 0) {
        if (index >= m_loopEnd)
            index -= m_loopEnd - m_loopStart;
        else if (index < m_loopStart && m_looped)
            index += m_loopEnd - m_loopStart;
    }
    if (index >= m_end)
        return 0.0f;
    if (index < m_start)
        index = m_start;
    if (kLowBytes)
        return m_words[index] + m_lowBytes[index] * (1.0f / 256.0f);
    return m_words[index];
}

// Writes the voice's samples into out (in 16-bit units); returns how many it had before its
// sample ended (the rest are zeros).
template <bool kLowBytes>
int CVoice::Interpolate(float* out, int frames)
{
    const float pitch = m_pitchCents + m_modLfo.Value() * m_modLfoToPitch + m_vibLfo.Value() * m_vibLfoToPitch +
                        m_modEnvelope.Value() * m_modEnvToPitch;
    const float ratio = std::min(CentsToRatio(pitch) * (m_sampleRate / m_outputRate), kLargestRatio);
    const std::uint64_t increment = std::max<std::uint64_t>(static_cast<std::uint64_t>(ratio * kFixedOne), 1);
    const bool looping = m_loopMode != 0;
    const std::uint32_t limit = looping ? m_loopEnd : m_end;
    const std::int16_t* words = m_words;
    const std::uint8_t* low = m_lowBytes;
    std::uint64_t phase = m_phase;
    int i = 0;
    while (i < frames) {
        const std::uint32_t index = static_cast<std::uint32_t>(phase >> 32);
        if (index > m_start && index + 2 < limit) {
            // A stretch whose four points all lie inside: no checks per sample.
            const std::uint64_t lastPhase = (std::uint64_t{limit - 3} << 32) | 0xFFFFFFFFu;
            const std::uint64_t room = (lastPhase - phase) / increment + 1;
            const int count = static_cast<int>(std::min<std::uint64_t>(room, static_cast<std::uint64_t>(frames - i)));
            for (int k = 0; k < count; ++k, ++i) {
                const std::uint32_t at = static_cast<std::uint32_t>(phase >> 32);
                const float t = static_cast<float>(static_cast<std::int32_t>((phase & 0xFFFFFFFFu) >> 8)) * (1.0f / 16777216.0f);
                if (kLowBytes) {
                    const float scale = 1.0f / 256.0f;
                    out[i] = Cubic(words[at - 1] + low[at - 1] * scale, words[at] + low[at] * scale,
                                   words[at + 1] + low[at + 1] * scale, words[at + 2] + low[at + 2] * scale, t);
                } else {
                    out[i] = Cubic(words[at - 1], words[at], words[at + 1], words[at + 2], t);
                }
                phase += increment;
            }
        } else {
            const float t = static_cast<float>(static_cast<std::int32_t>((phase & 0xFFFFFFFFu) >> 8)) * (1.0f / 16777216.0f);
            out[i++] = Cubic(Fetch<kLowBytes>(std::int64_t{index} - 1), Fetch<kLowBytes>(index),
                             Fetch<kLowBytes>(std::int64_t{index} + 1), Fetch<kLowBytes>(std::int64_t{index} + 2), t);
            phase += increment;
        }
        const std::uint32_t next = static_cast<std::uint32_t>(phase >> 32);
        if (next >= limit) {
            if (!looping) {
                std::fill(out + i, out + frames, 0.0f);
                m_phase = phase;
                return i;
            }
            const std::uint32_t wrapped = m_loopStart + (next - m_loopStart) % (m_loopEnd - m_loopStart);
            phase = (std::uint64_t{wrapped} << 32) | (phase & 0xFFFFFFFFu);
            m_looped = true;
        }
    }
    m_phase = phase;
    return frames;
}

// Filters the block and mixes it in one pass, the gains ramping from the last block's.
template <bool kReverb, bool kChorus>
void CVoice::FilterAndMix(const float* samples, int frames, const MixBuses& buses)
{
    const float step = 1.0f / static_cast<float>(frames);
    const float toLeft = m_gain * m_panLeft, toRight = m_gain * m_panRight;
    const float toReverb = m_gain * m_reverbSend, toChorus = m_gain * m_chorusSend;
    const float dLeft = (toLeft - m_left) * step, dRight = (toRight - m_right) * step;
    const float dReverb = (toReverb - m_reverb) * step, dChorus = (toChorus - m_chorus) * step;
    float left = m_left, right = m_right, reverb = m_reverb, chorus = m_chorus;
    float* outLeft = buses.left;
    float* outRight = buses.right;
    float* outReverb = buses.reverb;
    float* outChorus = buses.chorus;
    m_filter.Run(samples, frames, [&](int i, float y) {
        left += dLeft;
        right += dRight;
        outLeft[i] += y * left;
        outRight[i] += y * right;
        if (kReverb) {
            reverb += dReverb;
            outReverb[i] += y * reverb;
        }
        if (kChorus) {
            chorus += dChorus;
            outChorus[i] += y * chorus;
        }
    });
    m_left = toLeft;
    m_right = toRight;
    m_reverb = toReverb;
    m_chorus = toChorus;
}

void CVoice::Render(int frames, const VoiceChannelView& channel, float masterGain, const MixBuses& buses)
{
    if (m_state == State::Off || frames <= 0)
        return;
    if (channel.serial != m_serial) {
        m_serial = channel.serial;
        ApplyModulators(channel.inputs);
    }
    const float modLfo = m_modLfo.Value();
    const float filterCents = m_filterCents + modLfo * m_modLfoToFilter + m_modEnvelope.Value() * m_modEnvToFilter;
    if (filterCents != m_appliedFilterCents || m_filterQ != m_appliedFilterQ) {
        m_filter.Set(AbsoluteCentsToHz(filterCents), m_filterQ, m_outputRate);
        m_appliedFilterCents = filterCents;
        m_appliedFilterQ = m_filterQ;
    }

    float samples[kBlockFrames];
    const int played = m_lowBytes ? Interpolate<true>(samples, frames) : Interpolate<false>(samples, frames);

    m_volumeEnvelope.Advance(static_cast<float>(frames));
    m_modEnvelope.Advance(static_cast<float>(frames));
    m_modLfo.Advance(static_cast<float>(frames));
    m_vibLfo.Advance(static_cast<float>(frames));
    const bool ended = played < frames || m_volumeEnvelope.Finished();
    // The modulation LFO moves the level below the envelope's, never above full level: as the
    // reference synthesizer does, so that tremolo makes a note no louder than the file meant.
    const float envelopeAndLfo =
        std::min(m_volumeEnvelope.Value() * CentibelsToGain(-modLfo * m_modLfoToVolume), 1.0f);
    const float level = ended ? 0.0f : CentibelsToGain(m_attenuation) * envelopeAndLfo;
    // Samples are in 16-bit units.
    m_gain = masterGain * (1.0f / 32768.0f) * level;
    // A unit that is off has no bus: its send costs nothing.
    const bool reverb = buses.reverb && (m_reverbSend > 0.0f || m_reverb > 0.0f);
    const bool chorus = buses.chorus && (m_chorusSend > 0.0f || m_chorus > 0.0f);
    if (reverb && chorus)
        FilterAndMix<true, true>(samples, frames, buses);
    else if (reverb)
        FilterAndMix<true, false>(samples, frames, buses);
    else if (chorus)
        FilterAndMix<false, true>(samples, frames, buses);
    else
        FilterAndMix<false, false>(samples, frames, buses);
    const bool silentTail = m_volumeEnvelope.Released() && level < kInaudible;
    if (ended || silentTail)
        m_state = State::Off;
}
