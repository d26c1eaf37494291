#include "app/PianoKeys.h"

#include <algorithm>

namespace {

constexpr int kSemitonesPerOctave = 12;
constexpr int kHighestNote = 127;
// A white key this wide reads well at 96 dots per inch; wider strips show more keys.
constexpr int kPreferredWhiteWidth = 18;
constexpr int kBlackWidthPercent = 60;
constexpr int kBlackHeightPercent = 60;
// The softest note a click at a key's very top plays.
constexpr int kSoftestVelocity = 24;
// The last C from which the fewest keys still end at or below 127.
constexpr int kHighestFirstNote = 108;

int WidthOf(const RECT& r) { return r.right - r.left; }
int HeightOf(const RECT& r) { return r.bottom - r.top; }

} // namespace

CPianoKeys::CPianoKeys(const RECT& area, int octave)
    : m_area(area)
{
    const int first = kFirstNoteAtOctave0 + kSemitonesPerOctave * std::clamp(octave, -20, 20);
    m_firstNote = std::clamp(first, 0, kHighestFirstNote);
    m_whiteCount = std::max(kFewestWhiteKeys, WidthOf(area) / kPreferredWhiteWidth);
    int note = m_firstNote;
    for (int whites = 0; whites < m_whiteCount && note <= kHighestNote; ++note)
        whites += IsBlack(note) ? 0 : 1;
    // A black key right after the last white one would hang off the strip's end.
    if (note <= kHighestNote && IsBlack(note))
        ++note;
    m_endNote = note;
}

bool CPianoKeys::IsBlack(int note)
{
    switch (((note % kSemitonesPerOctave) + kSemitonesPerOctave) % kSemitonesPerOctave) {
    case 1:
    case 3:
    case 6:
    case 8:
    case 10:
        return true;
    default:
        return false;
    }
}

int CPianoKeys::WhitesBefore(int note) const
{
    int whites = 0;
    for (int n = m_firstNote; n < note; ++n)
        whites += IsBlack(n) ? 0 : 1;
    return whites;
}

RECT CPianoKeys::KeyRect(int note) const
{
    RECT key = {};
    if (note < m_firstNote || note >= m_endNote)
        return key;
    const int whites = WhitesBefore(note);
    const auto edge = [this](int index) { return m_area.left + WidthOf(m_area) * index / m_whiteCount; };
    if (!IsBlack(note))
        return RECT{edge(whites), m_area.top, edge(whites + 1), m_area.bottom};
    const int join = edge(whites);
    const int half = (edge(1) - edge(0)) * kBlackWidthPercent / 200;
    return RECT{join - half, m_area.top, join + half, m_area.top + HeightOf(m_area) * kBlackHeightPercent / 100};
}

int CPianoKeys::NoteAt(POINT point) const
{
    for (int pass = 0; pass < 2; ++pass) {
        const bool black = pass == 0;
        for (int note = m_firstNote; note < m_endNote; ++note) {
            if (IsBlack(note) != black)
                continue;
            const RECT key = KeyRect(note);
            if (PtInRect(&key, point))
                return note;
        }
    }
    return -1;
}

std::uint8_t CPianoKeys::VelocityAt(int y) const
{
    const int height = std::max(1, HeightOf(m_area) - 1);
    const int depth = std::clamp(y - static_cast<int>(m_area.top), 0, height);
    return static_cast<std::uint8_t>(kSoftestVelocity + (kHighestNote - kSoftestVelocity) * depth / height);
}

std::wstring NoteName(int note)
{
    static const wchar_t* const kNames[kSemitonesPerOctave] = {
        L"C", L"C sharp", L"D", L"D sharp", L"E", L"F", L"F sharp", L"G", L"G sharp", L"A", L"A sharp", L"B",
    };
    // MIDI note 0 is C -1, so middle C (60) is C 4.
    return std::wstring(kNames[note % kSemitonesPerOctave]) + L" " + std::to_wstring(note / kSemitonesPerOctave - 1);
}
