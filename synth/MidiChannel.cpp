#include "synth/MidiChannel.h"

#include <algorithm>

namespace {

enum Controller {
    kVolume = 7,
    kPan = 10,
    kExpression = 11,
    kSustain = 64,
    kRpnLsb = 100,
    kRpnMsb = 101,
    kNrpnLsb = 98,
    kNrpnMsb = 99,
};

} // namespace

void MidiChannel::ResetAll()
{
    std::fill(std::begin(controllers), std::end(controllers), std::uint8_t{0});
    controllers[kVolume] = 100;
    controllers[kPan] = 64;
    bank = 0;
    program = 0;
    pitchWheelSensitivity = 2.0f;
    ResetControllers();
}

void MidiChannel::ResetControllers()
{
    for (int controller = 1; controller < 120; ++controller) {
        const bool kept = controller == kVolume || controller == kPan || (controller >= 91 && controller <= 95) ||
                          controller == 0 || controller == 32;
        if (!kept)
            controllers[controller] = 0;
    }
    controllers[kExpression] = 127;
    controllers[kRpnLsb] = controllers[kRpnMsb] = 127;
    controllers[kNrpnLsb] = controllers[kNrpnMsb] = 127;
    pitchWheel = 8192;
    channelPressure = 0;
    parameter = kNullParameter;
    Touch();
}
