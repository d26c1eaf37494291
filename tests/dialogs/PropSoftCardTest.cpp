// The software synth's page of the settings sheet, over the software card this test program
// loads from its own folder: the page shows the card's own settings, OK hands the card what
// changed, Cancel (after Apply too) leaves it alone, and a value out of range is refused with
// a message while the sheet stays open.

#include "base/resource.h"
#include "dialogs/PropSheet.h"
#include "engine/LoadedSoftControl.h"
#include "engine/SoundFontManager.h"
#include "tests/dialogs/SheetRunner.h"
#include "tests/support/MessageBoxWatcher.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

const SoftCardSettings kStored{kSoftAudioDirectSound, 40, 256, 100, 1, 0};

class SoftCardPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_engine.Initialize();
        m_control = LoadedSoftControl();
        ASSERT_NE(m_control, nullptr) << "TWSYNTH.DLL must be beside the test program";
        ASSERT_EQ(m_control->SetSettings(&kStored), kSfmSuccess);
        m_control->WaitUntilAudioSettled();
    }

    SoftCardSettings CardSettings() const
    {
        SoftCardSettings settings{};
        EXPECT_EQ(m_control->GetSettings(&settings), kSfmSuccess);
        return settings;
    }

    std::function<INT_PTR()> Show()
    {
        return [this] { return RunSettingsSheet(nullptr, m_preview) ? IDOK : IDCANCEL; };
    }

    // The software synth's tab brought to the front.
    static HWND OpenPage(const SheetRunner& runner)
    {
        SendMessageA(runner.Sheet(), PSM_SETCURSEL, 1, 0);
        return runner.Page();
    }

    CSoundFontManager m_engine;
    const SoftControlTable* m_control = nullptr;
    PreviewSettings m_preview;
};

std::string TabText(HWND sheet, int tab)
{
    char text[64] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETITEMA, static_cast<WPARAM>(tab),
                 reinterpret_cast<LPARAM>(&item));
    return text;
}

void ChangeEverything(HWND page)
{
    Choose(page, IDC_SOFT_AUDIO_API, kSoftAudioWaveOut);
    Type(page, IDC_SOFT_BUFFER, "80");
    Type(page, IDC_SOFT_MEMORY, "128");
    Type(page, IDC_SOFT_POLYPHONY, "64");
    Click(page, IDC_SOFT_REVERB);
    Click(page, IDC_SOFT_CHORUS);
}

const SoftCardSettings kEverythingChanged{kSoftAudioWaveOut, 80, 128, 64, 0, 1};

} // namespace

TEST_F(SoftCardPage, ShowsTheCardsOwnSettingsOnATabAfterThePreviewPage)
{
    MessageBoxWatcher boxes;
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    ASSERT_EQ(TabCtrl_GetItemCount(PropSheet_GetTabControl(runner.Sheet())), 2);
    EXPECT_EQ(TabText(runner.Sheet(), 0), "Preview");
    EXPECT_EQ(TabText(runner.Sheet(), 1), "Software Synth");

    HWND page = OpenPage(runner);
    ASSERT_NE(page, nullptr);
    HWND apis = GetDlgItem(page, IDC_SOFT_AUDIO_API);
    ASSERT_EQ(SendMessageA(apis, CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageA(apis, CB_GETCURSEL, 0, 0), kSoftAudioDirectSound);
    EXPECT_EQ(WindowText(apis), "DirectSound");
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_SOFT_BUFFER)), "40");
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_SOFT_MEMORY)), "256");
    EXPECT_EQ(WindowText(GetDlgItem(page, IDC_SOFT_POLYPHONY)), "100");
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_SOFT_REVERB, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageA(page, IDC_SOFT_CHORUS, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    runner.Press(IDCANCEL);
    ASSERT_TRUE(runner.WaitForEnd());
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(SoftCardPage, OKHandsTheCardWhatChanged)
{
    MessageBoxWatcher boxes;
    SheetRunner runner(Show(), kSettingsSheetCaption);
    ASSERT_NE(runner.Sheet(), nullptr);
    ChangeEverything(OpenPage(runner));
    EXPECT_EQ(CardSettings(), kStored) << "nothing reaches the card before OK";
    runner.Press(IDOK);
    ASSERT_TRUE(runner.WaitForEnd());
    EXPECT_EQ(runner.Result(), IDOK);
    EXPECT_EQ(CardSettings(), kEverythingChanged);
    m_control->WaitUntilAudioSettled();
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(SoftCardPage, ClosingWithoutOKChangesNothingOnTheCard)
{
    for (const SheetClosing& closing : ClosingsWithoutOK()) {
        MessageBoxWatcher boxes;
        SheetRunner runner(Show(), kSettingsSheetCaption);
        ASSERT_NE(runner.Sheet(), nullptr) << closing.name;
        ChangeEverything(OpenPage(runner));
        closing.close(runner);
        ASSERT_TRUE(runner.WaitForEnd()) << closing.name;
        EXPECT_EQ(runner.Result(), IDCANCEL) << closing.name;
        EXPECT_EQ(CardSettings(), kStored) << closing.name;
        EXPECT_TRUE(boxes.Texts().empty()) << closing.name;
    }
}

TEST_F(SoftCardPage, AValueOutOfRangeIsRefusedWithAMessageAndTheSheetStays)
{
    const struct {
        const char* name;
        int field;
        const char* text;
        const char* message;
    } cases[] = {
        {"a buffer too short", IDC_SOFT_BUFFER, "5", "Please enter a buffer length from 10 to 500 ms."},
        {"an empty buffer", IDC_SOFT_BUFFER, "", "Please enter a buffer length from 10 to 500 ms."},
        {"no sound memory", IDC_SOFT_MEMORY, "0", "Please enter a sound memory from 1 to 4095 MB."},
        {"too much sound memory", IDC_SOFT_MEMORY, "5000", "Please enter a sound memory from 1 to 4095 MB."},
        {"too many voices", IDC_SOFT_POLYPHONY, "300", "Please enter a polyphony from 1 to 256 voices."},
        {"voices in letters", IDC_SOFT_POLYPHONY, "many", "Please enter a polyphony from 1 to 256 voices."},
    };
    const struct {
        const char* name;
        std::function<void(SheetRunner&)> leave;
    } leavings[] = {
        {"OK", [](SheetRunner& r) { r.Press(IDOK); }},
        {"Apply", [](SheetRunner& r) { r.Press(kApplyButton); }},
        {"the other tab", [](SheetRunner& r) { SendMessageA(r.Sheet(), PSM_SETCURSEL, 0, 0); }},
    };
    for (const auto& c : cases) {
        for (const auto& leaving : leavings) {
            const std::string name = std::string(c.name) + ", " + leaving.name;
            MessageBoxWatcher boxes;
            SheetRunner runner(Show(), kSettingsSheetCaption);
            ASSERT_NE(runner.Sheet(), nullptr) << name;
            HWND page = OpenPage(runner);
            Type(page, IDC_SOFT_POLYPHONY, "32");
            Type(page, c.field, c.text);
            leaving.leave(runner);
            ASSERT_TRUE(boxes.WaitForCount(1)) << name;
            EXPECT_EQ(boxes.Texts(), std::vector<std::string>{c.message}) << name;
            EXPECT_TRUE(IsWindowVisible(runner.Sheet())) << name << ": the sheet stays open";
            EXPECT_EQ(runner.Page(), page) << name << ": on the page with the value";
            EXPECT_EQ(WindowText(GetDlgItem(page, c.field)), c.text) << name << ": the text stays to be mended";
            EXPECT_EQ(CardSettings(), kStored) << name << ": nothing of the page taken";
            runner.Press(IDCANCEL);
            ASSERT_TRUE(runner.WaitForEnd()) << name;
            EXPECT_EQ(CardSettings(), kStored) << name;
        }
    }
}
