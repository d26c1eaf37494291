#pragma once
// The computer keyboard played as a MIDI keyboard. Keys are chosen by position (PC set-1 scan
// codes), so every layout plays the same notes: Z S X D C V G B H N J M , L . ; / from C, and
// Q 2 W 3 E R 5 T 6 Y 7 U I 9 O 0 P from the C above. Page Up/Down and Up/Down ask for another
// octave, Left/Right lower and raise the velocity, Space holds notes as a sustain pedal.
// Needs no Windows header.

#include <array>
#include <bitset>
#include <cstdint>

// Where the notes go: the preview path, or a test's record.
class IPlayedNotes {
public:
    virtual void NoteOn(std::uint8_t note, std::uint8_t velocity) = 0;
    virtual void NoteOff(std::uint8_t note) = 0;

protected:
    ~IPlayedNotes() = default;
};

// One key going down or up, as the window received it.
struct KeyStroke {
    std::uint8_t scanCode = 0; // set 1, without the extended-key prefix
    bool control = false;
    bool alt = false;
    bool repeat = false; // the key was down already: the keyboard's auto-repeat
};

// What a key going down did; the window passes on the keys that are not the keyboard's.
enum class KeyboardAction {
    NotMine,     // not a playing key, or held with Ctrl or Alt: a shortcut's
    Played,      // a note started
    Ignored,     // a playing key repeating, or a key already down
    OctaveUp,    // the owner steps the octave and tells the keyboard with SetOctave
    OctaveDown,
    Velocity,    // the velocity changed
    Sustain,     // the pedal went down
};

// The note the key at `scanCode` plays `octave` octaves from the lower row's C3, held to
// 0-127; -1 for a key that plays none.
int NoteOfKey(std::uint8_t scanCode, int octave);

class CComputerKeyboard {
public:
    static constexpr std::uint8_t kDefaultVelocity = 100;

    explicit CComputerKeyboard(IPlayedNotes& notes) : m_notes(notes) { m_startedBy.fill(kNone); }
    CComputerKeyboard(const CComputerKeyboard&) = delete;
    CComputerKeyboard& operator=(const CComputerKeyboard&) = delete;

    KeyboardAction KeyDown(const KeyStroke& stroke);
    // Whether the key was the keyboard's: a playing key releases the note it started (under
    // whatever octave it started it), the pedal releases what it held.
    bool KeyUp(const KeyStroke& stroke);
    // The focus went elsewhere: every note sounding is released and the pedal lifted, since
    // the key-ups will not come here.
    void ReleaseAll();

    // Notes started from now on move by this many octaves; sounding ones stay.
    void SetOctave(int octave) { m_octave = octave; }
    int Octave() const { return m_octave; }
    std::uint8_t Velocity() const { return m_velocity; }
    bool IsSounding(std::uint8_t note) const { return note < kNotes && (m_holders[note] > 0 || m_sustained[note]); }

private:
    static constexpr int kNotes = 128;
    static constexpr std::int16_t kNone = -1;

    void StepVelocity(int direction);
    void LiftPedal();

    IPlayedNotes& m_notes;
    // For each scan code, the note its key started, or kNone.
    std::array<std::int16_t, 128> m_startedBy{};
    // How many keys hold each note (two keys play the C between the rows).
    std::array<std::uint8_t, kNotes> m_holders{};
    // Notes whose keys were lifted while the pedal was down.
    std::bitset<kNotes> m_sustained;
    bool m_pedal = false;
    int m_octave = 0;
    std::uint8_t m_velocity = kDefaultVelocity;
};
