// The find box of the real main window: results across the loaded banks and the files under
// the listed folders, a result selecting its preset in the tree, loading from a result, and
// the keys Ctrl+F, Enter and Escape.

#include "tests/app/MainWindowFixture.h"

#include "base/resource.h"
#include "settings/Profile.h"
#include "tests/engine/SoundFontFixture.h"

namespace {

const char kDevice1[] = "Simulated Synth 1";
const char kDevice2[] = "Simulated Synth 2";

struct Row {
    std::string name;
    std::string preset;
    std::string where;
    bool operator==(const Row& other) const
    {
        return name == other.name && preset == other.preset && where == other.where;
    }
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << "{" << row.name << " | " << row.preset << " | " << row.where << "}";
}

class FindTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_folder = FreshFolder(std::string("find-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_listed = m_folder.substr(0, m_folder.size() - 1);
        FixtureSoundFont small;
        small.name = "Small";
        small.presets = {{"Grand", 0, 0, 16}, {"Brass", 0, 61, 16}};
        WriteSoundFont(m_folder + "small.sf2", small);
        FixtureSoundFont other;
        other.name = "Other";
        other.presets = {{"Grand Organ", 0, 19, 16}, {"Strings", 0, 48, 16}, {"Kit", 128, 0, 16}};
        CreateDirectoryA((m_folder + "sub").c_str(), nullptr);
        WriteSoundFont(m_folder + "sub\\other.sf2", other);
        WriteBytes(m_folder + "sub\\broken.sf2", "RIFF not a SoundFont");
        CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", {m_listed});
        LoadBank(1, 4, m_folder + "small.sf2");
    }

    // Opens the window and waits until its index has read every file, as a user sees it: the
    // results for "a" grow as files are read, up to the three presets of the two readable
    // files that hold an "a". The box is emptied again.
    void OpenAndIndex()
    {
        Open();
        Type("a");
        for (int waited = 0; waited < 200 && FileRows() < kFilePresetsWithA; ++waited)
            Sleep(50);
        ASSERT_EQ(FileRows(), kFilePresetsWithA);
        Type("");
    }
    static constexpr std::size_t kFilePresetsWithA = 3;
    std::size_t FileRows() const
    {
        std::size_t rows = 0;
        for (const Row& row : Rows())
            rows += row.where.find(" in " + m_listed) != std::string::npos;
        return rows;
    }

    HWND Box() const { return GetDlgItem(Window(), IDC_FIND_EDIT); }
    HWND Results() const { return GetDlgItem(Window(), IDC_FIND_RESULTS); }
    void Type(const std::string& text) { SetWindowTextA(Box(), text.c_str()); }

    std::string Cell(int row, int column) const
    {
        char text[512] = {};
        ListView_GetItemText(Results(), row, column, text, sizeof text);
        return text;
    }
    std::vector<Row> Rows() const
    {
        std::vector<Row> rows;
        int count = ListView_GetItemCount(Results());
        for (int row = 0; row < count; ++row)
            rows.push_back({Cell(row, 0), Cell(row, 1), Cell(row, 2)});
        return rows;
    }
    int RowOf(const std::string& name, const std::string& where) const
    {
        std::vector<Row> rows = Rows();
        for (std::size_t row = 0; row < rows.size(); ++row) {
            if (rows[row].name == name && rows[row].where == where)
                return static_cast<int>(row);
        }
        return -1;
    }
    void SelectRow(int row)
    {
        ListView_SetItemState(Results(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    // A key press delivered to the focused window through the dialog's keyboard handling, as
    // its modal loop does.
    void Press(WORD key, bool control = false)
    {
        OnUi([&] {
            BYTE keys[256] = {};
            GetKeyboardState(keys);
            keys[VK_CONTROL] = control ? 0x80 : 0;
            SetKeyboardState(keys);
            HWND focus = GetFocus();
            PostMessageA(focus, WM_KEYDOWN, key, 1);
            PostMessageA(focus, WM_KEYUP, key, 0xC0000001);
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsDialogMessageA(Window(), &message)) {
                    TranslateMessage(&message);
                    DispatchMessageA(&message);
                }
            }
            keys[VK_CONTROL] = 0;
            SetKeyboardState(keys);
        });
    }
    HWND Focus()
    {
        HWND focus = nullptr;
        OnUi([&] { focus = GetFocus(); });
        return focus;
    }
    bool Visible(HWND window) const { return IsWindowVisible(window) != FALSE; }

    // A file's result: its name first, then its folder (without the closing backslash).
    std::string File(const std::string& name) const
    {
        const std::string path = m_folder + name;
        const std::size_t slash = path.rfind('\\');
        return path.substr(slash + 1) + " in " + path.substr(0, slash);
    }
    std::string Bank4() const { return std::string(kDevice2) + ", bank 004"; }

    std::string m_folder;
    std::string m_listed;
};

} // namespace

TEST_F(FindTest, TypingListsThePresetsHoldingTheTextAcrossBanksAndFiles)
{
    // The damaged file is left out of the index (tests/browser/PresetIndexTest counts it).
    OpenAndIndex();
    EXPECT_TRUE(Visible(Tree()));
    EXPECT_FALSE(Visible(Results()));
    struct Case {
        const char* text;
        std::vector<Row> rows;
    };
    const Case cases[] = {
        {"GRAND",
         {{"Grand", "000-000", Bank4()},
          {"Grand", "000-000", File("small.sf2")},
          {"Grand Organ", "000-019", File("sub\\other.sf2")}}},
        {"d o", {{"Grand Organ", "000-019", File("sub\\other.sf2")}}},
        {"kit", {{"Kit", "128-000", File("sub\\other.sf2")}}},
        {"no such sound", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Type(c.text);
        EXPECT_EQ(Rows(), c.rows);
        EXPECT_TRUE(Visible(Results()));
        EXPECT_FALSE(Visible(Tree()));
    }
    Type("");
    EXPECT_TRUE(Visible(Tree()));
    EXPECT_FALSE(Visible(Results()));
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(FindTest, ChoosingAResultSelectsItsPresetInTheTree)
{
    OpenAndIndex();
    struct Case {
        const char* text;
        std::string where;
        std::vector<std::string> item;
    };
    const Case cases[] = {
        {"Grand", Bank4(), {"Loaded SoundFonts", kDevice2, "004 - Small", "000 Grand"}},
        {"Grand", File("small.sf2"), {"Sound Files on disk", m_listed, "small.sf2", "000-000 Grand"}},
        // In a subfolder that was never opened.
        {"Organ", File("sub\\other.sf2"), {"Sound Files on disk", m_listed, "sub", "other.sf2", "000-019 Grand Organ"}},
        {"Kit", File("sub\\other.sf2"), {"Sound Files on disk", m_listed, "sub", "other.sf2", "128-000 Kit"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item.back());
        Type(c.text);
        int row = RowOf(c.text == std::string("Organ") ? "Grand Organ" : c.text, c.where);
        ASSERT_GE(row, 0) << ::testing::PrintToString(Rows());
        SelectRow(row);
        HTREEITEM item = Find(c.item);
        ASSERT_NE(item, nullptr) << ::testing::PrintToString(Lines());
        EXPECT_EQ(TreeView_GetSelection(Tree()), item) << ItemText(TreeView_GetSelection(Tree()));
        Type("");
        EXPECT_EQ(TreeView_GetSelection(Tree()), item);
    }
}

TEST_F(FindTest, EnterOrDoubleClickOnAFileResultLoadsIt)
{
    struct Case {
        const char* how;
        const char* bank; // where "Load" puts it on the default device
    };
    const Case cases[] = {{"Enter", "126 - Other"}, {"double-click", "126 - Other"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        Sim().Reset();
        OpenAndIndex();
        Type("strings");
        ASSERT_EQ(Rows().size(), 1u);
        OnUi([&] { SetFocus(Results()); });
        SelectRow(0);
        if (std::string(c.how) == "Enter") {
            Press(VK_RETURN);
        } else {
            NMITEMACTIVATE activate = {};
            activate.hdr = {Results(), static_cast<UINT_PTR>(IDC_FIND_RESULTS), static_cast<UINT>(NM_DBLCLK)};
            activate.iItem = 0;
            SendMessageA(Window(), WM_NOTIFY, IDC_FIND_RESULTS, reinterpret_cast<LPARAM>(&activate));
        }
        EXPECT_NE(Find({"Loaded SoundFonts", kDevice1, c.bank}), nullptr) << ::testing::PrintToString(Lines());
        EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
        OnUi([&] { SetFocus(Tree()); });
        Close();
        DeleteFileA(IniPath().c_str());
        CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", {m_listed});
    }
}

TEST_F(FindTest, CtrlFFocusesTheBoxAndEscapeClearsItWithoutClosingTheWindow)
{
    OpenAndIndex();
    OnUi([&] { SetFocus(Tree()); });
    Press('F', true);
    EXPECT_EQ(Focus(), Box());
    Type("brass");
    EXPECT_EQ(Rows().size(), 2u);
    Press(VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ(WindowText(Box()), "");
    EXPECT_EQ(Focus(), Tree());
    EXPECT_TRUE(Visible(Tree()));
    EXPECT_FALSE(Visible(Results()));

    // In the box itself: the text is selected, so that the next search replaces it.
    Type("brass");
    OnUi([&] { SetFocus(Box()); SendMessageA(Box(), EM_SETSEL, 5, 5); });
    Press('F', true);
    DWORD start = 0, end = 0;
    SendMessageA(Box(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u);
    EXPECT_EQ(WindowText(Box()), "brass");
    Type("");

    // From the results list too.
    Type("brass");
    OnUi([&] { SetFocus(Results()); });
    Press('F', true);
    EXPECT_EQ(Focus(), Box());
    OnUi([&] { SetFocus(Results()); });
    Press(VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_EQ(Focus(), Tree());
    EXPECT_EQ(WindowText(Box()), "");
}

TEST_F(FindTest, AFileResultNamesTheFileFirstAndItsWholePathInItsTip)
{
    OpenAndIndex();
    Type("Organ");
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0].where, "other.sf2 in " + m_folder + "sub");
    char text[INFOTIPSIZE] = "left over";
    NMLVGETINFOTIPA tip = {};
    tip.hdr = {Results(), IDC_FIND_RESULTS, static_cast<UINT>(LVN_GETINFOTIPA)};
    tip.pszText = text;
    tip.cchTextMax = sizeof text;
    tip.iItem = 0;
    SendMessageA(Window(), WM_NOTIFY, IDC_FIND_RESULTS, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(text, (m_folder + "sub\\other.sf2").c_str());
    EXPECT_NE(ListView_GetExtendedListViewStyle(Results()) & LVS_EX_INFOTIP, 0u);
}
