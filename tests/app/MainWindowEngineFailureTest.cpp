// Every engine slot that the program calls, failing with each kind of result code, while the
// main window starts, refreshes, shows the memory meter, previews sounds on disk, loads,
// deletes and clears: each time the message that names the failure (or none), no hang, and
// every device the window opened is closed again.

#include "tests/app/MainWindowFixture.h"

#include "base/resource.h"
#include "engine/SfmInterface.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/MenuWatcher.h"
#include "tests/support/VirtualMidi.h"

#include <cstdio>
#include <functional>
#include <set>

namespace {

const char kDevice1[] = "Simulated Synth 1";

// The slots the program calls.
const int kSlots[] = {
    SfmSlot::DeviceCount, SfmSlot::Capabilities, SfmSlot::OpenDevice,   SfmSlot::CloseDevice,
    SfmSlot::QueryBank,   SfmSlot::MemoryStatus, SfmSlot::LoadBank,     SfmSlot::BankName,
    SfmSlot::BankFileName, SfmSlot::ClearBank,   SfmSlot::LoadPreset,   SfmSlot::PresetName,
    SfmSlot::ClearPreset, SfmSlot::LoadWave,
};

// One code of each kind the engine answers with, and codes its table does not know.
const SfmResult kCodes[] = {106, 111, 113, 202, 205, 901, -1};

using Slots = std::set<int>;

std::vector<std::string> If(bool condition, std::vector<std::string> messages)
{
    return condition ? messages : std::vector<std::string>{};
}

std::string Format(const char* format, const char* text)
{
    char message[256];
    std::snprintf(message, sizeof message, format, text);
    return message;
}

std::string SlotName(int slot)
{
    static const char* const kNames[] = {
#define SFM_SLOT_NAME(slot, name, arguments) #name,
        SFM_OPERATIONS(SFM_SLOT_NAME)
#undef SFM_SLOT_NAME
    };
    return std::to_string(slot) + " " + kNames[slot];
}

class EngineFailureTest : public MainWindowTest {
protected:
    // The messages an action shows while `slot` fails; `text` is the failure's text.
    using Expected = std::function<std::vector<std::string>(int slot, const std::string& text)>;
    struct Action {
        const char* name;
        std::function<void()> run;
        Expected expected;
    };

    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_midi.SetInputDevices({"Keys"});
        m_midi.SetOutputDevices({"Synth A"});
        m_folder = FreshFolder(std::string("failure-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_listed = m_folder.substr(0, m_folder.size() - 1);
        FixtureSoundFont soundFont;
        soundFont.name = "Small";
        soundFont.presets = {{"Grand", 0, 0, 16}, {"Kit", 128, 0, 16}};
        WriteSoundFont(m_folder + "small.sf2", soundFont);
        WriteBytes(m_folder + "tone.wav", WaveBytes(64));
    }

    // A card with bank 4 of device 0 loaded, and settings that list the folder.
    void PrepareCard()
    {
        Sim().Reset();
        LoadBank(0, 4, m_folder + "small.sf2");
        DeleteFileA(IniPath().c_str());
        CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", {m_listed});
    }

    void Refresh() { SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_REFRESH, BN_CLICKED), 0); }
    void Select(const std::vector<std::string>& path)
    {
        HTREEITEM item = Find(path);
        ASSERT_NE(item, nullptr) << ::testing::PrintToString(path) << ::testing::PrintToString(Lines());
        TreeView_SelectItem(Tree(), item);
    }
    void ChooseFromMenu(const std::vector<std::string>& path, const std::string& choice)
    {
        HTREEITEM item = Find(path);
        ASSERT_NE(item, nullptr) << ::testing::PrintToString(path) << ::testing::PrintToString(Lines());
        PointAt(item);
        MenuWatcher menu(choice);
        NotifyTree(NM_RCLICK);
        EXPECT_TRUE(menu.Shown());
    }
    std::string MeterText() const { return WindowText(GetDlgItem(Window(), IDC_MEMORY_TEXT)); }

    // The messages shown since the last call. The watcher counts a box only once it is gone,
    // a moment after the action that showed it has returned: this waits for the number
    // expected, and a late extra one is still seen, by the next call.
    std::vector<std::string> NewMessages(std::size_t expected)
    {
        m_boxes.WaitForCount(m_messagesSeen + expected);
        std::vector<std::string> texts = m_boxes.Texts();
        std::vector<std::string> fresh(texts.begin() + static_cast<std::ptrdiff_t>(m_messagesSeen), texts.end());
        m_messagesSeen = texts.size();
        return fresh;
    }

    // No device is left open on the card. When the card refuses to close, the window must at
    // least have asked: every open was followed by a close.
    void ExpectDevicesClosed(int failingSlot)
    {
        if (failingSlot == SfmSlot::CloseDevice) {
            EXPECT_GE(Sim().CallCount(SfmSlot::CloseDevice), Sim().CallCount(SfmSlot::OpenDevice));
            return;
        }
        EXPECT_EQ(Sim().OpenCount(0), 0u);
        EXPECT_EQ(Sim().OpenCount(1), 0u);
    }

    std::vector<Action> Actions()
    {
        const Slots opening = {SfmSlot::DeviceCount, SfmSlot::OpenDevice};
        return {
            {"refresh", [&] { Refresh(); },
             [](int slot, const std::string&) {
                 return If(slot == SfmSlot::DeviceCount, {"No SoundFont compatible devices installed"});
             }},
            {"memory meter",
             [&] {
                 Select({"Loaded SoundFonts", kDevice1, "004 - Small", "000 Grand"});
                 const Slots unread = {SfmSlot::DeviceCount, SfmSlot::OpenDevice, SfmSlot::MemoryStatus};
                 const bool shown = MeterText() != "0 MB Free";
                 EXPECT_EQ(shown, !unread.count(m_slot)) << MeterText();
             },
             [](int, const std::string&) { return std::vector<std::string>{}; }},
            {"preview of a wave and a preset on disk",
             [&] {
                 Select({"Sound Files on disk", m_listed, "tone.wav"});
                 Select({"Sound Files on disk", m_listed, "small.sf2", "000-000 Grand"});
                 Select({"Sound Files on disk"});
             },
             [opening](int slot, const std::string& text) {
                 if (opening.count(slot))
                     return std::vector<std::string>{
                         Format("Error loading wave file (couldn't open output device) (%s)", text.c_str()),
                         Format("Error loading preset (couldn't open output device) (%s)", text.c_str())};
                 if (slot == SfmSlot::LoadWave)
                     return std::vector<std::string>{Format("Error loading wave file (%s)", text.c_str())};
                 return If(slot == SfmSlot::LoadPreset, {Format("Error loading preset (%s)", text.c_str())});
             }},
            {"load by double-click",
             [&] {
                 PointAt(Find({"Sound Files on disk", m_listed, "small.sf2"}));
                 NotifyTree(NM_DBLCLK);
             },
             [opening](int slot, const std::string& text) {
                 return If(opening.count(slot) || slot == SfmSlot::LoadBank,
                           {Format("Error loading SoundFont (%s)", text.c_str())});
             }},
            {"delete", [&] { ChooseFromMenu({"Loaded SoundFonts", kDevice1, "004 - Small"}, "Delete"); },
             [opening](int slot, const std::string& text) {
                 // A bank that still answers as loaded after every clear is given up on.
                 if (slot == SfmSlot::QueryBank)
                     return std::vector<std::string>{"Error seleting SoundFont (Undefined Error)"};
                 return If(opening.count(slot) || slot == SfmSlot::ClearBank,
                           {Format("Error seleting SoundFont (%s)", text.c_str())});
             }},
            {"clear", [&] { ChooseFromMenu({"Loaded SoundFonts", kDevice1}, "Clear all loaded SoundFonts"); },
             [opening](int slot, const std::string& text) {
                 if (opening.count(slot))
                     return std::vector<std::string>{Format("Error opening SoundFont device (%s)", text.c_str())};
                 if (slot == SfmSlot::QueryBank)
                     return std::vector<std::string>{"Error clearing SoundFonts (Undefined Error)"};
                 return If(slot == SfmSlot::ClearBank, {Format("Error clearing SoundFonts (%s)", text.c_str())});
             }},
        };
    }

    VirtualMidi m_midi;
    std::string m_folder;
    std::string m_listed;
    int m_slot = 0;
    std::size_t m_messagesSeen = 0;
};

} // namespace

TEST_F(EngineFailureTest, StartingWithAnySlotFailing)
{
    for (int slot : kSlots) {
        for (SfmResult code : kCodes) {
            SCOPED_TRACE("slot " + SlotName(slot) + ", code " + std::to_string(code));
            PrepareCard();
            Sim().FailSlot(slot, code);
            ASSERT_NE(Open(), nullptr);
            Sim().FailSlot(slot, 0);
            const std::vector<std::string> expected =
                If(slot == SfmSlot::DeviceCount, {"No SoundFont compatible devices installed"});
            EXPECT_EQ(NewMessages(expected.size()), expected);
            ExpectDevicesClosed(slot);
            Close();
        }
    }
}

TEST_F(EngineFailureTest, CommandsWithAnySlotFailing)
{
    const std::vector<Action> actions = Actions();
    for (int slot : kSlots) {
        m_slot = slot;
        PrepareCard();
        ASSERT_NE(Open(), nullptr);
        SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);
        for (SfmResult code : kCodes) {
            for (const Action& action : actions) {
                SCOPED_TRACE("slot " + SlotName(slot) + ", code " + std::to_string(code) + ", " + action.name);
                // Each action starts from bank 4 loaded and a whole tree, every branch listed and
                // nothing selected.
                LoadBank(0, 4, m_folder + "small.sf2");
                TreeView_SelectItem(Tree(), nullptr);
                Refresh();
                ListEverything();
                Sim().FailSlot(slot, code);
                action.run();
                Sim().FailSlot(slot, 0);
                const std::vector<std::string> expected = action.expected(slot, SfmResultText(code));
                EXPECT_EQ(NewMessages(expected.size()), expected);
                ExpectDevicesClosed(slot);
            }
        }
        Close();
    }
}
