// The main window without a mouse: items chosen with the arrow keys, their menus opened with
// Shift+F10 or the menu key and answered with keys, Enter and F5 in the tree, the underlined
// letters and the tab order; and the names screen readers read for the controls and items.

#include "tests/app/MainWindowFixture.h"

#include "base/resource.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/FolderPickerWatcher.h"
#include "tests/support/MenuWatcher.h"

#include <dlgs.h>
#include <oleacc.h>

#include <memory>

namespace {

const char kDevice1[] = "Simulated Synth 1";
const char kDevice2[] = "Simulated Synth 2";

struct KeyPress {
    WORD key;
    bool shift = false;
    bool alt = false;
};

// IAccessible's interface id, declared here: MinGW's oleacc and uuid libraries both define
// IID_IAccessible, and linking the two clashes.
const GUID kAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

const KeyPress kShiftF10 = {VK_F10, true};
const KeyPress kMenuKey = {VK_APPS};

class KeyboardTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_folder = FreshFolder(std::string("keyboard-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_listed = m_folder.substr(0, m_folder.size() - 1);
        FixtureSoundFont soundFont;
        soundFont.name = "Small";
        soundFont.presets = {{"Grand", 0, 0, 16}, {"Brass", 0, 61, 16}};
        WriteSoundFont(m_folder + "small.sf2", soundFont);
        WriteBytes(m_folder + "tone.wav", WaveBytes(64));
    }

    void ListTheFolder()
    {
        CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", {m_listed});
    }

    // Delivers a key press to the window with the focus through the dialog's own keyboard
    // handling, as its modal loop does, and returns once it was handled (and any menu or dialog
    // it opened was answered).
    void Press(const KeyPress& press)
    {
        OnUi([&] {
            BYTE keys[256] = {};
            GetKeyboardState(keys);
            keys[VK_SHIFT] = press.shift ? 0x80 : 0;
            keys[VK_MENU] = press.alt ? 0x80 : 0;
            SetKeyboardState(keys);
            // F10 and keys pressed with Alt are system keys; Alt sets the context bit.
            bool system = press.key == VK_F10 || press.alt;
            LPARAM context = press.alt ? (1 << 29) : 0;
            HWND focus = GetFocus();
            PostMessageA(focus, system ? WM_SYSKEYDOWN : WM_KEYDOWN, press.key, 1 | context);
            PostMessageA(focus, system ? WM_SYSKEYUP : WM_KEYUP, press.key, 0xC0000001 | context);
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageA(Window(), &message)) {
                    TranslateMessage(&message);
                    DispatchMessageA(&message);
                }
            }
            keys[VK_SHIFT] = 0;
            keys[VK_MENU] = 0;
            SetKeyboardState(keys);
        });
    }

    // Gives the tree the focus and walks to the item at `path` with Home and the arrow keys.
    void SelectWithArrows(const std::vector<std::string>& path)
    {
        OnUi([&] { SetFocus(Tree()); });
        Press({VK_HOME});
        for (std::size_t depth = 0; depth < path.size(); ++depth) {
            if (depth > 0) {
                if (!IsExpanded(Selection()))
                    Press({VK_RIGHT});
                Press({VK_RIGHT});
            }
            for (int step = 0; step < 64 && ItemText(Selection()) != path[depth]; ++step)
                Press({VK_DOWN});
            ASSERT_EQ(ItemText(Selection()), path[depth]);
        }
        ASSERT_EQ(Selection(), Find(path));
    }

    // Opens the selected item's menu with `opener` and chooses `choice` with the arrow keys and
    // Enter (an empty choice: Escape); the entries the menu showed.
    std::vector<std::string> OpenMenu(const KeyPress& opener, const std::string& choice = std::string())
    {
        MenuWatcher menu(choice);
        Press(opener);
        if (menu.Shown())
            m_placement = menu.Placement();
        return menu.Entries();
    }

    HTREEITEM Selection() const { return TreeView_GetSelection(Tree()); }
    std::vector<std::string> Banks(const char* device) { return ChildTexts(Find({"Loaded SoundFonts", device})); }

    std::string m_folder;
    std::string m_listed;
    RECT m_placement = {};
};

// What a screen reader reads for a window's client area (or one of its items), through the
// platform's accessibility interface; "(none)" where it has no name.
std::string AccessibleName(HWND window, long child = CHILDID_SELF)
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kAccessible,
                                          reinterpret_cast<void**>(&object))))
        return "(no object)";
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    BSTR name = nullptr;
    HRESULT result = object->get_accName(id, &name);
    object->Release();
    if (result != S_OK || !name)
        return "(none)";
    char text[512] = {};
    WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
    SysFreeString(name);
    return text;
}

// Labels end in a colon, which screen readers don't speak.
std::string Spoken(std::string name)
{
    if (!name.empty() && name.back() == ':')
        name.pop_back();
    return name;
}

// Answers the open-file dialog with `path`.
std::shared_ptr<void> ChooseFile(const std::string& path)
{
    return std::make_shared<DialogWatcher>("Select a SoundFont File", [path](HWND dialog) {
        HWND name = GetDlgItem(dialog, cmb13); // the file name box
        HWND edit = FindWindowExA(name, nullptr, "Edit", nullptr);
        SetWindowTextA(edit ? edit : name, path.c_str());
        PressButton(dialog, IDOK);
    });
}

// Answers the destination dialog with a device and bank.
std::shared_ptr<void> ChooseDestination(int device, const char* bank)
{
    return std::make_shared<DialogWatcher>("Select destination for Sound File", [device, bank](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, IDC_SOUNDFONT_DEVICE), CB_SETCURSEL, device, 0);
        SetWindowTextA(GetDlgItem(dialog, IDC_DEST_BANK), bank);
        PressButton(dialog, IDOK);
    });
}

} // namespace

TEST_F(KeyboardTest, MenusOpenFromTheKeyboardWithTheRightClickEntriesBesideTheItem)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    ListTheFolder();
    Open();
    const std::vector<std::vector<std::string>> paths = {
        {"Loaded SoundFonts"},
        {"Loaded SoundFonts", kDevice1},
        {"Loaded SoundFonts", kDevice1, "004 - Small"},
        {"Loaded SoundFonts", kDevice1, "004 - Small", "000 Grand"},
        {"Sound Files on disk"},
        {"Sound Files on disk", m_listed},
        {"Sound Files on disk", m_listed, "small.sf2"},
        {"Sound Files on disk", m_listed, "tone.wav"},
    };
    for (const auto& path : paths) {
        for (const KeyPress& opener : {kShiftF10, kMenuKey}) {
            SCOPED_TRACE(path.back() + (opener.key == VK_F10 ? " with Shift+F10" : " with the menu key"));
            SelectWithArrows(path);
            HTREEITEM item = Selection();
            std::vector<std::string> entries = OpenMenu(opener);
            EXPECT_EQ(Selection(), item);
            PointAt(item);
            EXPECT_EQ(entries, [&] {
                MenuWatcher menu;
                NotifyTree(NM_RCLICK);
                return menu.Entries();
            }());
            if (entries.empty())
                continue;
            RECT rect = {};
            TreeView_GetItemRect(Tree(), item, &rect, TRUE);
            MapWindowPoints(Tree(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_EQ(m_placement.left, rect.left);
            EXPECT_EQ(m_placement.top, rect.bottom);
        }
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(KeyboardTest, EveryMenuCommandRunsFromTheKeyboard)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    LoadBank(1, 2, m_folder + "small.sf2");
    ListTheFolder();
    std::string other = FreshFolder("keyboard-other");
    other.pop_back();
    Open();
    const std::string file = m_folder + "small.sf2";
    struct Case {
        const char* name;
        std::vector<std::string> path;
        std::string choice;
        std::function<std::vector<std::shared_ptr<void>>()> answers;
        std::function<bool()> done;
    };
    const Case cases[] = {
        {"load onto a device", {"Loaded SoundFonts", kDevice1}, "Load SoundFont",
         [&] { return std::vector<std::shared_ptr<void>>{ChooseFile(file)}; },
         [&] { return Find({"Loaded SoundFonts", kDevice1, "126 - Small"}) != nullptr; }},
        {"load into a bank of a device", {"Loaded SoundFonts", kDevice2}, "Load SoundFont into Bank",
         [&] { return std::vector<std::shared_ptr<void>>{ChooseFile(file), ChooseDestination(1, "40")}; },
         [&] { return Find({"Loaded SoundFonts", kDevice2, "040 - Small"}) != nullptr; }},
        {"delete a bank", {"Loaded SoundFonts", kDevice1, "004 - Small"}, "Delete",
         [] { return std::vector<std::shared_ptr<void>>{}; },
         [&] { return Banks(kDevice1) == std::vector<std::string>{"126 - Small"}; }},
        {"clear a device", {"Loaded SoundFonts", kDevice2}, "Clear all loaded SoundFonts",
         [] { return std::vector<std::shared_ptr<void>>{}; }, [&] { return Banks(kDevice2).empty(); }},
        {"add a folder", {"Sound Files on disk"}, "Add Folder",
         [&] { return std::vector<std::shared_ptr<void>>{std::make_shared<FolderPickerWatcher>(other)}; },
         [&] { return ChildTexts(Find({"Sound Files on disk"})) == std::vector<std::string>{m_listed, other}; }},
        {"load a file", {"Sound Files on disk", m_listed, "small.sf2"}, "Load",
         [] { return std::vector<std::shared_ptr<void>>{}; },
         [&] { return Banks(kDevice1) == std::vector<std::string>{"125 - Small", "126 - Small"}; }},
        {"load a file into a bank", {"Sound Files on disk", m_listed, "small.sf2"}, "Load into Bank",
         [&] { return std::vector<std::shared_ptr<void>>{ChooseDestination(1, "50")}; },
         [&] { return Banks(kDevice2) == std::vector<std::string>{"050 - Small"}; }},
        {"remove a folder", {"Sound Files on disk", m_listed}, "Remove",
         [] { return std::vector<std::shared_ptr<void>>{}; },
         [&] { return ChildTexts(Find({"Sound Files on disk"})) == std::vector<std::string>{other}; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectWithArrows(c.path);
        auto answers = c.answers();
        EXPECT_FALSE(OpenMenu(kShiftF10, c.choice).empty());
        EXPECT_TRUE(c.done()) << ::testing::PrintToString(Lines());
    }
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(KeyboardTest, EnterLoadsASoundFontOnDiskAndDoesNothingElsewhere)
{
    LoadBank(1, 2, m_folder + "small.sf2");
    ListTheFolder();
    Open();
    const std::vector<std::vector<std::string>> inert = {
        {"Loaded SoundFonts"},
        {"Loaded SoundFonts", kDevice2},
        {"Loaded SoundFonts", kDevice2, "002 - Small"},
        {"Loaded SoundFonts", kDevice2, "002 - Small", "061 Brass"},
        {"Sound Files on disk"},
        {"Sound Files on disk", m_listed},
        {"Sound Files on disk", m_listed, "tone.wav"},
        {"Sound Files on disk", m_listed, "small.sf2", "000-061 Brass"},
    };
    for (const auto& path : inert) {
        SCOPED_TRACE(path.back());
        SelectWithArrows(path);
        TreeLines before = Lines();
        Press({VK_RETURN});
        EXPECT_EQ(Lines(), before);
        EXPECT_FALSE(Runner().WaitForEnd(0));
    }
    SelectWithArrows({"Sound Files on disk", m_listed, "small.sf2"});
    Press({VK_RETURN});
    EXPECT_EQ(Banks(kDevice1), std::vector<std::string>{"126 - Small"});
    EXPECT_FALSE(Runner().WaitForEnd(0));

    // Away from the tree Enter does nothing either.
    OnUi([&] { SetFocus(GetDlgItem(Window(), IDC_OCTAVE_EDIT)); });
    TreeLines before = Lines();
    Press({VK_RETURN});
    EXPECT_EQ(Lines(), before);
    EXPECT_FALSE(Runner().WaitForEnd(0));
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(KeyboardTest, F5ShowsWhatChangedOnTheCard)
{
    Open();
    SelectWithArrows({"Loaded SoundFonts", kDevice1});
    EXPECT_TRUE(Banks(kDevice1).empty());
    LoadBank(0, 9, m_folder + "small.sf2");
    EXPECT_TRUE(Banks(kDevice1).empty()) << "the tree shows the card as it was read";
    Press({VK_F5});
    EXPECT_EQ(Banks(kDevice1), std::vector<std::string>{"009 - Small"});
}

// As the program does at start: the window's thread serves screen readers through OLE.
class AccessibleNamesTest : public KeyboardTest {
protected:
    void OpenWithOle()
    {
        Open();
        OnUi([] { OleInitialize(nullptr); });
        CoInitialize(nullptr);
    }
    void TearDown() override
    {
        if (Window()) {
            OnUi([] { OleUninitialize(); });
            CoUninitialize();
        }
        KeyboardTest::TearDown();
    }
};

TEST_F(AccessibleNamesTest, ControlsAreNamedByTheTextBesideThem)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    OpenWithOle();
    SelectWithArrows({"Loaded SoundFonts", kDevice1});
    std::string meter = WindowText(GetDlgItem(Window(), IDC_MEMORY_TEXT));
    ASSERT_NE(meter.find("MB Free"), std::string::npos) << meter;
    const struct {
        int id;
        std::string name;
    } cases[] = {
        {IDC_OCTAVE_EDIT, "Octave"},     {IDC_REFRESH, "Refresh"},   {IDC_PREVIEW, "Start Preview"},
        {IDC_SETTINGS, "Settings"},      {IDC_MEMORY_TEXT, meter},   {IDC_MEMORY_BAR, meter},
        {IDC_PIANO_STRIP, "Piano keys"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(Spoken(AccessibleName(GetDlgItem(Window(), c.id))), c.name);
    }
}

TEST_F(AccessibleNamesTest, TreeItemsAreNamedByTheirTextsAndTheSelectedOneIsKnown)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    ListTheFolder();
    OpenWithOle();
    SelectWithArrows({"Sound Files on disk", m_listed, "small.sf2"});
    std::vector<std::string> shown;
    for (HTREEITEM item = TreeView_GetRoot(Tree()); item; item = TreeView_GetNextVisible(Tree(), item))
        shown.push_back(ItemText(item));
    ASSERT_GT(shown.size(), 5u);

    IAccessible* object = nullptr;
    ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(Tree(), static_cast<DWORD>(OBJID_CLIENT), kAccessible,
                                                     reinterpret_cast<void**>(&object))));
    long count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, static_cast<long>(shown.size()));
    std::vector<std::string> named;
    for (long child = 1; child <= count; ++child)
        named.push_back(AccessibleName(Tree(), child));
    EXPECT_EQ(named, shown);

    VARIANT focus;
    VariantInit(&focus);
    EXPECT_EQ(object->get_accFocus(&focus), S_OK);
    ASSERT_EQ(focus.vt, VT_I4);
    EXPECT_EQ(AccessibleName(Tree(), focus.lVal), "small.sf2");
    VARIANT state;
    VariantInit(&state);
    EXPECT_EQ(object->get_accState(focus, &state), S_OK);
    EXPECT_EQ(state.lVal & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_COLLAPSED),
              STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_COLLAPSED);
    object->Release();
}

TEST_F(AccessibleNamesTest, DestinationFieldsAreNamedByTheirLabels)
{
    ListTheFolder();
    OpenWithOle();
    SelectWithArrows({"Sound Files on disk", m_listed, "small.sf2"});
    std::vector<std::string> names;
    // The device box is left out: Wine names a drop-down box by the text it shows, where
    // Windows takes the label before it.
    DialogWatcher destination("Select destination for Sound File", [&](HWND dialog) {
        for (int id : {IDC_DEST_BANK, IDC_DEST_INSTRUMENT})
            names.push_back(Spoken(AccessibleName(GetDlgItem(dialog, id))));
        PressButton(dialog, IDCANCEL);
    });
    OpenMenu(kShiftF10, "Load into Bank");
    EXPECT_TRUE(destination.Answered());
    EXPECT_EQ(names, (std::vector<std::string>{"Bank", "Instrument"}));
}

TEST_F(KeyboardTest, UnderlinedLettersAndTabFollowTheLayout)
{
    Open();
    // From the tree (and the preset list, shown only in the wide view) round to the octave
    // field, across the buttons, the piano strip and the find box back to the tree.
    const std::vector<int> order = {IDC_OCTAVE_EDIT, IDC_REFRESH,     IDC_PREVIEW,   IDC_SETTINGS,
                                    IDC_PIANO_STRIP, IDC_FIND_EDIT, IDC_SOUND_TREE};
    std::vector<int> tabbed;
    OnUi([&] {
        HWND control = Tree();
        while (tabbed.size() < order.size()) {
            control = GetNextDlgTabItem(Window(), control, FALSE);
            if (tabbed.empty() && control == GetDlgItem(Window(), IDC_PRESET_LIST))
                continue;
            tabbed.push_back(GetDlgCtrlID(control));
        }
    });
    EXPECT_EQ(tabbed, order);
    bool treeFocused = false;
    OnUi([&] { treeFocused = GetFocus() == Tree(); });
    EXPECT_TRUE(treeFocused) << "the window starts in the tree";

    // Alt and a letter: the octave field takes the focus; Refresh reads the card again.
    Press({'O', false, true});
    HWND focus = nullptr;
    OnUi([&] { focus = GetFocus(); });
    EXPECT_EQ(focus, GetDlgItem(Window(), IDC_OCTAVE_EDIT));
    LoadBank(0, 9, m_folder + "small.sf2");
    Press({'R', false, true});
    EXPECT_EQ(Banks(kDevice1), std::vector<std::string>{"009 - Small"});
    // In the octave field the arrow keys step the octave, as its arrows do.
    OnUi([&] { SetFocus(GetDlgItem(Window(), IDC_OCTAVE_EDIT)); });
    Press({VK_DOWN});
    std::string lowered = WindowText(GetDlgItem(Window(), IDC_OCTAVE_EDIT));
    Press({VK_UP});
    Press({VK_UP});
    std::string raised = WindowText(GetDlgItem(Window(), IDC_OCTAVE_EDIT));
    EXPECT_NE(lowered, "0");
    EXPECT_NE(raised, "0");
    EXPECT_NE(lowered, raised);
}

TEST_F(AccessibleNamesTest, ThePianoStripsKeysAreNamedByTheirNotes)
{
    OpenWithOle();
    HWND strip = GetDlgItem(Window(), IDC_PIANO_STRIP);
    IAccessible* object = nullptr;
    ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(strip, static_cast<DWORD>(OBJID_CLIENT), kAccessible,
                                                     reinterpret_cast<void**>(&object))));
    long count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_GE(count, 25) << "two octaves and a C at the least";
    object->Release();
    // At octave 0 the strip starts on C3; middle C is the thirteenth key.
    const struct {
        long child;
        const char* name;
    } cases[] = {{1, "C 3"}, {2, "C sharp 3"}, {12, "B 3"}, {13, "C 4"}};
    for (const auto& c : cases)
        EXPECT_EQ(AccessibleName(strip, c.child), c.name) << c.child;
}
