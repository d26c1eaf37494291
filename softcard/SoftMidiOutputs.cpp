#include "softcard/SoftMidiOutputs.h"

#include "midi/SoftMidiTable.h"
#include "softcard/SoftCard.h"

namespace {

constexpr int kChannels = 16;
constexpr std::uint32_t kAllNotesOff = 0xB0 | 123 << 8;

} // namespace

std::int32_t CSoftMidiOutputs::Open(std::uint32_t output)
{
    if (output >= m_card.DeviceCount())
        return kSoftMidiBadDeviceId;
    m_synths[output].store(&m_card.Synthesizer(output), std::memory_order_release);
    m_opens[output].fetch_add(1, std::memory_order_acq_rel);
    return kSoftMidiOk;
}

std::int32_t CSoftMidiOutputs::Close(std::uint32_t output)
{
    if (output >= m_card.DeviceCount())
        return kSoftMidiBadDeviceId;
    std::uint32_t opens = m_opens[output].load(std::memory_order_acquire);
    if (opens == 0)
        return kSoftMidiInvalidHandle;
    if (opens == 1) {
        for (int channel = 0; channel < kChannels; ++channel)
            m_synths[output].load(std::memory_order_acquire)->PostShortMessage(kAllNotesOff | channel);
    }
    m_opens[output].fetch_sub(1, std::memory_order_acq_rel);
    return kSoftMidiOk;
}

std::int32_t CSoftMidiOutputs::Send(std::uint32_t output, std::uint32_t message)
{
    if (output >= m_opens.size())
        return kSoftMidiBadDeviceId;
    if (m_opens[output].load(std::memory_order_acquire) == 0)
        return kSoftMidiInvalidHandle;
    CSynthesizer* synth = m_synths[output].load(std::memory_order_acquire);
    return synth->PostShortMessage(message) ? kSoftMidiOk : kSoftMidiNotReady;
}

std::uint32_t CSoftMidiOutputs::OpenCount(std::uint32_t output) const
{
    return output < m_opens.size() ? m_opens[output].load(std::memory_order_acquire) : 0;
}
