// The preview page inside the settings sheet, over named MIDI devices and the simulated card.

#include "base/resource.h"
#include "dialogs/PropSheet.h"
#include "tests/dialogs/SettingsFixture.h"
#include "tests/dialogs/SheetRunner.h"
#include "tests/support/ControlLayout.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kChannels = {"1", "2",  "3",  "4",  "5",  "6",  "7",  "8",
                                            "9", "10", "11", "12", "13", "14", "15", "16"};

// The controls that show the chosen device's output and channel, with their labels.
const int kEntryControls[] = {IDC_DEVICE_OUT_DEVICE, IDC_DEVICE_OUT_DEVICE_LABEL,
                              IDC_DEVICE_OUT_CHANNEL, IDC_DEVICE_OUT_CHANNEL_LABEL};

class PreviewPage : public SettingsFixture {
protected:
    CPropMidi& page() { return sheet.Page(); }

    std::function<INT_PTR()> Show()
    {
        return [this] { return sheet.DoModal(); };
    }

    static bool ApplyEnabled(const SheetRunner& runner)
    {
        return IsWindowEnabled(GetDlgItem(runner.Sheet(), kApplyButton)) != FALSE;
    }

    static void ExpectEntryControlsEnabled(const SheetRunner& runner, bool enabled)
    {
        for (int id : kEntryControls)
            EXPECT_EQ(IsWindowEnabled(runner.PageItem(id)) != FALSE, enabled) << id;
    }

    CPropSheet sheet{kSettingsSheetCaption, nullptr, 0};
};

TEST_F(PreviewPage, TemplateHoldsEveryControlWithItsText)
{
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    ExpectControls(runner.Page(), {
        {IDC_PREVIEW_ON_STARTUP, "Button", "Start &preview on startup", BS_AUTOCHECKBOX},
        {IDC_MIDI_IN_DEVICE, "ComboBox", nullptr, CBS_DROPDOWN},
        {IDC_SOUNDFONT_DEVICE, "ComboBox", nullptr, CBS_DROPDOWN},
        {IDC_ENABLE_PREVIEWING, "Button", "&Enable Previewing", BS_AUTOCHECKBOX},
        {IDC_DEVICE_OUT_DEVICE_LABEL, "Static", "Corresponding Midi &Output Device:", SS_LEFT},
        {IDC_DEVICE_OUT_DEVICE, "ComboBox", nullptr, CBS_DROPDOWN},
        {IDC_DEVICE_OUT_CHANNEL_LABEL, "Static", "Corresponding Midi Output &Channel:", SS_LEFT},
        {IDC_DEVICE_OUT_CHANNEL, "ComboBox", nullptr, CBS_DROPDOWN},
        {IDC_FILE_SOUNDFONT_DEVICE, "ComboBox", nullptr, CBS_DROPDOWN},
        {IDC_FILE_OUT_DEVICE_LABEL, "Static", "&Midi Output Device:", SS_LEFT},
        {IDC_FILE_OUT_DEVICE, "ComboBox", nullptr, CBS_DROPDOWN},
        {IDC_FILE_OUT_CHANNEL_LABEL, "Static", "Midi Output C&hannel:", SS_LEFT},
        {IDC_FILE_OUT_CHANNEL, "ComboBox", nullptr, CBS_DROPDOWN},
        {IDC_FILE_BANK, "Edit", nullptr, ES_NUMBER | ES_RIGHT},
        {IDC_FILE_BANK_SPIN, "msctls_updown32", nullptr,
         UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ARROWKEYS},
        {IDC_FILE_INSTRUMENT, "Edit", nullptr, ES_NUMBER | ES_RIGHT},
        {IDC_FILE_INSTRUMENT_SPIN, "msctls_updown32", nullptr,
         UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ARROWKEYS},
    });
    ExpectSpinBuddies(runner.Page(), {{IDC_FILE_BANK_SPIN, IDC_FILE_BANK}, {IDC_FILE_INSTRUMENT_SPIN, IDC_FILE_INSTRUMENT}});

    // The groups and labels without ids, in template order, and the three pictures.
    std::vector<std::string> texts;
    int pictures = 0;
    for (HWND child = GetWindow(runner.Page(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) != static_cast<int>(IDC_STATIC))
            continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) {
            ++pictures;
            EXPECT_NE(SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "bitmap 132 loaded";
        } else {
            texts.push_back(WindowText(child));
        }
    }
    EXPECT_EQ(pictures, 3);
    EXPECT_EQ(texts, (std::vector<std::string>{"Midi Input", "&Device:", "Loaded SoundFonts",
                                               "SoundFont De&vice:", "Sound Files on disk",
                                               "&Use SoundFont Device:", "&Bank:", "&Instrument:"}));
}

TEST_F(PreviewPage, OpensWithTheDeviceListsAndTheStoredChoicesAndApplyDisabled)
{
    page().m_values.midiInDevice = 1;
    page().m_values.previewOnStartup = true;
    page().m_values.fileSoundFontDevice = 1;
    page().m_values.fileMidiOutDevice = 2;
    page().m_values.fileMidiOutChannel = 9;
    page().m_values.fileBank = 5;
    page().m_values.fileInstrument = 64;
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);

    const struct {
        int id;
        std::vector<std::string> items;
        int selection;
    } boxes[] = {
        {IDC_MIDI_IN_DEVICE, kInputs, 1},
        {IDC_SOUNDFONT_DEVICE, kSoundFontDevices, 0},
        {IDC_DEVICE_OUT_DEVICE, kOutputs, 0},
        {IDC_DEVICE_OUT_CHANNEL, kChannels, 0},
        {IDC_FILE_SOUNDFONT_DEVICE, kSoundFontDevices, 1},
        {IDC_FILE_OUT_DEVICE, kOutputs, 2},
        {IDC_FILE_OUT_CHANNEL, kChannels, 9},
    };
    for (const auto& box : boxes) {
        EXPECT_EQ(ComboItems(runner.PageItem(box.id)), box.items) << box.id;
        EXPECT_EQ(ComboSelection(runner.PageItem(box.id)), box.selection) << box.id;
    }
    EXPECT_EQ(WindowText(runner.PageItem(IDC_FILE_BANK)), "5");
    EXPECT_EQ(WindowText(runner.PageItem(IDC_FILE_INSTRUMENT)), "64");
    for (int spin : {IDC_FILE_BANK_SPIN, IDC_FILE_INSTRUMENT_SPIN}) {
        int lowest = -1, highest = -1;
        SendMessageA(runner.PageItem(spin), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lowest),
                     reinterpret_cast<LPARAM>(&highest));
        EXPECT_EQ(lowest, 0) << spin;
        EXPECT_EQ(highest, 127) << spin;
    }
    EXPECT_TRUE(IsChecked(runner.PageItem(IDC_PREVIEW_ON_STARTUP)));
    EXPECT_FALSE(ApplyEnabled(runner)) << "nothing has changed yet";
    EXPECT_EQ(page().m_values.fileBank, 5);
    EXPECT_EQ(page().m_values.fileInstrument, 64);
}

TEST_F(PreviewPage, AStoredPositionPastItsListShowsNoSelectionAndStaysUnlessTheUserPicks)
{
    page().m_values.midiInDevice = 3;
    page().m_values.fileSoundFontDevice = 2;
    page().m_values.fileMidiOutDevice = 4;
    page().m_values.fileMidiOutChannel = 16;
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    for (int id :
         {IDC_MIDI_IN_DEVICE, IDC_FILE_SOUNDFONT_DEVICE, IDC_FILE_OUT_DEVICE, IDC_FILE_OUT_CHANNEL})
        EXPECT_EQ(ComboSelection(runner.PageItem(id)), CB_ERR) << id;
    runner.Press(IDOK);
    ASSERT_TRUE(runner.WaitForEnd());
    EXPECT_EQ(runner.Result(), IDOK);
    EXPECT_EQ(page().m_values.midiInDevice, 3);
    EXPECT_EQ(page().m_values.fileSoundFontDevice, 2);
    EXPECT_EQ(page().m_values.fileMidiOutDevice, 4);
    EXPECT_EQ(page().m_values.fileMidiOutChannel, 16);
}

// Showing the stored numbers runs the edits' rule on them, without counting as a change.
TEST_F(PreviewPage, AStoredBankOrInstrumentOutOfRangeOpensCorrected)
{
    page().m_values.fileBank = 300;
    page().m_values.fileInstrument = -4;
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    EXPECT_EQ(WindowText(runner.PageItem(IDC_FILE_BANK)), "127");
    EXPECT_EQ(WindowText(runner.PageItem(IDC_FILE_INSTRUMENT)), "0");
    EXPECT_EQ(page().m_values.fileBank, 127);
    EXPECT_EQ(page().m_values.fileInstrument, 0);
    EXPECT_FALSE(ApplyEnabled(runner));
}

TEST_F(PreviewPage, BankAndInstrumentEditsKeepTheirNumberWithin0To127)
{
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    const struct {
        const char* typed;
        const char* shown;
        std::int32_t stored;
    } cases[] = {
        {"300", "127", 127}, {"42", "42", 42}, {"", "", 0},     {"128", "127", 127},
        {"-5", "0", 0},      {"12abc", "12abc", 12},            {"127", "127", 127},
    };
    const struct {
        int edit;
        std::int32_t PreviewSettings::*member;
    } edits[] = {{IDC_FILE_BANK, &PreviewSettings::fileBank},
                 {IDC_FILE_INSTRUMENT, &PreviewSettings::fileInstrument}};
    for (const auto& e : edits) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(e.edit) + " \"" + c.typed + "\"");
            page().m_values.*e.member = -1;
            Type(runner.Page(), e.edit, c.typed);
            EXPECT_EQ(WindowText(runner.PageItem(e.edit)), c.shown);
            EXPECT_EQ(page().m_values.*e.member, c.stored);
            EXPECT_TRUE(ApplyEnabled(runner));
        }
    }

    // The spin moves from the number in its edit, and the edit's change stores the new one.
    Type(runner.Page(), IDC_FILE_BANK, "5");
    SendMessageA(runner.PageItem(IDC_FILE_BANK), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(WindowText(runner.PageItem(IDC_FILE_BANK)), "4");
    EXPECT_EQ(page().m_values.fileBank, 4);
    Type(runner.Page(), IDC_FILE_INSTRUMENT, "127");
    SendMessageA(runner.PageItem(IDC_FILE_INSTRUMENT), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(WindowText(runner.PageItem(IDC_FILE_INSTRUMENT)), "127");
    EXPECT_EQ(page().m_values.fileInstrument, 127);
}

// What the three entry controls show for one SoundFont device.
struct EntryView {
    int output;
    int channel;
    bool enabled;
};

void ExpectEntryView(const SheetRunner& runner, const EntryView& view)
{
    EXPECT_EQ(ComboSelection(runner.PageItem(IDC_DEVICE_OUT_DEVICE)), view.output);
    EXPECT_EQ(ComboSelection(runner.PageItem(IDC_DEVICE_OUT_CHANNEL)), view.channel);
    EXPECT_EQ(IsChecked(runner.PageItem(IDC_ENABLE_PREVIEWING)), view.enabled);
    for (int id : kEntryControls)
        EXPECT_EQ(IsWindowEnabled(runner.PageItem(id)) != FALSE, view.enabled) << id;
}

TEST_F(PreviewPage, EachSoundFontDeviceShowsItsOwnEntry)
{
    page().m_values.deviceMap.EntryFor("Card Synth A") = {"Card Synth A", 15, true};
    page().m_values.deviceMap.EntryFor("Card Synth B") = {"MIDI Out", 3, false};
    const CDeviceMap stored = page().m_values.deviceMap;
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);

    // Two outputs are called "Card Synth A": the later one is shown.
    const EntryView deviceA = {3, 15, true};
    const EntryView deviceB = {0, 3, false};
    {
        SCOPED_TRACE("first device at open");
        ExpectEntryView(runner, deviceA);
    }
    Choose(runner.Page(), IDC_SOUNDFONT_DEVICE, 1);
    {
        SCOPED_TRACE("second device");
        ExpectEntryView(runner, deviceB);
    }
    Choose(runner.Page(), IDC_SOUNDFONT_DEVICE, 0);
    {
        SCOPED_TRACE("first device again");
        ExpectEntryView(runner, deviceA);
    }
    EXPECT_EQ(page().m_values.deviceMap, stored) << "looking changes no entry";
}

TEST_F(PreviewPage, ADeviceWithoutAnEntryGetsOneWithTheDefaultsWhenShown)
{
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    ExpectEntryView(runner, {0, 0, true});
    EXPECT_EQ(page().m_values.deviceMap.size(), 1u);
    Choose(runner.Page(), IDC_SOUNDFONT_DEVICE, 1);
    ExpectEntryView(runner, {0, 0, true});

    CDeviceMap expected;
    expected.EntryFor("Card Synth A");
    expected.EntryFor("Card Synth B");
    EXPECT_EQ(page().m_values.deviceMap, expected);
}

TEST_F(PreviewPage, TheEntryControlsEditTheChosenDevicesEntryOnly)
{
    page().m_values.deviceMap.EntryFor("Card Synth A") = {"MIDI Out", 15, true};
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    Choose(runner.Page(), IDC_SOUNDFONT_DEVICE, 1);

    // The output is kept by name, the channel shown as 10 is channel 9.
    Choose(runner.Page(), IDC_DEVICE_OUT_DEVICE, 2);
    Choose(runner.Page(), IDC_DEVICE_OUT_CHANNEL, 9);
    EXPECT_EQ(page().m_values.deviceMap.EntryFor("Card Synth B"), (DevMapEntry{"Card Synth B", 9, true}));

    // Unchecking greys the output and channel, which keep what they show and store.
    Click(runner.Page(), IDC_ENABLE_PREVIEWING);
    ExpectEntryView(runner, {2, 9, false});
    EXPECT_EQ(page().m_values.deviceMap.EntryFor("Card Synth B"), (DevMapEntry{"Card Synth B", 9, false}));
    Click(runner.Page(), IDC_ENABLE_PREVIEWING);
    ExpectEntryView(runner, {2, 9, true});
    EXPECT_TRUE(page().m_values.deviceMap.EntryFor("Card Synth B").enabled);

    EXPECT_EQ(page().m_values.deviceMap.EntryFor("Card Synth A"), (DevMapEntry{"MIDI Out", 15, true}));
}

TEST_F(PreviewPage, AnOutputNameNotListedShowsTheFirstOutputButStaysUntilTheUserPicks)
{
    page().m_values.deviceMap.EntryFor("Card Synth A") = {"Gone Out", 2, true};
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    ExpectEntryView(runner, {0, 2, true});
    Choose(runner.Page(), IDC_SOUNDFONT_DEVICE, 1);
    Choose(runner.Page(), IDC_SOUNDFONT_DEVICE, 0);
    EXPECT_EQ(page().m_values.deviceMap.EntryFor("Card Synth A").outDevName, "Gone Out");

    Choose(runner.Page(), IDC_DEVICE_OUT_DEVICE, 0);
    EXPECT_EQ(page().m_values.deviceMap.EntryFor("Card Synth A").outDevName, "MIDI Out");
}

TEST_F(PreviewPage, EveryChangeEnablesApplyAndApplyChangesNothing)
{
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    HWND p = runner.Page();
    const struct {
        const char* name;
        std::function<void()> change;
        std::function<bool()> changed;
    } changes[] = {
        {"input device", [&] { Choose(p, IDC_MIDI_IN_DEVICE, 1); },
         [&] { return page().m_values.midiInDevice == 1; }},
        {"preview on startup", [&] { Click(p, IDC_PREVIEW_ON_STARTUP); },
         [&] { return page().m_values.previewOnStartup; }},
        {"SoundFont device shown", [&] { Choose(p, IDC_SOUNDFONT_DEVICE, 1); },
         [&] { return page().m_values.deviceMap.size() == 2; }},
        {"enable previewing", [&] { Click(p, IDC_ENABLE_PREVIEWING); },
         [&] { return !page().m_values.deviceMap.EntryFor("Card Synth B").enabled; }},
        {"entry output", [&] { Choose(p, IDC_DEVICE_OUT_DEVICE, 1); },
         [&] { return page().m_values.deviceMap.EntryFor("Card Synth B").outDevName == "Card Synth A"; }},
        {"entry channel", [&] { Choose(p, IDC_DEVICE_OUT_CHANNEL, 4); },
         [&] { return page().m_values.deviceMap.EntryFor("Card Synth B").channel == 4; }},
        {"file SoundFont device", [&] { Choose(p, IDC_FILE_SOUNDFONT_DEVICE, 1); },
         [&] { return page().m_values.fileSoundFontDevice == 1; }},
        {"file output", [&] { Choose(p, IDC_FILE_OUT_DEVICE, 3); },
         [&] { return page().m_values.fileMidiOutDevice == 3; }},
        {"file channel", [&] { Choose(p, IDC_FILE_OUT_CHANNEL, 9); },
         [&] { return page().m_values.fileMidiOutChannel == 9; }},
        {"bank", [&] { Type(p, IDC_FILE_BANK, "12"); }, [&] { return page().m_values.fileBank == 12; }},
        {"instrument", [&] { Type(p, IDC_FILE_INSTRUMENT, "34"); },
         [&] { return page().m_values.fileInstrument == 34; }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(ApplyEnabled(runner));
        c.change();
        EXPECT_TRUE(c.changed());
        EXPECT_TRUE(ApplyEnabled(runner));
        runner.Press(kApplyButton);
        EXPECT_TRUE(c.changed()) << "Apply keeps the value";
        EXPECT_TRUE(IsWindowVisible(runner.Sheet())) << "Apply keeps the sheet open";
    }
}

TEST_F(PreviewPage, WithoutSoundFontDevicesTheEntryControlsChangeNothing)
{
    ASSERT_EQ(card.Control()->SetDeviceCount(0), 0);
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    for (int id : {IDC_SOUNDFONT_DEVICE, IDC_FILE_SOUNDFONT_DEVICE}) {
        EXPECT_TRUE(ComboItems(runner.PageItem(id)).empty()) << id;
        EXPECT_EQ(ComboSelection(runner.PageItem(id)), CB_ERR) << id;
    }
    ExpectEntryControlsEnabled(runner, true);
    Click(runner.Page(), IDC_ENABLE_PREVIEWING);
    Choose(runner.Page(), IDC_DEVICE_OUT_DEVICE, 1);
    Choose(runner.Page(), IDC_DEVICE_OUT_CHANNEL, 2);
    ExpectEntryControlsEnabled(runner, true);
    EXPECT_TRUE(page().m_values.deviceMap.empty());
}

} // namespace
