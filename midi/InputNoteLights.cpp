#include "midi/InputNoteLights.h"

namespace {

constexpr int kBitsPerWord = 32;

} // namespace

void CInputNoteLights::Show(const MidiShortMessage& sent) noexcept
{
    const std::uint8_t kind = sent.status & 0xF0;
    if (kind != kNoteOn && kind != kNoteOff)
        return;
    Set(sent.data1, kind == kNoteOn && sent.data2 != 0);
    Notify();
}

void CInputNoteLights::Clear() noexcept
{
    for (std::atomic<std::uint32_t>& word : m_lit)
        word.store(0, std::memory_order_release);
    Notify();
}

bool CInputNoteLights::IsLit(std::uint8_t note) const noexcept
{
    if (note > kHighestDataByte)
        return false;
    const std::uint32_t bit = 1u << (note % kBitsPerWord);
    return (m_lit[note / kBitsPerWord].load(std::memory_order_acquire) & bit) != 0;
}

void CInputNoteLights::Set(std::uint8_t note, bool lit) noexcept
{
    if (note > kHighestDataByte)
        return;
    const std::uint32_t bit = 1u << (note % kBitsPerWord);
    if (lit)
        m_lit[note / kBitsPerWord].fetch_or(bit, std::memory_order_acq_rel);
    else
        m_lit[note / kBitsPerWord].fetch_and(~bit, std::memory_order_acq_rel);
}

void CInputNoteLights::Notify() noexcept
{
    HWND window = m_window.load(std::memory_order_acquire);
    if (!window || m_posted.exchange(true, std::memory_order_acq_rel))
        return;
    // A message that can't be posted (a full queue) must not keep the next change from trying.
    if (!PostMessageA(window, kInputNotesMessage, 0, 0))
        m_posted.store(false, std::memory_order_release);
}
