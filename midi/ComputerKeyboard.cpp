#include "midi/ComputerKeyboard.h"

#include <algorithm>

namespace {

constexpr int kLowerRowNote = 48; // C3: the upper row starts at middle C
constexpr int kSemitonesPerOctave = 12;
constexpr int kHighestNote = 127;

// Set-1 scan codes of the keys that are not notes. The arrows and Page Up/Down send the same
// codes with an extended prefix as the number pad's keys without one: both work.
constexpr std::uint8_t kSpace = 0x39;
constexpr std::uint8_t kPageUp = 0x49;
constexpr std::uint8_t kPageDown = 0x51;
constexpr std::uint8_t kUp = 0x48;
constexpr std::uint8_t kDown = 0x50;
constexpr std::uint8_t kLeft = 0x4B;
constexpr std::uint8_t kRight = 0x4D;

struct PlayingKey {
    std::uint8_t scanCode;
    std::uint8_t semitone; // from the lower row's C
};

// The two rows, by position on a PC keyboard.
constexpr PlayingKey kPlayingKeys[] = {
    // Z S X D C V G B H N J M , L . ; /
    {0x2C, 0}, {0x1F, 1}, {0x2D, 2}, {0x20, 3}, {0x2E, 4}, {0x2F, 5}, {0x22, 6}, {0x30, 7},
    {0x23, 8}, {0x31, 9}, {0x24, 10}, {0x32, 11}, {0x33, 12}, {0x26, 13}, {0x34, 14}, {0x27, 15},
    {0x35, 16},
    // Q 2 W 3 E R 5 T 6 Y 7 U I 9 O 0 P
    {0x10, 12}, {0x03, 13}, {0x11, 14}, {0x04, 15}, {0x12, 16}, {0x13, 17}, {0x06, 18}, {0x14, 19},
    {0x07, 20}, {0x15, 21}, {0x08, 22}, {0x16, 23}, {0x17, 24}, {0x0A, 25}, {0x18, 26}, {0x0B, 27},
    {0x19, 28},
};

// The steps Left and Right move through; the default is among them.
constexpr std::uint8_t kVelocities[] = {16, 32, 48, 64, 80, 100, 112, 127};

} // namespace

int NoteOfKey(std::uint8_t scanCode, int octave)
{
    for (const PlayingKey& key : kPlayingKeys) {
        if (key.scanCode != scanCode)
            continue;
        // Held to a range that can't overflow before the note is clamped.
        const int shift = kSemitonesPerOctave * std::clamp(octave, -kHighestNote, kHighestNote);
        return std::clamp(kLowerRowNote + key.semitone + shift, 0, kHighestNote);
    }
    return -1;
}

KeyboardAction CComputerKeyboard::KeyDown(const KeyStroke& stroke)
{
    if (stroke.control || stroke.alt)
        return KeyboardAction::NotMine;
    const int note = NoteOfKey(stroke.scanCode, m_octave);
    if (note >= 0) {
        if (stroke.repeat || m_startedBy[stroke.scanCode] != kNone)
            return KeyboardAction::Ignored;
        const auto played = static_cast<std::uint8_t>(note);
        // Struck again while the pedal holds it: sounded anew, not stacked on the old one.
        if (m_sustained[played]) {
            m_sustained.reset(played);
            m_notes.NoteOff(played);
        }
        m_startedBy[stroke.scanCode] = static_cast<std::int16_t>(note);
        ++m_holders[played];
        m_notes.NoteOn(played, m_velocity);
        return KeyboardAction::Played;
    }
    switch (stroke.scanCode) {
    case kPageUp:
    case kUp:
        return KeyboardAction::OctaveUp;
    case kPageDown:
    case kDown:
        return KeyboardAction::OctaveDown;
    case kLeft:
        StepVelocity(-1);
        return KeyboardAction::Velocity;
    case kRight:
        StepVelocity(+1);
        return KeyboardAction::Velocity;
    case kSpace:
        if (m_pedal || stroke.repeat)
            return KeyboardAction::Ignored;
        m_pedal = true;
        return KeyboardAction::Sustain;
    default:
        return KeyboardAction::NotMine;
    }
}

bool CComputerKeyboard::KeyUp(const KeyStroke& stroke)
{
    if (stroke.scanCode == kSpace) {
        if (!m_pedal)
            return false;
        LiftPedal();
        return true;
    }
    if (stroke.scanCode >= m_startedBy.size() || m_startedBy[stroke.scanCode] == kNone)
        return false;
    const auto note = static_cast<std::uint8_t>(m_startedBy[stroke.scanCode]);
    m_startedBy[stroke.scanCode] = kNone;
    if (--m_holders[note] > 0)
        return true;
    if (m_pedal)
        m_sustained.set(note);
    else
        m_notes.NoteOff(note);
    return true;
}

void CComputerKeyboard::ReleaseAll()
{
    for (int note = 0; note < kNotes; ++note) {
        if (IsSounding(static_cast<std::uint8_t>(note)))
            m_notes.NoteOff(static_cast<std::uint8_t>(note));
    }
    m_startedBy.fill(kNone);
    m_holders.fill(0);
    m_sustained.reset();
    m_pedal = false;
}

void CComputerKeyboard::StepVelocity(int direction)
{
    const std::uint8_t* const first = std::begin(kVelocities);
    const std::uint8_t* const last = std::end(kVelocities) - 1;
    if (direction > 0) {
        const std::uint8_t* above = std::upper_bound(first, last, m_velocity);
        m_velocity = *above;
    } else {
        const std::uint8_t* atOrAbove = std::lower_bound(first, last, m_velocity);
        m_velocity = atOrAbove == first ? *first : *(atOrAbove - 1);
    }
}

void CComputerKeyboard::LiftPedal()
{
    m_pedal = false;
    for (int note = 0; note < kNotes; ++note) {
        if (m_sustained[static_cast<std::size_t>(note)] && m_holders[static_cast<std::size_t>(note)] == 0)
            m_notes.NoteOff(static_cast<std::uint8_t>(note));
    }
    m_sustained.reset();
}
