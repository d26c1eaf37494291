// The piano strip in the real main window, with a virtual MIDI system standing in for winmm:
// notes played with the mouse and the computer keyboard go out as the MIDI keyboard's would,
// the first one switches previewing on, the keyboard's notes light the strip's keys, and the
// strip can be hidden, which the settings file keeps.

#include "tests/app/PreviewWindowFixture.h"

#include "app/PianoKeys.h"
#include "base/resource.h"
#include "midi/MidiMessage.h"

#include <oleacc.h>

#include <algorithm>

namespace {

// IAccessible's interface id, declared here: MinGW's oleacc and uuid libraries both define
// IID_IAccessible, and linking the two clashes.
const GUID kAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// Set-1 scan codes.
constexpr BYTE kScanQ = 0x10, kScanZ = 0x2C, kScanPageUp = 0x49, kScanSpace = 0x39;

DWORD Word(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    return PackShortMessage(status, data1, data2);
}

class PianoStripTest : public PreviewWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        SetUpPreviewWindow("strip-", {{"Grand", 0, 0, 16}, {"Kit", 128, 0, 16}});
    }

    HWND Strip() const { return GetDlgItem(Window(), IDC_PIANO_STRIP); }

    void Select(const std::vector<std::string>& path)
    {
        HTREEITEM item = Find(path);
        ASSERT_NE(item, nullptr) << ::testing::PrintToString(path);
        TreeView_SelectItem(Tree(), item);
    }
    void SelectGrand() { Select({"Loaded SoundFonts", kPreviewDevice1, "004 - Small", "000 Grand"}); }

    // A key going down or up at the strip, through the dialog's keyboard handling as its modal
    // loop does it, with the key's scan code as the platform gives it.
    void Key(UINT message, BYTE scanCode, bool repeat = false)
    {
        OnUi([&] {
            SetFocus(Strip());
            const UINT virtualKey = MapVirtualKeyA(scanCode, 1 /* MAPVK_VSC_TO_VK */);
            LPARAM lParam = 1 | static_cast<LPARAM>(scanCode) << 16;
            if (message == WM_KEYUP)
                lParam |= 0xC0000000;
            else if (repeat)
                lParam |= 0x40000000;
            PostMessageA(Strip(), message, virtualKey, lParam);
            MSG queued;
            while (PeekMessageA(&queued, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageA(Window(), &queued)) {
                    TranslateMessage(&queued);
                    DispatchMessageA(&queued);
                }
            }
        });
    }
    void Tap(BYTE scanCode)
    {
        Key(WM_KEYDOWN, scanCode);
        Key(WM_KEYUP, scanCode);
    }
    // A click on the key of `note` (as shown now), `depth` percent of the way down the key.
    void Click(int note, int depth, bool release = true)
    {
        RECT area = {};
        OnUi([&] { GetClientRect(Strip(), &area); });
        area.left += 40; // the velocity's label
        const CPianoKeys keys(area, m_octave);
        const RECT key = keys.KeyRect(note);
        ASSERT_LT(key.left, key.right) << "note " << note << " is not shown";
        const int x = (key.left + key.right) / 2;
        const int y = std::min<int>(key.top + (key.bottom - key.top) * depth / 100, key.bottom - 1);
        SendMessageA(Strip(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        if (release)
            SendMessageA(Strip(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    void ShiftOctave(int delta)
    {
        NMUPDOWN change = {{GetDlgItem(Window(), IDC_OCTAVE_SPIN), IDC_OCTAVE_SPIN, static_cast<UINT>(UDN_DELTAPOS)}, 0, delta};
        SendMessageA(Window(), WM_NOTIFY, IDC_OCTAVE_SPIN, reinterpret_cast<LPARAM>(&change));
        m_octave += delta;
    }
    std::vector<DWORD> WordsTo(int device) const
    {
        std::vector<DWORD> words;
        for (const SentMessage& sent : m_midi.Sent())
            if (sent.device == device && sent.state == HandleState::Open)
                words.push_back(sent.word);
        return words;
    }
    // Whether a screen reader hears the key of `note` as pressed.
    bool HeardPressed(int note)
    {
        IAccessible* object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(Strip(), static_cast<DWORD>(OBJID_CLIENT), kAccessible,
                                              reinterpret_cast<void**>(&object))))
            return false;
        VARIANT child;
        VariantInit(&child);
        child.vt = VT_I4;
        child.lVal = note - (CPianoKeys::kFirstNoteAtOctave0 + 12 * m_octave) + 1;
        VARIANT state;
        VariantInit(&state);
        const bool pressed = object->get_accState(child, &state) == S_OK && (state.lVal & STATE_SYSTEM_PRESSED);
        object->Release();
        return pressed;
    }

    int m_octave = 0;
};

TEST_F(PianoStripTest, StripKeyboardAndMidiKeyboardNotesOfOneKeyGoOutAlike)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    Open();
    ClickPreview();
    SelectGrand();
    ShiftOctave(1);

    // Key 60 of the MIDI keyboard, an octave up; Q of the computer keyboard, the same key; the
    // strip's key of the note they sound, struck hard.
    m_midi.ClearRecords();
    m_midi.Receive(0, Word(0x90, 60, 100));
    ASSERT_TRUE(m_midi.WaitUntilDelivered());
    m_midi.Receive(0, Word(0x80, 60, 0));
    ASSERT_TRUE(m_midi.WaitUntilDelivered());
    const std::vector<DWORD> fromMidi = WordsTo(1);
    ASSERT_EQ(fromMidi, (std::vector<DWORD>{Word(0x93, 72, 100), Word(0x83, 72, 0)}));

    m_midi.ClearRecords();
    Tap(kScanQ);
    EXPECT_EQ(WordsTo(1), fromMidi) << "the computer keyboard";

    m_midi.ClearRecords();
    Click(72, 100);
    EXPECT_EQ(WordsTo(1), (std::vector<DWORD>{Word(0x93, 72, 127), Word(0x83, 72, 0)})) << "the strip";
    m_midi.ClearRecords();
    Click(72, 0);
    ASSERT_EQ(WordsTo(1).size(), 2u);
    EXPECT_LT((WordsTo(1)[0] >> 16) & 0x7F, 64u) << "a key struck at its top plays softly";

    // Nothing playable selected: no note starts, from anywhere.
    Select({"Loaded SoundFonts"});
    m_midi.ClearRecords();
    Tap(kScanZ);
    Click(60, 50);
    EXPECT_EQ(WordsTo(1), (std::vector<DWORD>{Word(0x83, 60, 0), Word(0x83, 60, 0)}));
}

TEST_F(PianoStripTest, TheFirstNoteSwitchesPreviewingOn)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    Open();
    SelectGrand();
    ASSERT_EQ(WindowText(GetDlgItem(Window(), IDC_PREVIEW)), "Start &Preview");
    m_midi.ClearRecords();
    Key(WM_KEYDOWN, kScanQ);
    EXPECT_EQ(WindowText(GetDlgItem(Window(), IDC_PREVIEW)), "Stop &Preview");
    EXPECT_EQ(WordsTo(1), (std::vector<DWORD>{Word(0xB3, 0, 4), Word(0xC3, 0, 0), Word(0x93, 60, 100)}));
    Key(WM_KEYDOWN, kScanQ, true);
    Key(WM_KEYUP, kScanQ);
    EXPECT_EQ(WordsTo(1).back(), Word(0x83, 60, 0)) << "the repeat played nothing";
    EXPECT_EQ(WordsTo(1).size(), 4u);
}

TEST_F(PianoStripTest, PageUpMovesTheOctaveFieldAndSpaceHoldsNotes)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    Open();
    ClickPreview();
    SelectGrand();
    m_midi.ClearRecords();
    Tap(kScanPageUp);
    EXPECT_EQ(WindowText(GetDlgItem(Window(), IDC_OCTAVE_EDIT)), "+1");
    m_midi.ClearRecords();
    Key(WM_KEYDOWN, kScanSpace);
    Tap(kScanZ);
    EXPECT_EQ(WordsTo(1), (std::vector<DWORD>{Word(0x93, 60, 100)})) << "held by the pedal";
    Key(WM_KEYUP, kScanSpace);
    EXPECT_EQ(WordsTo(1), (std::vector<DWORD>{Word(0x93, 60, 100), Word(0x83, 60, 0)}));
}

TEST_F(PianoStripTest, LosingTheFocusReleasesTheKeysHeld)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    Open();
    ClickPreview();
    SelectGrand();
    m_midi.ClearRecords();
    Key(WM_KEYDOWN, kScanQ);
    Key(WM_KEYDOWN, kScanZ);
    OnUi([&] { SetFocus(Tree()); });
    EXPECT_EQ(WordsTo(1), (std::vector<DWORD>{Word(0x93, 60, 100), Word(0x93, 48, 100), Word(0x83, 48, 0),
                                              Word(0x83, 60, 0)}));
}

TEST_F(PianoStripTest, MidiKeyboardNotesLightTheirKeys)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    Open();
    OnUi([] { OleInitialize(nullptr); });
    CoInitialize(nullptr);
    ClickPreview();
    SelectGrand();
    m_midi.Receive(0, Word(0x90, 62, 90));
    ASSERT_TRUE(m_midi.WaitUntilDelivered());
    EXPECT_TRUE(HeardPressed(62));
    EXPECT_FALSE(HeardPressed(60));
    m_midi.Receive(0, Word(0x90, 62, 0));
    ASSERT_TRUE(m_midi.WaitUntilDelivered());
    EXPECT_FALSE(HeardPressed(62));
    OnUi([] { OleUninitialize(); });
    CoUninitialize();
}

TEST_F(PianoStripTest, HiddenStaysHiddenAcrossRunsAndTheTreeTakesItsRoom)
{
    Open();
    ASSERT_TRUE(IsWindowVisible(Strip()));
    RECT withStrip = {};
    GetWindowRect(Tree(), &withStrip);
    SendMessageA(Window(), WM_SYSCOMMAND, 0x0020, 0);
    EXPECT_FALSE(IsWindowVisible(Strip()));
    RECT without = {};
    GetWindowRect(Tree(), &without);
    EXPECT_LT(without.top, withStrip.top);
    EXPECT_EQ(without.bottom, withStrip.bottom);
    Close();
    EXPECT_NE(ReadFile(IniPath()).find("ShowPianoStrip=False"), std::string::npos) << ReadFile(IniPath());

    Open();
    EXPECT_FALSE(IsWindowVisible(Strip()));
    SendMessageA(Window(), WM_SYSCOMMAND, 0x0020, 0);
    EXPECT_TRUE(IsWindowVisible(Strip()));
    RECT again = {};
    GetWindowRect(Tree(), &again);
    EXPECT_EQ(again.top, withStrip.top);
    Close();
    EXPECT_NE(ReadFile(IniPath()).find("ShowPianoStrip=True"), std::string::npos);
}

} // namespace
