#pragma once
// Where the piano strip's keys lie: white keys side by side across the strip, black keys over
// their joins, from the C the octave selects. Keys above note 127 are left out.

#include <windows.h>

#include <cstdint>
#include <string>

class CPianoKeys {
public:
    // The C the strip starts on at octave 0: the computer keyboard's lower row.
    static constexpr int kFirstNoteAtOctave0 = 48;
    // Two octaves and the C above them at the least.
    static constexpr int kFewestWhiteKeys = 15;

    // The keys of a strip whose keys fill `area`, starting on the C `octave` octaves from C3.
    CPianoKeys(const RECT& area, int octave);

    int FirstNote() const { return m_firstNote; }
    // One past the last note shown.
    int EndNote() const { return m_endNote; }
    int KeyCount() const { return m_endNote - m_firstNote; }
    // The key's rectangle; empty for a note not shown.
    RECT KeyRect(int note) const;
    static bool IsBlack(int note);
    // The note under the point (black keys first), or -1.
    int NoteAt(POINT point) const;
    // How hard a key struck at `y` plays: softly at its top, hardest at its bottom.
    std::uint8_t VelocityAt(int y) const;

private:
    // The number of white keys from the first note up to `note`.
    int WhitesBefore(int note) const;

    RECT m_area;
    int m_firstNote;
    int m_endNote;
    int m_whiteCount;
};

// "C 4", "C sharp 4": what a screen reader says for a note (middle C is C 4).
std::wstring NoteName(int note);
