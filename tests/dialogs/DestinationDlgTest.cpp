// The destination dialog on its template, listing the SoundFont devices it is handed.

#include "base/resource.h"
#include "dialogs/DestinationDlg.h"
#include "dialogs/IntegerField.h"
#include "tests/support/ComboItems.h"
#include "tests/support/ControlLayout.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ModalRunner.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

// Fields that hold no integer, and why.
const char* const kNotIntegers[] = {"", "   ", "abc", "12x", "1 2", "+", "-", "2147483648",
                                    "-2147483649", "99999999999999999999"};

TEST(IntegerField, AcceptsOneSignedDecimalNumberWithBlanksAround)
{
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"0", 0},        {"9", 9},           {"200", 200},        {"-5", -5},
        {"+7", 7},       {" 12", 12},        {"12\t ", 12},       {"007", 7},
        {"2147483647", INT_MAX},             {"-2147483648", INT_MIN},
    };
    for (const auto& c : cases) {
        std::int32_t value = 42;
        EXPECT_TRUE(ParseIntegerField(c.text, value)) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
}

TEST(IntegerField, RejectsEverythingElseAndLeavesTheValueAlone)
{
    for (const char* text : kNotIntegers) {
        std::int32_t value = 42;
        EXPECT_FALSE(ParseIntegerField(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 42) << '"' << text << '"';
    }
}

std::string ControlText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

void SetControlText(HWND dialog, int id, const char* text)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

class DestinationDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The main window hands the dialog the engine's device list.
        dialog.m_deviceNames = {"Card Synth A", "Card Synth B"};
    }

    static void PostOK(ModalRunner& runner)
    {
        PostMessageA(runner.Window(), WM_COMMAND, IDOK, 0);
    }

    // Presses OK and waits for the dialog to end; false when it stays open.
    static bool PressOK(ModalRunner& runner)
    {
        PostOK(runner);
        return runner.WaitForEnd(5000);
    }

    CDestinationDlg dialog;
    MessageBoxWatcher boxes;
};

TEST_F(DestinationDialog, TemplateHasItsCaptionFrameAndSize)
{
    ModalRunner runner(dialog);
    HWND window = runner.Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowText(window), "Select destination for Sound File");
    auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(style & frame, frame);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);

    RECT size = {0, 0, 212, 106};
    MapDialogRect(window, &size);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(DestinationDialog, ControlsSitWhereTheTemplatePutsThem)
{
    ModalRunner runner(dialog);
    HWND window = runner.Window();
    ASSERT_NE(window, nullptr);
    ExpectControls(window, {
        {IDOK, "Button", "OK", BS_DEFPUSHBUTTON, {50, 85, 50, 14}},
        {IDCANCEL, "Button", "Cancel", BS_PUSHBUTTON, {110, 85, 50, 14}},
        {IDC_SOUNDFONT_DEVICE, "ComboBox", nullptr, CBS_DROPDOWN, {15, 29, 185, -1}},
        {IDC_DEST_BANK, "Edit", nullptr, ES_NUMBER | ES_RIGHT, {40, 50, 20, 14}},
        {IDC_DEST_BANK_SPIN, "msctls_updown32", "", UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ARROWKEYS,
         {60, 50, -1, 14}},
        {IDC_DEST_INSTRUMENT, "Edit", nullptr, ES_NUMBER | ES_RIGHT, {130, 50, 20, 14}},
        {IDC_DEST_INSTRUMENT_SPIN, "msctls_updown32", "", UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ARROWKEYS,
         {150, 50, -1, 14}},
        {IDC_DEST_INSTRUMENT_LABEL, "Static", "&Instrument:", SS_LEFT, {90, 55, 36, 8}},
    });
    // Each spin takes the field before it as its buddy.
    ExpectSpinBuddies(window, {{IDC_DEST_BANK_SPIN, IDC_DEST_BANK}, {IDC_DEST_INSTRUMENT_SPIN, IDC_DEST_INSTRUMENT}});
}

TEST_F(DestinationDialog, TheTextsWithoutIdsAreThere)
{
    ModalRunner runner(dialog);
    ASSERT_NE(runner.Window(), nullptr);
    std::vector<std::string> texts;
    for (HWND child = GetWindow(runner.Window(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) == static_cast<int>(IDC_STATIC))
            texts.push_back(WindowText(child));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Destination", "SoundFont &Device:", "&Bank:"}));
}

TEST_F(DestinationDialog, ShowsTheCallersDeviceAndBankAndOKReturnsThem)
{
    dialog.m_device = 1;
    dialog.m_bank = 9;
    dialog.m_instrument = 5;
    ModalRunner runner(dialog);
    HWND window = runner.Window();
    ASSERT_NE(window, nullptr);
    HWND devices = GetDlgItem(window, IDC_SOUNDFONT_DEVICE);
    EXPECT_EQ(ComboItems(devices), (std::vector<std::string>{"Card Synth A", "Card Synth B"}));
    EXPECT_EQ(SendMessageA(devices, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(WindowText(devices), "Card Synth B");
    EXPECT_EQ(ControlText(window, IDC_DEST_BANK), "9");
    EXPECT_EQ(ControlText(window, IDC_DEST_INSTRUMENT), "5");

    ASSERT_TRUE(PressOK(runner));
    EXPECT_EQ(runner.Result(), IDOK);
    EXPECT_EQ(dialog.m_device, 1);
    EXPECT_EQ(dialog.m_bank, 9);
    EXPECT_EQ(dialog.m_instrument, 5);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(DestinationDialog, ThePickedDeviceIsTheOneReturned)
{
    dialog.m_device = 0;
    ModalRunner runner(dialog);
    ASSERT_NE(runner.Window(), nullptr);
    SendDlgItemMessageA(runner.Window(), IDC_SOUNDFONT_DEVICE, CB_SETCURSEL, 1, 0);
    ASSERT_TRUE(PressOK(runner));
    EXPECT_EQ(dialog.m_device, 1);
}

TEST_F(DestinationDialog, SpinsStayInTheirRangesAndATypedNumberIsReturnedAsTyped)
{
    dialog.m_bank = 127;
    dialog.m_instrument = 0;
    ModalRunner runner(dialog);
    HWND window = runner.Window();
    ASSERT_NE(window, nullptr);
    const struct {
        int spin;
        int lowest;
        int highest;
    } ranges[] = {{IDC_DEST_BANK_SPIN, 1, 127}, {IDC_DEST_INSTRUMENT_SPIN, 0, 127}};
    for (const auto& r : ranges) {
        int lowest = -1, highest = -1;
        SendDlgItemMessageA(window, r.spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lowest),
                            reinterpret_cast<LPARAM>(&highest));
        EXPECT_EQ(lowest, r.lowest) << r.spin;
        EXPECT_EQ(highest, r.highest) << r.spin;
    }

    // The arrow keys in a field move its spin, which stops at the range's ends.
    HWND bank = GetDlgItem(window, IDC_DEST_BANK);
    SendMessageA(bank, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(WindowText(bank), "127");
    SendMessageA(bank, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(WindowText(bank), "126");
    HWND instrument = GetDlgItem(window, IDC_DEST_INSTRUMENT);
    SendMessageA(instrument, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(WindowText(instrument), "0");

    SetControlText(window, IDC_DEST_BANK, "042");
    SetControlText(window, IDC_DEST_INSTRUMENT, "300");
    ASSERT_TRUE(PressOK(runner));
    EXPECT_EQ(dialog.m_bank, 42);
    EXPECT_EQ(dialog.m_instrument, 300);
}

// The spins write their positions over the fields when the dialog opens, so a value outside
// a spin's range opens as the range's nearest end.
TEST_F(DestinationDialog, AValueOutsideASpinsRangeOpensAtItsNearestEnd)
{
    dialog.m_bank = 0;
    dialog.m_instrument = 200;
    ModalRunner runner(dialog);
    ASSERT_NE(runner.Window(), nullptr);
    EXPECT_EQ(ControlText(runner.Window(), IDC_DEST_BANK), "1");
    EXPECT_EQ(ControlText(runner.Window(), IDC_DEST_INSTRUMENT), "127");
}

TEST_F(DestinationDialog, TheInstrumentControlsFollowInstrumentEnabled)
{
    for (bool enabled : {false, true}) {
        SCOPED_TRACE(enabled ? "enabled" : "disabled");
        dialog.m_instrumentEnabled = enabled;
        dialog.m_instrument = 5;
        ModalRunner runner(dialog);
        HWND window = runner.Window();
        ASSERT_NE(window, nullptr);
        for (int id : {IDC_DEST_INSTRUMENT_LABEL, IDC_DEST_INSTRUMENT, IDC_DEST_INSTRUMENT_SPIN})
            EXPECT_EQ(IsWindowEnabled(GetDlgItem(window, id)) != FALSE, enabled) << id;
        for (int id : {IDC_DEST_BANK, IDC_DEST_BANK_SPIN, IDC_SOUNDFONT_DEVICE})
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, id))) << id;
        ASSERT_TRUE(PressOK(runner));
        EXPECT_EQ(dialog.m_instrument, 5);
    }
}

TEST_F(DestinationDialog, CancelReturnsNothingAndTheNextShowingStartsFromTheCallersValues)
{
    dialog.m_device = 0;
    dialog.m_bank = 9;
    {
        ModalRunner runner(dialog);
        ASSERT_NE(runner.Window(), nullptr);
        SendDlgItemMessageA(runner.Window(), IDC_SOUNDFONT_DEVICE, CB_SETCURSEL, 1, 0);
        SetControlText(runner.Window(), IDC_DEST_BANK, "42");
        EXPECT_EQ(runner.Close(), IDCANCEL);
    }
    EXPECT_EQ(dialog.m_device, 0);
    EXPECT_EQ(dialog.m_bank, 9);

    dialog.m_device = 1;
    dialog.m_bank = 3;
    ModalRunner runner(dialog);
    ASSERT_NE(runner.Window(), nullptr);
    EXPECT_EQ(SendDlgItemMessageA(runner.Window(), IDC_SOUNDFONT_DEVICE, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(ControlText(runner.Window(), IDC_DEST_BANK), "3");
}

// Bank 0 is the card's own and banks above 127 do not exist: the bank field takes 1 to 127.
TEST_F(DestinationDialog, AFieldThatHoldsNoValidNumberIsReportedAndKeepsTheDialogOpenWithItFocused)
{
    const char kBankMessage[] = "Please enter a bank from 1 to 127.";
    const char kIntegerMessage[] = "Please enter an integer.";
    const struct {
        int field;
        const char* text;
        const char* message;
    } cases[] = {
        {IDC_DEST_BANK, "", kBankMessage},          {IDC_DEST_BANK, "abc", kBankMessage},
        {IDC_DEST_BANK, "12x", kBankMessage},       {IDC_DEST_BANK, "99999999999", kBankMessage},
        {IDC_DEST_BANK, "0", kBankMessage},         {IDC_DEST_BANK, "-1", kBankMessage},
        {IDC_DEST_BANK, "128", kBankMessage},       {IDC_DEST_BANK, "2147483647", kBankMessage},
        {IDC_DEST_INSTRUMENT, "", kIntegerMessage}, {IDC_DEST_INSTRUMENT, "abc", kIntegerMessage},
        {IDC_DEST_INSTRUMENT, "12x", kIntegerMessage},
        {IDC_DEST_INSTRUMENT, "99999999999", kIntegerMessage},
    };
    std::size_t expectedBoxes = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " \"" + c.text + "\"");
        dialog.m_bank = 9;
        dialog.m_instrument = 5;
        ModalRunner runner(dialog);
        HWND window = runner.Window();
        ASSERT_NE(window, nullptr);
        SetControlText(window, c.field, c.text);

        PostOK(runner);
        ASSERT_TRUE(boxes.WaitForCount(++expectedBoxes));
        std::vector<SeenMessageBox> seen = boxes.Boxes();
        ASSERT_EQ(seen.size(), expectedBoxes);
        EXPECT_EQ(seen.back().text, c.message);
        EXPECT_EQ(seen.back().caption, "Error");
        EXPECT_EQ(seen.back().owner, window);
        HWND focus = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            runner.OnUiThread([&] { focus = GetFocus(); });
            return focus == GetDlgItem(window, c.field);
        }));
        EXPECT_TRUE(IsWindowVisible(window));

        // Put right, the same showing takes OK.
        SetControlText(window, c.field, "17");
        ASSERT_TRUE(PressOK(runner));
        EXPECT_EQ(runner.Result(), IDOK);
        EXPECT_EQ(c.field == IDC_DEST_BANK ? dialog.m_bank : dialog.m_instrument, 17);
    }
}

TEST_F(DestinationDialog, TheEndsOfTheBankRangeAreTaken)
{
    for (const char* text : {"1", "127"}) {
        SCOPED_TRACE(text);
        ModalRunner runner(dialog);
        ASSERT_NE(runner.Window(), nullptr);
        SetControlText(runner.Window(), IDC_DEST_BANK, text);
        ASSERT_TRUE(PressOK(runner));
        EXPECT_EQ(dialog.m_bank, std::stoi(text));
    }
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(DestinationDialog, WithoutADeviceSelectedOKReturnsMinusOne)
{
    const struct {
        const char* name;
        std::uint32_t deviceCount;
        std::int32_t device;
    } cases[] = {
        {"no devices at all", 0, 0},
        {"an index past the list", 2, 2},
        {"no index", 2, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.m_deviceNames.resize(c.deviceCount);
        dialog.m_device = c.device;
        ModalRunner runner(dialog);
        ASSERT_NE(runner.Window(), nullptr);
        HWND devices = GetDlgItem(runner.Window(), IDC_SOUNDFONT_DEVICE);
        EXPECT_EQ(SendMessageA(devices, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(c.deviceCount));
        EXPECT_EQ(SendMessageA(devices, CB_GETCURSEL, 0, 0), CB_ERR);
        ASSERT_TRUE(PressOK(runner));
        EXPECT_EQ(dialog.m_device, -1);
    }
}

} // namespace
