// The settings sheet as the main window runs it: values in, edited values out only on OK.

#include "base/resource.h"
#include "dialogs/PropSheet.h"
#include "tests/dialogs/SettingsFixture.h"
#include "tests/dialogs/SheetRunner.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>

namespace {

bool operator==(const PreviewSettings& a, const PreviewSettings& b)
{
    return a.midiInDevice == b.midiInDevice && a.previewOnStartup == b.previewOnStartup &&
           a.deviceMap == b.deviceMap && a.fileSoundFontDevice == b.fileSoundFontDevice &&
           a.fileMidiOutDevice == b.fileMidiOutDevice &&
           a.fileMidiOutChannel == b.fileMidiOutChannel && a.fileBank == b.fileBank &&
           a.fileInstrument == b.fileInstrument;
}

PreviewSettings StoredSettings()
{
    PreviewSettings settings;
    settings.midiInDevice = 0;
    settings.previewOnStartup = false;
    settings.deviceMap.EntryFor("Card Synth A") = {"Card Synth A", 15, true};
    settings.fileSoundFontDevice = 0;
    settings.fileMidiOutDevice = 1;
    settings.fileMidiOutChannel = 15;
    settings.fileBank = 127;
    settings.fileInstrument = 127;
    return settings;
}

class SettingsSheet : public SettingsFixture {
protected:
    std::function<INT_PTR()> Show()
    {
        return [this] { return RunSettingsSheet(nullptr, settings) ? IDOK : IDCANCEL; };
    }

    // A change of every kind, looking at the second SoundFont device on the way.
    static void ChangeEverything(HWND page)
    {
        Choose(page, IDC_MIDI_IN_DEVICE, 1);
        Click(page, IDC_PREVIEW_ON_STARTUP);
        Choose(page, IDC_SOUNDFONT_DEVICE, 1);
        Choose(page, IDC_DEVICE_OUT_DEVICE, 2);
        Choose(page, IDC_DEVICE_OUT_CHANNEL, 9);
        Click(page, IDC_ENABLE_PREVIEWING);
        Choose(page, IDC_FILE_SOUNDFONT_DEVICE, 1);
        Choose(page, IDC_FILE_OUT_DEVICE, 2);
        Choose(page, IDC_FILE_OUT_CHANNEL, 3);
        Type(page, IDC_FILE_BANK, "100");
        Type(page, IDC_FILE_INSTRUMENT, "7");
    }

    static PreviewSettings EverythingChanged()
    {
        PreviewSettings changed = StoredSettings();
        changed.midiInDevice = 1;
        changed.previewOnStartup = true;
        changed.deviceMap.EntryFor("Card Synth B") = {"Card Synth B", 9, false};
        changed.fileSoundFontDevice = 1;
        changed.fileMidiOutDevice = 2;
        changed.fileMidiOutChannel = 3;
        changed.fileBank = 100;
        changed.fileInstrument = 7;
        return changed;
    }

    PreviewSettings settings = StoredSettings();
};

TEST_F(SettingsSheet, IsOneTabbedPageWithOKCancelAndApply)
{
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    EXPECT_EQ(WindowText(runner.Sheet()), "Tonewell Properties");

    HWND tabs = PropSheet_GetTabControl(runner.Sheet());
    ASSERT_EQ(TabCtrl_GetItemCount(tabs), 1);
    char text[64] = {};
    TCITEMA tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = text;
    tab.cchTextMax = sizeof text;
    SendMessageA(tabs, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tab));
    EXPECT_STREQ(text, "Preview");

    const struct {
        int id;
        const char* text;
    } buttons[] = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}, {kApplyButton, "Apply"}};
    for (const auto& b : buttons) {
        HWND button = GetDlgItem(runner.Sheet(), b.id);
        ASSERT_NE(button, nullptr) << b.text;
        EXPECT_TRUE(IsWindowVisible(button)) << b.text;
        std::string label = WindowText(button);
        label.erase(std::remove(label.begin(), label.end(), '&'), label.end());
        EXPECT_EQ(label, b.text);
    }
    HWND help = GetDlgItem(runner.Sheet(), IDHELP);
    EXPECT_TRUE(!help || !IsWindowVisible(help));
}

TEST_F(SettingsSheet, ItsOwnerIsDisabledWhileItIsOpen)
{
    std::atomic<HWND> owner{nullptr};
    SheetRunner runner(
        [&] {
            HWND window = CreateWindowExA(0, "STATIC", "Owner", WS_POPUP | WS_VISIBLE, 0, 0, 100,
                                          100, nullptr, nullptr, nullptr, nullptr);
            owner = window;
            bool taken = RunSettingsSheet(window, settings);
            DestroyWindow(window);
            return taken ? IDOK : IDCANCEL;
        },
        kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    EXPECT_EQ(GetWindow(runner.Sheet(), GW_OWNER), owner.load());
    EXPECT_FALSE(IsWindowEnabled(owner));
    runner.Press(IDCANCEL);
    ASSERT_TRUE(runner.WaitForEnd());
}

TEST_F(SettingsSheet, ClosingWithoutOKHandsNothingBack)
{
    for (const SheetClosing& c : ClosingsWithoutOK()) {
        SCOPED_TRACE(c.name);
        settings = StoredSettings();
        SheetRunner runner(Show(), kSettingsSheetCaption);
        ASSERT_NE(runner.Sheet(), nullptr);
        ChangeEverything(runner.Page());
        c.close(runner);
        ASSERT_TRUE(runner.WaitForEnd());
        EXPECT_EQ(runner.Result(), IDCANCEL);
        // Not even the entry the page made for the second device.
        EXPECT_TRUE(settings == StoredSettings());
    }
}

TEST_F(SettingsSheet, OKHandsEveryValueBack)
{
    const SheetClosing closings[] = {
        {"OK", [](SheetRunner& r) { r.Press(IDOK); }},
        {"Apply, then OK",
         [](SheetRunner& r) {
             r.Press(kApplyButton);
             r.Press(IDOK);
         }},
    };
    for (const SheetClosing& c : closings) {
        SCOPED_TRACE(c.name);
        settings = StoredSettings();
        SheetRunner runner(Show(), kSettingsSheetCaption);
        ASSERT_NE(runner.Sheet(), nullptr);
        ChangeEverything(runner.Page());
        c.close(runner);
        ASSERT_TRUE(runner.WaitForEnd());
        EXPECT_EQ(runner.Result(), IDOK);
        EXPECT_TRUE(settings == EverythingChanged());
    }
}

// The map comes back whole, with the entries the page made for the devices it showed.
TEST_F(SettingsSheet, OKWithoutChangesStillHandsTheValuesBack)
{
    settings.deviceMap = CDeviceMap();
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    runner.Press(IDOK);
    ASSERT_TRUE(runner.WaitForEnd());
    EXPECT_EQ(runner.Result(), IDOK);
    PreviewSettings expected = StoredSettings();
    expected.deviceMap = CDeviceMap();
    expected.deviceMap.EntryFor("Card Synth A");
    EXPECT_TRUE(settings == expected);
}

} // namespace
