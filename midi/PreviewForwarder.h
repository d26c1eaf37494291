#pragma once
// What previewing does with each short message from the MIDI input: note-ons and note-offs
// only, note-ons only while a playable item is selected, moved to the preview channel and
// shifted by whole octaves. Needs no Windows header.
//
// The user-interface thread changes the settings while the input thread rewrites messages
// with them. The settings are kept together in one atomic word: the input thread reads all of
// them with a single load, never waits and never allocates, and sees each change whole.

#include "midi/MidiMessage.h"

#include <atomic>
#include <cstdint>
#include <optional>

// The settings a received message is rewritten with.
struct PreviewRouting {
    bool playableSelected = false; // note-ons pass only while this holds
    std::uint8_t channel = 0;      // 0-15
    std::int32_t octave = 0;       // the note moves by twelve times this
};

class CPreviewForwarder {
public:
    CPreviewForwarder() = default;
    CPreviewForwarder(const CPreviewForwarder&) = delete;
    CPreviewForwarder& operator=(const CPreviewForwarder&) = delete;

    // User-interface thread. Each change takes effect for the next message received.
    // A preset of a loaded SoundFont, a preset in a file or a wave file is playable.
    void SetPlayableSelected(bool playable);
    // Only the low four bits are kept: they are all a status byte carries.
    void SetChannel(std::int32_t channel);
    // Any value; an offset beyond +-22 octaves rewrites every note as that offset would.
    void SetOctave(std::int32_t octave);
    // All three in one step: no message is rewritten with some old and some new settings.
    void SetRouting(const PreviewRouting& routing);
    // The settings now in force.
    PreviewRouting Routing() const;

    // Input thread: the message to send for a received one, or nothing.
    std::optional<MidiShortMessage> Rewrite(MidiInputEvent event) const;
    // The same for a note played in the window (the strip, the computer keyboard), whose key
    // was already moved by the octave: the channel and the playable rule apply, the octave not.
    std::optional<MidiShortMessage> RewritePlayed(MidiInputEvent event) const;

private:
    static std::uint32_t Pack(const PreviewRouting& routing);
    static PreviewRouting Unpack(std::uint32_t packed);
    template <typename Change>
    void Update(Change change);

    std::atomic<std::uint32_t> m_packed{0}; // not playable, channel 0, octave 0
};
