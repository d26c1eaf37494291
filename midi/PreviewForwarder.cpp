#include "midi/PreviewForwarder.h"

#include <algorithm>

namespace {

constexpr int kSemitonesPerOctave = 12;
constexpr int kHighestNote = 127;
// A note byte is at most 255, so from +11 octaves up every note is clamped to 127, and from
// -22 down every note to 0: keeping the offset within +-22 changes no result and lets it
// travel in one byte.
constexpr std::int32_t kWidestOctave = 22;

// Packed word: bits 0-3 channel, bit 8 playable, bits 16-23 the octave as a signed byte.
constexpr std::uint32_t kPlayableBit = 1u << 8;
constexpr int kOctaveShift = 16;

// The rule itself: the message to send for a received one, or nothing. The routing's octave
// is already within +-kWidestOctave.
std::optional<MidiShortMessage> RewritePreviewInput(MidiInputEvent event,
                                                    const PreviewRouting& routing)
{
    // A high nibble of 8 or 9 also means a status below 0xF0: system messages never pass.
    const std::uint8_t kind = event.status & 0xF0;
    const bool noteOff = kind == kNoteOff || (kind == kNoteOn && event.data2 == 0);
    const bool noteOn = kind == kNoteOn && event.data2 != 0;
    // Note-offs pass whatever is selected, so that keys struck before the selection moved
    // to something unplayable are still released.
    if (!noteOff && !(noteOn && routing.playableSelected))
        return std::nullopt;
    const int note = std::clamp(event.data1 + kSemitonesPerOctave * routing.octave, 0,
                                kHighestNote);
    MidiShortMessage message;
    message.status = ChannelStatus(kind, routing.channel);
    message.data1 = static_cast<std::uint8_t>(note);
    message.data2 = event.data2;
    return message;
}

} // namespace

std::uint32_t CPreviewForwarder::Pack(const PreviewRouting& routing)
{
    const std::int32_t octave = std::clamp(routing.octave, -kWidestOctave, kWidestOctave);
    return (routing.channel & 0x0Fu) | (routing.playableSelected ? kPlayableBit : 0u) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(octave)) << kOctaveShift;
}

PreviewRouting CPreviewForwarder::Unpack(std::uint32_t packed)
{
    PreviewRouting routing;
    routing.channel = static_cast<std::uint8_t>(packed & 0x0F);
    routing.playableSelected = (packed & kPlayableBit) != 0;
    routing.octave = static_cast<std::int8_t>((packed >> kOctaveShift) & 0xFF);
    return routing;
}

template <typename Change>
void CPreviewForwarder::Update(Change change)
{
    // A loop rather than load and store, so that changes from two threads are not lost.
    std::uint32_t current = m_packed.load(std::memory_order_relaxed);
    for (;;) {
        PreviewRouting routing = Unpack(current);
        change(routing);
        if (m_packed.compare_exchange_weak(current, Pack(routing), std::memory_order_release,
                                           std::memory_order_relaxed))
            return;
    }
}

void CPreviewForwarder::SetPlayableSelected(bool playable)
{
    Update([playable](PreviewRouting& routing) { routing.playableSelected = playable; });
}

void CPreviewForwarder::SetChannel(std::int32_t channel)
{
    Update([channel](PreviewRouting& routing) {
        routing.channel = static_cast<std::uint8_t>(channel & 0x0F);
    });
}

void CPreviewForwarder::SetOctave(std::int32_t octave)
{
    Update([octave](PreviewRouting& routing) { routing.octave = octave; });
}

void CPreviewForwarder::SetRouting(const PreviewRouting& routing)
{
    m_packed.store(Pack(routing), std::memory_order_release);
}

PreviewRouting CPreviewForwarder::Routing() const
{
    return Unpack(m_packed.load(std::memory_order_acquire));
}

std::optional<MidiShortMessage> CPreviewForwarder::Rewrite(MidiInputEvent event) const
{
    return RewritePreviewInput(event, Routing());
}

std::optional<MidiShortMessage> CPreviewForwarder::RewritePlayed(MidiInputEvent event) const
{
    PreviewRouting routing = Routing();
    routing.octave = 0;
    return RewritePreviewInput(event, routing);
}
