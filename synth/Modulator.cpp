#include "synth/Modulator.h"

#include "synth/Generators.h"

#include <cmath>

namespace {

enum SourceBits : std::uint16_t {
    kIndexMask = 0x7F,
    kMidiController = 0x80,
    kNegative = 0x100,
    kBipolar = 0x200,
};
enum CurveType { kLinear = 0, kConcave = 1, kConvex = 2, kSwitch = 3 };
enum GeneralSource {
    kNoController = 0,
    kNoteOnVelocity = 2,
    kNoteOnKey = 3,
    kPolyPressure = 10,
    kChannelPressure = 13,
    kPitchWheel = 14,
    kPitchWheelSensitivity = 16,
};
constexpr std::uint16_t kTransformAbsolute = 2;

// SoundFont 2.04, section 8.4: the modulators every instrument has unless its own replace them.
// Velocity to filter cutoff takes effect only from velocity 64 up, as the reference
// synthesizer plays it (the text's own definition of it is known to be contradictory).
const Modulator kDefaults[kDefaultModulatorCount] = {
    {0x0502, kGenAttenuation, 960, 0, 0},         // velocity -> attenuation, concave
    {0x0102, kGenFilterFc, -2400, 0x0C02, 0},     // velocity -> filter cutoff
    {0x000D, kGenVibLfoToPitch, 50, 0, 0},        // channel pressure -> vibrato depth
    {0x0081, kGenVibLfoToPitch, 50, 0, 0},        // CC1 modulation wheel -> vibrato depth
    {0x0587, kGenAttenuation, 960, 0, 0},         // CC7 volume -> attenuation, concave
    {0x028A, kGenPan, 1000, 0, 0},                // CC10 pan -> pan, bipolar
    {0x058B, kGenAttenuation, 960, 0, 0},         // CC11 expression -> attenuation, concave
    {0x00DB, kGenReverbSend, 200, 0, 0},          // CC91 -> reverb send
    {0x00DD, kGenChorusSend, 200, 0, 0},          // CC93 -> chorus send
    {0x020E, kGenPitch, 12700, 0x0010, 0},        // pitch wheel -> pitch, scaled by sensitivity
};

// The concave curve of SoundFont 2.04 over 0..1: the attenuation a linear input makes when
// heard as loudness, 0 at 0 and 1 at 1.
float Concave(float x)
{
    if (x <= 0.0f)
        return 0.0f;
    if (x >= 1.0f)
        return 1.0f;
    const float value = -(40.0f / 96.0f) * std::log10(1.0f - x);
    return value > 1.0f ? 1.0f : value;
}

float Curve(int type, float x)
{
    switch (type) {
    case kConcave: return Concave(x);
    case kConvex: return 1.0f - Concave(1.0f - x);
    case kSwitch: return x >= 0.5f ? 1.0f : 0.0f;
    default: return x;
    }
}

bool IsUsableController(int controller)
{
    // SoundFont 2.04 names these as not to be used as modulator sources.
    return controller != 0 && controller != 6 && !(controller >= 32 && controller <= 63) &&
           !(controller >= 98 && controller <= 101) && controller < 120;
}

// The raw input of a source and the range it is counted in.
struct RawInput {
    float value;
    float range;
};

RawInput RawValue(std::uint16_t source, const ModulatorInputs& in)
{
    const int index = source & kIndexMask;
    if (source & kMidiController)
        return {in.controllers ? static_cast<float>(in.controllers[index]) : 0.0f, 128.0f};
    switch (index) {
    case kNoteOnVelocity: return {static_cast<float>(in.velocity), 128.0f};
    case kNoteOnKey: return {static_cast<float>(in.key), 128.0f};
    case kChannelPressure: return {static_cast<float>(in.channelPressure), 128.0f};
    case kPitchWheel: return {static_cast<float>(in.pitchWheel), 16384.0f};
    // Semitones over 127, so that the default amount of 12700 cents makes 100 cents each.
    case kPitchWheelSensitivity: return {in.pitchWheelSensitivity, 127.0f};
    default: return {0.0f, 128.0f};
    }
}

// The curved sources read a 7-bit step 0..127, so that their ends are exactly 0 and 1.
float CurveInput(RawInput raw, bool negative)
{
    float step = raw.value * (128.0f / raw.range);
    if (step > 127.0f)
        step = 127.0f;
    return (negative ? 127.0f - step : step) / 127.0f;
}

} // namespace

const Modulator* DefaultModulators()
{
    return kDefaults;
}

bool IsUsableSource(std::uint16_t source)
{
    const int index = source & kIndexMask;
    if (source & kMidiController)
        return IsUsableController(index);
    switch (index) {
    case kNoController:
    case kNoteOnVelocity:
    case kNoteOnKey:
    case kPolyPressure:
    case kChannelPressure:
    case kPitchWheel:
    case kPitchWheelSensitivity:
        return true;
    default:
        return false;
    }
}

float SourceValue(std::uint16_t source, const ModulatorInputs& inputs)
{
    if (!(source & kMidiController) && (source & kIndexMask) == kNoController)
        return 1.0f;
    const RawInput raw = RawValue(source, inputs);
    const bool negative = (source & kNegative) != 0;
    const bool bipolar = (source & kBipolar) != 0;
    const int type = source >> 10;
    if (type == kLinear) {
        const float x = negative ? 1.0f - raw.value / raw.range : raw.value / raw.range;
        return bipolar ? 2.0f * x - 1.0f : x;
    }
    const float x = CurveInput(raw, negative);
    if (!bipolar)
        return Curve(type, x);
    if (type == kSwitch)
        return 2.0f * Curve(type, x) - 1.0f;
    // Concave and convex bipolar curves are the unipolar curve mirrored about the centre.
    return x >= 0.5f ? Curve(type, 2.0f * x - 1.0f) : -Curve(type, 1.0f - 2.0f * x);
}

float ModulatorValue(const Modulator& modulator, const ModulatorInputs& inputs)
{
    const bool primaryIsNone =
        !(modulator.source & kMidiController) && (modulator.source & kIndexMask) == kNoController;
    if (primaryIsNone)
        return 0.0f;
    float value = modulator.amount * SourceValue(modulator.source, inputs) *
                  SourceValue(modulator.amountSource, inputs);
    if (modulator.transform == kTransformAbsolute && value < 0.0f)
        value = -value;
    return value;
}
