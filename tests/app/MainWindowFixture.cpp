#include "tests/app/MainWindowFixture.h"

#include "engine/SoundFontManager.h"
#include "settings/Profile.h"
#include "tests/engine/SimAccess.h"
#include "tests/support/TreeItemText.h"

#include <fstream>
#include <sstream>

void MainWindowTest::SetUp()
{
    // The open-file dialog moves the current folder to where the file was chosen.
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    m_startFolder = folder;
    // A load of the card of the test's own keeps its state between the windows of one test.
    m_library = LoadLibraryA("SFMAN32.DLL");
    ASSERT_NE(m_library, nullptr);
    m_sim = FindSimControl();
    ASSERT_NE(m_sim, nullptr);
    m_sim->Reset();
    DeleteFileA(IniPath().c_str());
}

void MainWindowTest::TearDown()
{
    if (m_runner)
        Close();
    if (m_sim)
        m_sim->Reset();
    DeleteFileA(IniPath().c_str());
    if (m_library)
        FreeLibrary(m_library);
    SetCurrentDirectoryA(m_startFolder.c_str());
}

HWND MainWindowTest::Open(const std::string& startupFile)
{
    m_dialog = std::make_unique<CBrowserDlg>(nullptr);
    m_dialog->m_startupFile = startupFile;
    m_runner = std::make_unique<ModalRunner>(*m_dialog);
    return m_runner->Window();
}

void MainWindowTest::Close()
{
    m_runner->Close();
    m_runner.reset();
    m_dialog.reset();
}

std::string MainWindowTest::ItemText(HTREEITEM item) const
{
    return TreeItemText(Tree(), item);
}

void MainWindowTest::ListChildren(HTREEITEM item)
{
    if (item && item != TVI_ROOT)
        OnUi([&] { Dialog().m_treeCommands.ListChildren(item); });
}

void MainWindowTest::ListEverything(HTREEITEM parent)
{
    OnUi([&] {
        HWND tree = Tree();
        std::vector<HTREEITEM> pending{parent};
        while (!pending.empty()) {
            HTREEITEM item = pending.back();
            pending.pop_back();
            if (item != TVI_ROOT)
                Dialog().m_treeCommands.ListChildren(item);
            HTREEITEM child = item == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, item);
            for (; child; child = TreeView_GetNextSibling(tree, child))
                pending.push_back(child);
        }
    });
}

TreeLines MainWindowTest::Lines(HTREEITEM parent, int depth)
{
    ListEverything(parent);
    return ListedLines(parent, depth);
}

TreeLines MainWindowTest::ListedLines(HTREEITEM parent, int depth) const
{
    TreeLines lines;
    HWND tree = Tree();
    HTREEITEM child = parent == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, parent);
    for (; child; child = TreeView_GetNextSibling(tree, child)) {
        lines.push_back(std::to_string(depth) + " " + ItemText(child));
        TreeLines below = ListedLines(child, depth + 1);
        lines.insert(lines.end(), below.begin(), below.end());
    }
    return lines;
}

std::vector<std::string> MainWindowTest::ChildTexts(HTREEITEM item)
{
    std::vector<std::string> texts;
    HWND tree = Tree();
    ListChildren(item);
    for (HTREEITEM child = TreeView_GetChild(tree, item); child; child = TreeView_GetNextSibling(tree, child))
        texts.push_back(ItemText(child));
    return texts;
}

HTREEITEM MainWindowTest::ChildWithText(HTREEITEM parent, const std::string& text) const
{
    HWND tree = Tree();
    HTREEITEM child = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
    while (child && ItemText(child) != text)
        child = TreeView_GetNextSibling(tree, child);
    return child;
}

HTREEITEM MainWindowTest::Find(const std::vector<std::string>& texts)
{
    HTREEITEM item = nullptr;
    for (const std::string& text : texts) {
        ListChildren(item);
        if (!(item = ChildWithText(item, text)))
            return nullptr;
    }
    return item;
}

HTREEITEM MainWindowTest::OpenPath(const std::vector<std::string>& texts)
{
    HTREEITEM item = nullptr;
    for (const std::string& text : texts) {
        if (!(item = ChildWithText(item, text)))
            return nullptr;
        TreeView_Expand(Tree(), item, TVE_EXPAND);
    }
    return item;
}

std::vector<std::string> MainWindowTest::OpenBranches(HTREEITEM parent, const std::string& above) const
{
    std::vector<std::string> open;
    HWND tree = Tree();
    HTREEITEM child = parent == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, parent);
    for (; child; child = TreeView_GetNextSibling(tree, child)) {
        if (!IsExpanded(child))
            continue;
        const std::string path = above.empty() ? ItemText(child) : above + "/" + ItemText(child);
        open.push_back(path);
        std::vector<std::string> below = OpenBranches(child, path);
        open.insert(open.end(), below.begin(), below.end());
    }
    return open;
}

bool MainWindowTest::IsExpanded(HTREEITEM item) const
{
    return (TreeView_GetItemState(Tree(), item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

bool MainWindowTest::HasButton(HTREEITEM item) const
{
    TVITEMA query = {};
    query.mask = TVIF_CHILDREN | TVIF_HANDLE;
    query.hItem = item;
    SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return query.cChildren != 0;
}

CTreeItemData* MainWindowTest::RecordOf(HTREEITEM item) const
{
    TVITEMA query = {};
    query.mask = TVIF_PARAM | TVIF_HANDLE;
    query.hItem = item;
    SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return reinterpret_cast<CTreeItemData*>(query.lParam);
}

std::pair<int, int> MainWindowTest::ImagesOf(HTREEITEM item) const
{
    TVITEMA query = {};
    query.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    query.hItem = item;
    SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return {query.iImage, query.iSelectedImage};
}

LRESULT MainWindowTest::NotifyTree(UINT code)
{
    NMHDR header = {Tree(), 1000, code};
    return SendMessageA(Window(), WM_NOTIFY, 1000, reinterpret_cast<LPARAM>(&header));
}

void MainWindowTest::PointAt(HTREEITEM item)
{
    RECT rect = {};
    if (item) {
        TreeView_EnsureVisible(Tree(), item);
        TreeView_GetItemRect(Tree(), item, &rect, TRUE);
        Dialog().m_treeCommands.Input().SetLastMouse(static_cast<std::uint32_t>(rect.left + 2),
                                                     static_cast<std::uint32_t>((rect.top + rect.bottom) / 2));
    } else {
        RECT client = {};
        GetClientRect(Tree(), &client);
        Dialog().m_treeCommands.Input().SetLastMouse(static_cast<std::uint32_t>(client.right - 2),
                                                     static_cast<std::uint32_t>(client.bottom - 2));
    }
}

void MainWindowTest::LoadBank(int device, int bank, const std::string& path)
{
    CSoundFontManager manager;
    ASSERT_TRUE(manager.Initialize().Ok());
    CSfmDevice open = manager.Open(device);
    ASSERT_TRUE(open.IsOpen());
    EngineResult loaded = open.LoadBank(bank, path);
    ASSERT_TRUE(loaded.Ok()) << loaded.Text();
}

std::string MainWindowTest::IniPath()
{
    return CProfile::ProgramDirectory() + "tnw.ini";
}

std::string MainWindowTest::ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}
