// Previewing in the real main window, with a virtual MIDI system standing in for winmm: what
// goes out, on which device and channel, for each kind of selection, the octave, the settings
// sheet, and the input thread racing the user-interface thread.

#include "tests/app/PreviewWindowFixture.h"

#include "base/resource.h"
#include "engine/SfmInterface.h"
#include "midi/MidiMessage.h"
#include "tests/support/DialogWatcher.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

namespace {

const char* const kDevice1 = kPreviewDevice1;

DWORD Word(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)
{
    return PackShortMessage(status, data1, data2);
}

std::vector<DWORD> Sweep(std::uint8_t channel)
{
    std::vector<DWORD> words;
    for (int note = 0; note < 128; ++note)
        words.push_back(Word(static_cast<std::uint8_t>(0x80 | channel), static_cast<std::uint8_t>(note), 0));
    return words;
}

std::vector<DWORD> Join(std::vector<DWORD> a, const std::vector<DWORD>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class PreviewTest : public PreviewWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        SetUpPreviewWindow("preview-", {{"Grand", 0, 0, 16}, {"Brass", 0, 61, 16}, {"Kit", 128, 0, 16}});
        WriteBytes(m_folder + "tone.wav", WaveBytes(64));
    }

    void Select(const std::vector<std::string>& path)
    {
        HTREEITEM item = Find(path);
        ASSERT_NE(item, nullptr) << ::testing::PrintToString(path);
        TreeView_SelectItem(Tree(), item);
    }
    void ShiftOctave(int delta)
    {
        NMUPDOWN change = {{GetDlgItem(Window(), IDC_OCTAVE_SPIN), IDC_OCTAVE_SPIN, static_cast<UINT>(UDN_DELTAPOS)}, 0, delta};
        SendMessageA(Window(), WM_NOTIFY, IDC_OCTAVE_SPIN, reinterpret_cast<LPARAM>(&change));
    }
    // Plays one message on the keyboard and waits until it has been passed on.
    void Play(DWORD word)
    {
        m_midi.Receive(0, word);
        ASSERT_TRUE(m_midi.WaitUntilDelivered());
    }
    std::vector<std::string> Preset(const char* bank, const char* preset) const
    {
        return {"Loaded SoundFonts", kDevice1, bank, preset};
    }
    std::vector<std::string> OnDisk(const std::string& file, const std::string& preset = std::string()) const
    {
        std::vector<std::string> path{"Sound Files on disk", m_listed, file};
        if (!preset.empty())
            path.push_back(preset);
        return path;
    }
    std::vector<DWORD> WordsTo(int device) const
    {
        std::vector<DWORD> words;
        for (const SentMessage& sent : m_midi.Sent())
            if (sent.device == device && sent.state == HandleState::Open)
                words.push_back(sent.word);
        return words;
    }
    std::uint32_t EngineCalls(int slot) const { return Sim().CallCount(slot); }

};

} // namespace

TEST_F(PreviewTest, WithoutMidiDevicesStartingSaysWhyAndStillCountsAsOn)
{
    m_midi.SetInputDevices({});
    m_midi.SetOutputDevices({});
    Open();
    ClickPreview();
    ASSERT_TRUE(m_boxes.WaitForCount(3));
    std::vector<std::string> texts = m_boxes.Texts();
    EXPECT_EQ(texts[0], "Couldn't open midi device (The specified device identifier is out of range)");
    EXPECT_EQ(texts[1].rfind("Couldn't start midi input (", 0), 0u) << texts[1];
    EXPECT_GT(texts[1].size(), std::string("Couldn't start midi input ()").size()) << texts[1];
    EXPECT_EQ(texts[2], "Couldn't open midi device (The specified device identifier is out of range)");
    EXPECT_EQ(WindowText(GetDlgItem(Window(), IDC_PREVIEW)), "Stop &Preview");
    ClickPreview();
    EXPECT_EQ(WindowText(GetDlgItem(Window(), IDC_PREVIEW)), "Start &Preview");
    EXPECT_EQ(m_boxes.Boxes().size(), 3u);
}

TEST_F(PreviewTest, LoadedPresetsPlayOnTheMappedOutputAndChannel)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    Open();
    ClickPreview();
    ASSERT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
    m_midi.ClearRecords();

    Select(Preset("004 - Small", "000 Grand"));
    EXPECT_EQ(m_midi.CallNames(), (std::vector<std::string>{"midiOutClose", "midiOutOpen"}));
    EXPECT_EQ(WordsTo(0), Sweep(0)) << "released on the output that is left";
    EXPECT_EQ(WordsTo(1), (std::vector<DWORD>{Word(0xB3, 0, 4), Word(0xC3, 0, 0)}));

    m_midi.ClearRecords();
    Select(Preset("004 - Small", "061 Brass"));
    EXPECT_TRUE(m_midi.CallNames().empty()) << "the same output stays open";
    EXPECT_EQ(WordsTo(1), (std::vector<DWORD>{Word(0xB3, 0, 4), Word(0xC3, 61, 0)}));

    // The keyboard plays on any channel; the notes go out on the preview channel.
    m_midi.ClearRecords();
    Play(Word(0x90, 60, 100));
    Play(Word(0x9A, 61, 0));
    Play(Word(0xB0, 7, 100));
    Play(Word(0xE0, 0, 64));
    EXPECT_EQ(WordsTo(1), (std::vector<DWORD>{Word(0x93, 60, 100), Word(0x93, 61, 0)}));

    // Percussion goes to the tenth channel, after the old channel's notes are released.
    m_midi.ClearRecords();
    Select(Preset("004 - Small", "000 Kit"));
    EXPECT_EQ(WordsTo(1), Join(Sweep(3), {Word(0xB9, 0, 4), Word(0xC9, 0, 0)}));

    // Nothing playable selected: keys are silent, releases still go out.
    m_midi.ClearRecords();
    Select({"Loaded SoundFonts"});
    Play(Word(0x90, 64, 90));
    Play(Word(0x80, 64, 0));
    EXPECT_EQ(WordsTo(1), (std::vector<DWORD>{Word(0x89, 64, 0)}));
}

TEST_F(PreviewTest, PercussionSelectedWhileOffUsesTheMappedChannelUntilStarted)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    Open();
    Select(Preset("004 - Small", "000 Kit"));
    EXPECT_TRUE(m_midi.Sent().empty());
    ClickPreview();
    EXPECT_EQ(WordsTo(1), (std::vector<DWORD>{Word(0xB3, 0, 4), Word(0xC3, 0, 0)}));
}

TEST_F(PreviewTest, OctaveShiftsNotesWithinLimitsAndReleasesHeldOnes)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    Open();
    ClickPreview();
    Select(Preset("004 - Small", "000 Grand"));
    struct Case {
        int delta;
        const char* shown;
        std::uint8_t in;
        std::uint8_t out;
    };
    const Case cases[] = {
        {1, "+1", 60, 72}, {1, "+2", 120, 127}, {7, "+9", 0, 108}, {1, "+9", 0, 108},
        {-9, "0", 60, 60}, {-2, "-2", 60, 36}, {-7, "-9", 50, 0}, {-1, "-9", 127, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("shown ") + c.shown);
        m_midi.ClearRecords();
        ShiftOctave(c.delta);
        EXPECT_EQ(WindowText(GetDlgItem(Window(), IDC_OCTAVE_EDIT)), c.shown);
        EXPECT_EQ(WordsTo(1), Sweep(3));
        m_midi.ClearRecords();
        Play(Word(0x90, c.in, 80));
        EXPECT_EQ(WordsTo(1), std::vector<DWORD>{Word(0x93, c.out, 80)});
    }
}

TEST_F(PreviewTest, TheOctaveArrowsRaiseAndLowerTheShiftWithinItsLimits)
{
    Open();
    HWND spin = GetDlgItem(Window(), IDC_OCTAVE_SPIN);
    RECT size = {};
    GetClientRect(spin, &size);
    const LPARAM up = MAKELPARAM(size.right / 2, size.bottom / 4);
    const LPARAM down = MAKELPARAM(size.right / 2, size.bottom * 3 / 4);
    const struct {
        const char* arrow;
        LPARAM point;
        int clicks;
        const char* shown;
    } cases[] = {
        {"up", up, 1, "+1"}, {"up", up, 1, "+2"}, {"down", down, 3, "-1"},
        {"up", up, 12, "+9"}, {"down", down, 20, "-9"}, {"up", up, 9, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.clicks) + " x " + c.arrow);
        for (int click = 0; click < c.clicks; ++click) {
            SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, c.point);
            SendMessageA(spin, WM_LBUTTONUP, 0, c.point);
        }
        EXPECT_EQ(WindowText(GetDlgItem(Window(), IDC_OCTAVE_EDIT)), c.shown);
    }
}

// A key held when previewing stops or moves to another output or channel: its note-off would
// go to a closed input or to where the note does not sound, so the note is released on the
// output and channel it sounds on before they change.
TEST_F(PreviewTest, HeldNotesAreReleasedWhereTheySoundBeforePreviewingStopsOrMoves)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    const auto openSettings = [this] {
        DialogWatcher sheet("Tonewell Properties", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_SETTINGS, BN_CLICKED), 0);
        EXPECT_TRUE(sheet.Answered());
    };
    // Loaded presets of the device play on Synth B (output 1), channel 3; disk sounds on
    // Synth A (output 0), channel 5 (channels counted from 0).
    const struct {
        const char* name;
        std::vector<std::string> playing;
        std::function<void()> action;
        int device;
        std::uint8_t channel;
    } cases[] = {
        {"stopping", Preset("004 - Small", "000 Grand"), [this] { ClickPreview(); }, 1, 3},
        {"opening the settings", Preset("004 - Small", "000 Grand"), openSettings, 1, 3},
        {"a preset on disk", Preset("004 - Small", "000 Grand"),
         [this] { Select(OnDisk("small.sf2", "000-000 Grand")); }, 1, 3},
        {"a wave file", Preset("004 - Small", "000 Grand"), [this] { Select(OnDisk("tone.wav")); }, 1, 3},
        {"a loaded preset on another output", OnDisk("tone.wav"),
         [this] { Select(Preset("004 - Small", "000 Grand")); }, 0, 5},
        {"percussion on the same output", Preset("004 - Small", "000 Grand"),
         [this] { Select(Preset("004 - Small", "000 Kit")); }, 1, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(Open(), nullptr);
        ClickPreview();
        Select(c.playing);
        m_midi.ClearRecords();
        Play(Word(0x90, 60, 100));
        c.action();
        const std::vector<DWORD> expected = Join({Word(0x90 | c.channel, 60, 100)}, Sweep(c.channel));
        std::vector<DWORD> sent = WordsTo(c.device);
        sent.resize(std::min(sent.size(), expected.size()));
        EXPECT_EQ(sent, expected);
        Close();
    }
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(PreviewTest, DiskSoundsLoadIntoThePreviewBankOnlyWhilePreviewing)
{
    Open();
    Select(OnDisk("small.sf2", "000-061 Brass"));
    EXPECT_EQ(EngineCalls(SfmSlot::LoadPreset), 0u);

    ClickPreview();
    m_midi.ClearRecords();
    Select(OnDisk("small.sf2", "000-000 Grand"));
    EXPECT_EQ(EngineCalls(SfmSlot::ClearPreset), 1u) << "leaving the first selection";
    EXPECT_EQ(EngineCalls(SfmSlot::LoadPreset), 1u);
    EXPECT_EQ(m_midi.CallNames(), (std::vector<std::string>{"midiOutClose", "midiOutOpen"}));
    EXPECT_EQ(WordsTo(0), Join(Sweep(0), {Word(0xB5, 0, 127), Word(0xC5, 127, 0)}));

    m_midi.ClearRecords();
    Select(OnDisk("tone.wav"));
    EXPECT_EQ(EngineCalls(SfmSlot::ClearPreset), 2u);
    EXPECT_EQ(EngineCalls(SfmSlot::LoadWave), 1u);
    EXPECT_EQ(WordsTo(0), (std::vector<DWORD>{Word(0xB5, 0, 127), Word(0xC5, 127, 0)}));
    Play(Word(0x91, 62, 70));
    EXPECT_EQ(WordsTo(0).back(), Word(0x95, 62, 70));

    Select({"Sound Files on disk"});
    EXPECT_EQ(EngineCalls(SfmSlot::ClearPreset), 3u);
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(PreviewTest, DiskSoundThatCannotBeLoadedIsReportedAndStillSelected)
{
    Open();
    ClickPreview();
    Sim().FailSlot(SfmSlot::LoadWave, 205);
    Select(OnDisk("tone.wav"));
    Sim().FailSlot(SfmSlot::OpenDevice, 202);
    Select(OnDisk("small.sf2", "000-000 Grand"));
    Sim().FailSlot(SfmSlot::OpenDevice, 0);
    ASSERT_TRUE(m_boxes.WaitForCount(2));
    EXPECT_EQ(m_boxes.Texts(), (std::vector<std::string>{
                                   "Error loading wave file (Sound Memory Insufficient)",
                                   "Error loading preset (couldn't open output device) (Device Busy)"}));
    EXPECT_EQ(WordsTo(0).back(), Word(0xC5, 127, 0));
}

TEST_F(PreviewTest, SettingsSheetPausesPreviewAndOkRebuildsTheTree)
{
    Open();
    ClickPreview();
    m_midi.ClearRecords();
    // A rebuilt tree has new items: a mark on the old root tells them apart (a new item may
    // take the old one's handle).
    TVITEMA mark = {};
    mark.mask = TVIF_TEXT | TVIF_HANDLE;
    mark.hItem = TreeView_GetRoot(Tree());
    mark.pszText = const_cast<char*>("marked");
    SendMessageA(Tree(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&mark));
    {
        DialogWatcher sheet("Tonewell Properties", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_SETTINGS, BN_CLICKED), 0);
        EXPECT_TRUE(sheet.Answered());
    }
    EXPECT_EQ(m_midi.CallNames(), (std::vector<std::string>{"midiInStop", "midiInClose", "midiOutClose",
                                                           "midiInOpen", "midiInStart", "midiOutOpen"}));
    EXPECT_EQ(ItemText(TreeView_GetRoot(Tree())), "marked");
    {
        DialogWatcher sheet("Tonewell Properties", [](HWND dialog) { PressButton(dialog, IDOK); });
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_SETTINGS, BN_CLICKED), 0);
        EXPECT_TRUE(sheet.Answered());
    }
    EXPECT_EQ(ItemText(TreeView_GetRoot(Tree())), "Loaded SoundFonts");
    EXPECT_EQ(WindowText(GetDlgItem(Window(), IDC_PREVIEW)), "Stop &Preview");

    ClickPreview();
    m_midi.ClearRecords();
    {
        DialogWatcher sheet("Tonewell Properties", [](HWND dialog) { PressButton(dialog, IDOK); });
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_SETTINGS, BN_CLICKED), 0);
    }
    EXPECT_TRUE(m_midi.CallNames().empty()) << "the sheet never switches previewing on";
}

TEST_F(PreviewTest, InputRacingTheUserInterfaceNeverReachesAClosingOutput)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    Open();
    ClickPreview();
    const std::vector<std::vector<std::string>> selections = {
        Preset("004 - Small", "000 Grand"), Preset("004 - Small", "000 Kit"), {"Loaded SoundFonts"},
        OnDisk("tone.wav"), OnDisk("small.sf2", "000-061 Brass"), {"Sound Files on disk"}};
    std::atomic<bool> done{false};
    std::atomic<int> played{0};
    std::thread keyboard([&] {
        for (int i = 0; !done || i < 100000; ++i) {
            auto note = static_cast<std::uint8_t>(i % 128);
            m_midi.Receive(0, Word(i % 2 ? 0x90 : 0x80, note, 100));
            ++played;
            // A keyboard can't play faster than the input is delivered: without this the
            // queue would grow for as long as the user-interface thread works.
            if (i % 256 == 0)
                m_midi.WaitUntilDelivered();
        }
    });
    for (int round = 0; round < 1000; ++round) {
        Select(selections[round % selections.size()]);
        ShiftOctave(round % 3 - 1);
        if (round % 7 == 0)
            ClickPreview();
        if (round % 50 == 0) {
            DialogWatcher sheet("Tonewell Properties", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
            SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_SETTINGS, BN_CLICKED), 0);
        }
    }
    done = true;
    keyboard.join();
    ASSERT_TRUE(m_midi.WaitUntilDelivered(20000));
    EXPECT_GE(played.load(), 100000);
    EXPECT_TRUE(m_midi.Violations().empty()) << ::testing::PrintToString(m_midi.Violations());
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(PreviewTest, PreviewOnStartupStartsBeforeTheDeviceMapIsRead)
{
    CProfile(IniPath(), false).WriteBool("Preview", "PreviewEnableOnStartup", true);
    Open();
    EXPECT_EQ(WindowText(GetDlgItem(Window(), IDC_PREVIEW)), "Stop &Preview");
    EXPECT_EQ(m_midi.CallNames(), (std::vector<std::string>{"midiInOpen", "midiInStart", "midiOutOpen"}));
    // Output 0, channel 0, bank 0 and program 0: the device map (Synth B, channel 3) is read
    // only afterwards.
    EXPECT_EQ(WordsTo(0), (std::vector<DWORD>{Word(0xB0, 0, 0), Word(0xC0, 0, 0)}));
    Close();
    bool onStartup = false;
    EXPECT_TRUE(CProfile(IniPath(), false).ReadBool("Preview", "PreviewEnableOnStartup", onStartup));
    EXPECT_TRUE(onStartup);
    // The device map was read all the same, after the start.
    EXPECT_EQ(SavedValue("Preview", "DevMapArray_SFDevName_0"), kDevice1);
    EXPECT_EQ(SavedValue("Preview", "DevMapArray_Channel_0"), "3");
}
