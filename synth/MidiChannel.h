#pragma once
// The state of one MIDI channel: controllers, pitch wheel and its range, pressure, the bank
// and program chosen and the preset they found.

#include "synth/SoundSet.h"
#include "synth/Voice.h"

#include <cstdint>

struct MidiChannel {
    static constexpr int kDrumChannel = 9; // channel 10 plays drum kits
    static constexpr int kDrumBank = 128;
    static constexpr int kNullParameter = 0x3FFF;

    std::uint8_t controllers[128] = {};
    int pitchWheel = 8192;
    float pitchWheelSensitivity = 2.0f; // semitones
    int channelPressure = 0;
    int bank = 0;
    int program = 0;
    int parameter = kNullParameter; // the registered parameter data entry sets
    const SoundSetEntry* preset = nullptr;
    std::uint32_t serial = 1;

    // Power-on state: volume 100, pan centre, expression full, bank and program 0.
    void ResetAll();
    // Reset All Controllers (CC121): what RP-015 lists; volume, pan, bank and program stay.
    void ResetControllers();
    void Touch() { ++serial; }

    VoiceChannelView View() const
    {
        VoiceChannelView view;
        view.inputs.controllers = controllers;
        view.inputs.pitchWheel = pitchWheel;
        view.inputs.pitchWheelSensitivity = pitchWheelSensitivity;
        view.inputs.channelPressure = channelPressure;
        view.serial = serial;
        return view;
    }
};
