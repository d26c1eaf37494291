#include "midi/ComputerKeyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Set-1 scan codes the cases use.
constexpr std::uint8_t kZ = 0x2C, kS = 0x1F, kComma = 0x33, kSlash = 0x35, kQ = 0x10, kTwo = 0x03,
                       kI = 0x17, kP = 0x19, kA = 0x1E, kSpace = 0x39, kPageUp = 0x49,
                       kPageDown = 0x51, kLeft = 0x4B, kRight = 0x4D, kTab = 0x0F, kEscape = 0x01;

struct NoteCase {
    const char* name;
    std::uint8_t scanCode;
    int octave;
    int note; // -1: the key plays none
};

const NoteCase kNoteCases[] = {
    {"Z is the lower row's C3", kZ, 0, 48},
    {"S is C#3", kS, 0, 49},
    {"comma is the C above", kComma, 0, 60},
    {"slash ends the lower row on E4", kSlash, 0, 64},
    {"Q is middle C", kQ, 0, 60},
    {"2 is C#4", kTwo, 0, 61},
    {"I is C5", kI, 0, 72},
    {"P ends the upper row on E5", kP, 0, 76},
    {"one octave up", kQ, 1, 72},
    {"two octaves down", kZ, -2, 24},
    {"the top octave clamps P to 127", kP, 5, 127},
    {"nine octaves up clamps every key to 127", kZ, 9, 127},
    {"the lowest octave clamps Z to 0", kZ, -9, 0},
    {"the lowest octave clamps P to 0 too", kP, -9, 0},
    {"an octave far out of range still clamps", kQ, 1000000, 127},
    {"a far negative octave clamps", kQ, -1000000, 0},
    {"A is not a playing key", kA, 0, -1},
    {"Tab is not a playing key", kTab, 0, -1},
    {"Space is not a note", kSpace, 0, -1},
};

TEST(ComputerKeyboard, KeyPositionAndOctaveGiveTheNote)
{
    for (const NoteCase& c : kNoteCases)
        EXPECT_EQ(NoteOfKey(c.scanCode, c.octave), c.note) << c.name;
}

// What the keyboard sent, one word per note: "+60/100" on, "-60" off.
class RecordedNotes final : public IPlayedNotes {
public:
    void NoteOn(std::uint8_t note, std::uint8_t velocity) override
    {
        events.push_back("+" + std::to_string(note) + "/" + std::to_string(velocity));
    }
    void NoteOff(std::uint8_t note) override { events.push_back("-" + std::to_string(note)); }

    std::vector<std::string> events;
};

// One step of a case: a key going down (or up), with its modifiers.
struct Step {
    bool down;
    std::uint8_t scanCode;
    bool control = false;
    bool alt = false;
    bool repeat = false;
    int octave = 0; // set before the step
};

Step Down(std::uint8_t scanCode, int octave = 0) { return {true, scanCode, false, false, false, octave}; }
Step Up(std::uint8_t scanCode, int octave = 0) { return {false, scanCode, false, false, false, octave}; }
Step Repeat(std::uint8_t scanCode) { return {true, scanCode, false, false, true, 0}; }
Step CtrlDown(std::uint8_t scanCode) { return {true, scanCode, true, false, false, 0}; }
Step AltDown(std::uint8_t scanCode) { return {true, scanCode, false, true, false, 0}; }

struct PlayCase {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> sent;
};

const PlayCase kPlayCases[] = {
    {"a key plays and releases its note", {Down(kQ), Up(kQ)}, {"+60/100", "-60"}},
    {"auto-repeat is ignored", {Down(kQ), Repeat(kQ), Repeat(kQ), Up(kQ)}, {"+60/100", "-60"}},
    {"a second down without repeat flag is ignored too", {Down(kQ), Down(kQ), Up(kQ)}, {"+60/100", "-60"}},
    {"a key released after an octave change releases the note it started",
     {Down(kQ, 0), Up(kQ, 1), Down(kQ, 1), Up(kQ, 1)}, {"+60/100", "-60", "+72/100", "-72"}},
    {"two keys on one note: the note ends with the last",
     {Down(kComma), Down(kQ), Up(kComma), Up(kQ)}, {"+60/100", "+60/100", "-60"}},
    {"Ctrl combinations are shortcuts, not notes", {CtrlDown(kZ), Up(kZ)}, {}},
    {"Alt combinations are access keys, not notes", {AltDown(kQ), Up(kQ)}, {}},
    {"a key released with Ctrl held still releases", {Down(kZ), CtrlDown(kA), Up(kZ)}, {"+48/100", "-48"}},
    {"Space holds released notes until it is lifted",
     {Down(kSpace), Down(kQ), Up(kQ), Down(kZ), Up(kZ), Up(kSpace)},
     {"+60/100", "+48/100", "-48", "-60"}},
    {"a note still held when Space is lifted keeps sounding",
     {Down(kSpace), Down(kQ), Up(kSpace), Up(kQ)}, {"+60/100", "-60"}},
    {"a held note struck again under the pedal sounds anew",
     {Down(kSpace), Down(kQ), Up(kQ), Down(kQ), Up(kQ), Up(kSpace)},
     {"+60/100", "-60", "+60/100", "-60"}},
    {"Space repeating is ignored", {Down(kSpace), Repeat(kSpace), Down(kQ), Up(kQ), Up(kSpace)},
     {"+60/100", "-60"}},
    {"Right raises the velocity, Left lowers it",
     {Down(kRight), Down(kQ), Up(kQ), Down(kLeft), Down(kLeft), Down(kQ), Up(kQ)},
     {"+60/112", "-60", "+60/80", "-60"}},
    {"the velocity stops at 127", {Down(kRight), Down(kRight), Down(kRight), Down(kQ)}, {"+60/127"}},
    {"the velocity stops at 16",
     {Down(kLeft), Down(kLeft), Down(kLeft), Down(kLeft), Down(kLeft), Down(kLeft), Down(kLeft), Down(kQ)},
     {"+60/16"}},
    {"a key-up never seen down sends nothing", {Up(kQ), Up(kSpace), Up(kEscape)}, {}},
};

TEST(ComputerKeyboard, PlaysReleasesAndHolds)
{
    for (const PlayCase& c : kPlayCases) {
        RecordedNotes notes;
        CComputerKeyboard keyboard(notes);
        for (const Step& step : c.steps) {
            keyboard.SetOctave(step.octave);
            KeyStroke stroke;
            stroke.scanCode = step.scanCode;
            stroke.control = step.control;
            stroke.alt = step.alt;
            stroke.repeat = step.repeat;
            if (step.down)
                keyboard.KeyDown(stroke);
            else
                keyboard.KeyUp(stroke);
        }
        EXPECT_EQ(notes.events, c.sent) << c.name;
    }
}

struct ActionCase {
    const char* name;
    KeyStroke stroke;
    KeyboardAction action;
};

TEST(ComputerKeyboard, SaysWhichKeysAreItsOwn)
{
    const ActionCase cases[] = {
        {"a playing key", {kQ, false, false, false}, KeyboardAction::Played},
        {"Page Up", {kPageUp, false, false, false}, KeyboardAction::OctaveUp},
        {"Page Down", {kPageDown, false, false, false}, KeyboardAction::OctaveDown},
        {"Up, as in the octave field", {0x48, false, false, false}, KeyboardAction::OctaveUp},
        {"Down, as in the octave field", {0x50, false, false, false}, KeyboardAction::OctaveDown},
        {"Left", {kLeft, false, false, false}, KeyboardAction::Velocity},
        {"Space", {kSpace, false, false, false}, KeyboardAction::Sustain},
        {"Tab moves the focus", {kTab, false, false, false}, KeyboardAction::NotMine},
        {"Escape", {kEscape, false, false, false}, KeyboardAction::NotMine},
        {"Ctrl+F", {0x21, true, false, false}, KeyboardAction::NotMine},
        {"Ctrl+Page Up", {kPageUp, true, false, false}, KeyboardAction::NotMine},
        {"Alt+P, an access key", {kP, false, true, false}, KeyboardAction::NotMine},
        {"a playing key repeating", {kQ, false, false, true}, KeyboardAction::Ignored},
    };
    for (const ActionCase& c : cases) {
        RecordedNotes notes;
        CComputerKeyboard keyboard(notes);
        EXPECT_EQ(keyboard.KeyDown(c.stroke), c.action) << c.name;
    }
}

TEST(ComputerKeyboard, LosingTheFocusReleasesEveryNoteOnceAndLiftsThePedal)
{
    RecordedNotes notes;
    CComputerKeyboard keyboard(notes);
    keyboard.KeyDown({kSpace});
    keyboard.KeyDown({kZ});
    keyboard.KeyUp({kZ});
    keyboard.KeyDown({kComma});
    keyboard.KeyDown({kQ});
    keyboard.SetOctave(2);
    keyboard.KeyDown({kP});
    keyboard.ReleaseAll();
    EXPECT_EQ(notes.events, (std::vector<std::string>{"+48/100", "+60/100", "+60/100", "+100/100",
                                                      "-48", "-60", "-100"}));
    for (int note = 0; note < 128; ++note)
        EXPECT_FALSE(keyboard.IsSounding(static_cast<std::uint8_t>(note))) << note;

    // The key-ups that follow, and the pedal's, find nothing to release; keys play afresh.
    notes.events.clear();
    keyboard.KeyUp({kQ});
    keyboard.KeyUp({kSpace});
    keyboard.KeyDown({kQ});
    keyboard.KeyUp({kQ});
    EXPECT_EQ(notes.events, (std::vector<std::string>{"+84/100", "-84"}));
}

} // namespace
