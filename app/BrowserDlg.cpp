#include "app/BrowserDlg.h"

#include "app/AboutDlg.h"
#include "app/core/Diagnostics.h"
#include "app/WindowFrame.h"
#include "browser/TreeAccessible.h"
#include "browser/TreeBuilder.h"
#include "browser/TreePictures.h"
#include "app/core/resource.h"

std::uint32_t g_lastTreeMouseX = 0;
std::uint32_t g_lastTreeMouseY = 0;

namespace {

WNDPROC g_previousTreeProc = nullptr;

// Whether a key message is Shift+F10 or the menu key, which ask for the selected item's menu.
bool IsMenuKey(UINT message, WPARAM key)
{
    if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP)
        return key == VK_F10 && GetKeyState(VK_SHIFT) < 0;
    return (message == WM_KEYDOWN || message == WM_KEYUP) && key == VK_APPS;
}

// The tree's replacement window procedure: it notes where the mouse was last seen, and turns
// the menu keys into a keyboard WM_CONTEXTMENU for the dialog. Not every tree passes them on
// (Wine's keeps Shift+F10 to itself and ignores the menu key), and none sees them here, so
// one press makes one menu.
LRESULT CALLBACK TreeMouseTracker(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsMenuKey(message, wParam)) {
        if (message == WM_SYSKEYDOWN || message == WM_KEYDOWN)
            SendMessageA(GetParent(window), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), -1);
        return 0;
    }
    if (message == WM_GETOBJECT) {
        if (LRESULT object = TreeAccessibleResult(window, wParam, lParam))
            return object;
    }
    // A rebuilt tree has nothing selected, and a tree without a selection ignores the arrow
    // keys under Wine: the first key then selects the top item, as Windows' tree does.
    if (message == WM_KEYDOWN && !TreeView_GetSelection(window)) {
        if (HTREEITEM first = TreeView_GetFirstVisible(window)) {
            TreeView_SelectItem(window, first);
            return 0;
        }
    }
    if (message == WM_MOUSEMOVE || message == WM_RBUTTONDOWN) {
        g_lastTreeMouseX = LOWORD(lParam);
        g_lastTreeMouseY = HIWORD(lParam);
    }
    return CallWindowProcA(g_previousTreeProc, window, message, wParam, lParam);
}

// Explorer passes a file it opens as one quoted path; the quotes are not part of the name.
std::string WithoutEnclosingQuotes(const std::string& text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

void TrackTreeMouse(HWND tree)
{
    g_previousTreeProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeMouseTracker)));
}

} // namespace

CBrowserDlg::CBrowserDlg(HWND parent)
    : CDialog(IDD_TONEWELL_DIALOG, parent)
    , m_settingsLocation(CSettingsLocation::ForThisProgram())
    , m_profile(m_settingsLocation.path, false)
    , m_hIcon(LoadIconA(ResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
    m_midiIn.SetOwner(this);
}

CBrowserDlg::~CBrowserDlg()
{
    EndAndSave();
    // Input first: no callback may reach this window while its members go.
    m_midiIn.SetOwner(nullptr);
    if (m_imageList)
        ImageList_Destroy(m_imageList);
}

void CBrowserDlg::EndAndSave()
{
    StopPreview();
    if (m_settingsLoaded && !m_settingsSaved) {
        SaveSettings();
        if (!m_settingsLocation.writable)
            ErrorBox(nullptr, MB_ICONWARNING | MB_OK, "Tonewell",
                     "Your settings could not be saved: neither the program's folder nor your "
                     "application data folder can be written.");
    }
    m_settingsSaved = true;
}

BOOL CBrowserDlg::OnInitDialog()
{
    m_octaveEdit = GetDlgItem(IDC_OCTAVE_EDIT);
    SetUpOctaveArrows();
    m_memoryMeter.Attach(GetDlgItem(IDC_MEMORY_BAR), GetDlgItem(IDC_MEMORY_TEXT));
    m_previewButton = GetDlgItem(IDC_PREVIEW);
    HWND tree = GetDlgItem(IDC_SOUND_TREE);
    m_soundTree.Attach(tree, &m_images);

    AddAboutToSystemMenu();
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_previewOutDevice = 0;
    m_previewChannel = 0;
    m_selected.kind = TreeItemKind::LoadedRoot;
    m_previewing = false;
    m_midiInDevice = 0;
    m_previewOnStartup = false;
    m_fileMidiOutDevice = 0;
    m_fileMidiOutChannel = 0;
    m_fileBank = 127;
    m_fileInstrument = 127;

    if (m_sfManager.Initialize() != 0) {
        ErrorBox(m_hWnd, MB_ICONSTOP | MB_OK, "Error",
                 "Couldn't initialize the SoundFont Management System (%s). Have you remembered to install it?",
                 m_sfManager.GetErrorText());
        return TRUE;
    }
    LoadSettings();
    m_settingsLoaded = true;
    CreateImageList(tree);
    RefreshTree();

    HWND list = GetDlgItem(IDC_PRESET_LIST);
    ListView_SetImageList(list, m_imageList, LVSIL_NORMAL);
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = 100;
    column.pszText = const_cast<char*>("Kolonne");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));

    m_octave = 0;
    SetWindowTextA(m_octaveEdit, "0");
    CollapseToHalfWidth();
    // A failed start-up load is reported like any other load: a silent failure would leave
    // the user wondering where the SoundFont went.
    int firstDevice = 0;
    if (!m_startupFile.empty() && LoadSoundFont(firstDevice, WithoutEnclosingQuotes(m_startupFile), true) != 0)
        ShowCommandError("Error loading SoundFont (%s)");
    TrackTreeMouse(tree);
    // The tree is where the work is: it takes the focus, though the tab order starts above it.
    SetFocus(tree);
    return FALSE;
}

void CBrowserDlg::AddAboutToSystemMenu()
{
    HMENU menu = GetSystemMenu(m_hWnd, FALSE);
    if (!menu)
        return;
    char text[256] = {};
    LoadStringA(ResourceModule(), IDS_ABOUTBOX, text, sizeof text);
    if (text[0] == '\0')
        return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
}

void CBrowserDlg::CollapseToHalfWidth()
{
    if (m_expanded)
        return;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    SetWindowPos(m_hWnd, nullptr, 0, 0, client.right / 2, client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER);
}

bool CBrowserDlg::CreateImageList(HWND tree)
{
    m_imageList = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 7, 0);
    if (!m_imageList)
        return false;
    struct Picture {
        int resource;
        int* index;
    };
    const Picture pictures[] = {
        {IDB_FOLDER_OPEN, &m_images.folderOpenImage}, {IDB_FOLDER, &m_images.folderImage},
        {IDB_MELODIC, &m_images.melodicImage},        {IDB_PERCUSSION, &m_images.percussionImage},
        {IDB_SOUNDFONT, &m_images.soundFontImage},    {IDB_WAVE, &m_images.waveImage},
        {IDB_DEVICE, &m_images.deviceImage},
    };
    for (const Picture& picture : pictures) {
        HBITMAP bitmap = LoadBitmapA(ResourceModule(), MAKEINTRESOURCEA(picture.resource));
        *picture.index = AddPictureWithClearBackground(m_imageList, bitmap);
        DeleteObject(bitmap);
    }
    if (ImageList_GetImageCount(m_imageList) < 5)
        return false;
    TreeView_SetImageList(tree, m_imageList, TVSIL_NORMAL);
    return true;
}

bool CBrowserDlg::OnCommand(WORD id, WORD code, HWND)
{
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_EXPAND:
        ToggleExpanded();
        return true;
    case IDC_REFRESH:
        RefreshTree();
        return true;
    case IDC_PREVIEW:
        TogglePreview();
        return true;
    case IDC_SETTINGS:
        OnSettings();
        return true;
    default:
        return false;
    }
}

bool CBrowserDlg::OnNotify(NMHDR* header, LRESULT& result)
{
    if (header->idFrom == IDC_SOUND_TREE)
        return OnTreeNotify(header, result);
    if (header->idFrom == IDC_OCTAVE_SPIN && header->code == UDN_DELTAPOS) {
        OnOctaveDeltaPos(*reinterpret_cast<NMUPDOWN*>(header));
        result = 0;
        return true;
    }
    return false;
}

void CBrowserDlg::RefreshTree()
{
    CTreeBuilder(m_soundTree, m_sfManager, m_deviceMap, m_localFolders, m_storedFolderPaths).Refresh(m_hWnd);
}

HTREEITEM CBrowserDlg::InsertTreeItem(const char* text, int level, const TreeItemRecord& record)
{
    return m_soundTree.InsertTreeItem(text, level, record);
}

void CBrowserDlg::UpdateMemoryMeter(int device)
{
    m_memoryMeter.Update(m_sfManager, device);
}

bool CBrowserDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_CONTEXTMENU:
        return OnContextMenuMessage(reinterpret_cast<HWND>(wParam), lParam);
    case WM_SYSCOMMAND:
        return OnSysCommand(static_cast<UINT>(wParam));
    case WM_PAINT:
        OnPaint();
        return IsIconic(m_hWnd) != FALSE;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(m_hIcon);
        return true;
    case WM_SIZE:
        Layout();
        return false;
    case WM_ENDSESSION:
        if (wParam)
            EndAndSave();
        result = 0;
        return true;
    default:
        return false;
    }
}

bool CBrowserDlg::OnSysCommand(UINT command)
{
    if ((command & 0xFFF0) != IDM_ABOUTBOX)
        return false;
    CAboutDlg about(m_hWnd);
    about.DoModal();
    return true;
}

void CBrowserDlg::OnPaint()
{
    if (!IsIconic(m_hWnd)) {
        Layout();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &paint);
}

void CBrowserDlg::Layout()
{
    HWND button = GetDlgItem(IDC_EXPAND);
    HWND tree = GetDlgItem(IDC_SOUND_TREE);
    HWND list = GetDlgItem(IDC_PRESET_LIST);
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    FrameLayout layout = ComputeFrameLayout(client.right, client.bottom, m_expanded,
                                            ChildRect(m_hWnd, button), ChildRect(m_hWnd, tree),
                                            ChildRect(m_hWnd, list));
    auto place = [](HWND window, const RECT& r) {
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(button, layout.expandButton);
    place(tree, layout.tree);
    if (!layout.presetListVisible) {
        ShowWindow(list, SW_HIDE);
        return;
    }
    ShowWindow(list, SW_SHOWNA);
    place(list, layout.presetList);
}

void CBrowserDlg::ToggleExpanded()
{
    m_expanded = !m_expanded;
    RECT outer = {};
    GetWindowRect(m_hWnd, &outer);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    SetDlgItemTextA(m_hWnd, IDC_EXPAND, m_expanded ? "<<" : ">>");
    SetWindowPos(m_hWnd, nullptr, 0, 0, m_expanded ? 2 * width : width / 2, height,
                 SWP_NOMOVE | SWP_NOZORDER);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
