#include "app/BrowserDlg.h"

#include "app/AboutDlg.h"
#include "app/WindowFrame.h"
#include "base/Diagnostics.h"
#include "base/SoftCardLibrary.h"
#include "base/resource.h"
#include "browser/TreeAccessible.h"
#include "browser/TreePictures.h"

#include <utility>

namespace {

constexpr int kPictureSize = 16; // pixels, square
constexpr int kPictureCount = 8;
// Without the pictures of folders, presets and SoundFonts (the first five) the tree shows none.
constexpr int kPicturesNeeded = 5;
constexpr int kPresetColumnWidth = 100;
// The low four bits of a system command are the platform's own.
constexpr UINT kSystemCommandMask = 0xFFF0;

// Explorer passes a file it opens as one quoted path; the quotes are not part of the name.
std::string WithoutEnclosingQuotes(const std::string& text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}

} // namespace

CBrowserDlg::CBrowserDlg(HWND parent, std::string startupFile)
    : CDialog(IDD_TONEWELL_DIALOG, parent)
    , m_startupFile(std::move(startupFile))
    , m_treeCommands(m_soundTree, m_sfManager, m_settings.model, m_memoryMeter)
    , m_treeDrop(m_soundTree, m_treeCommands, m_settings.model)
    , m_treeFind(m_soundTree, m_treeCommands, m_sfManager, m_settings.model)
    , m_previewPanel(m_preview, m_sfManager, m_settings.model, m_soundTree, m_images, m_treeCommands)
    , m_playPanel(m_preview, m_previewPanel, m_settings.model)
    , m_hIcon(LoadIconA(ResourceModule(), MAKEINTRESOURCEA(IDR_MAINFRAME)))
{
}

CBrowserDlg::~CBrowserDlg()
{
    EndAndSave();
    m_preview.ProgramChanges().Attach(nullptr);
    if (m_imageList)
        ImageList_Destroy(m_imageList);
}

SettingsDevices CBrowserDlg::Devices()
{
    return {m_preview.Input(), m_preview.Output(), m_sfManager};
}

void CBrowserDlg::EndAndSave()
{
    m_previewPanel.StopPreview();
    if (m_settings.SaveOnce(Devices()))
        ErrorBox(nullptr, MB_ICONWARNING | MB_OK, "Tonewell",
                 "Your settings could not be saved: neither the program's folder nor your "
                 "application data folder can be written.");
}

BOOL CBrowserDlg::OnInitDialog()
{
    m_previewPanel.Attach(m_hWnd);
    m_memoryMeter.Attach(GetDlgItem(IDC_MEMORY_BAR), GetDlgItem(IDC_MEMORY_TEXT));
    m_preview.ProgramChanges().Attach(m_hWnd);
    HWND tree = GetDlgItem(IDC_SOUND_TREE);
    m_soundTree.Attach(tree, &m_images);
    m_treeCommands.SetOwner(m_hWnd);
    m_treeFind.Create(m_hWnd);
    m_playPanel.Create(m_hWnd);
    m_treeCommands.SetRefreshListener([this] { m_treeFind.RebuildIndex(); });
    m_treeCommands.SetBusyListener([this] { m_treeFind.GiveWayToWindow(); });

    AddAboutToSystemMenu();
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    if (!StartEngines())
        return TRUE;
    m_settings.Load(Devices(), [this] { m_previewPanel.TogglePreview(); });
    m_playPanel.ApplySettings();
    CreateImageList(tree);
    m_treeCommands.RefreshTree();

    HWND list = GetDlgItem(IDC_PRESET_LIST);
    ListView_SetImageList(list, m_imageList, LVSIL_NORMAL);
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = kPresetColumnWidth;
    column.pszText = const_cast<char*>("Kolonne");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));

    m_previewPanel.ResetOctave();
    m_playPanel.OnOctaveChanged();
    CollapseToHalfWidth();
    // A failed start-up load is reported like any other load: a silent failure would leave
    // the user wondering where the SoundFont went.
    int firstDevice = 0;
    if (!m_startupFile.empty()) {
        EngineResult loaded = m_treeCommands.LoadSoundFont(firstDevice, WithoutEnclosingQuotes(m_startupFile), true);
        if (loaded.Failed())
            m_treeCommands.ShowCommandError("Error loading SoundFont (%s)", loaded);
    }
    m_treeCommands.TrackTreeInput();
    m_treeDrop.Accept(m_hWnd);
    // The tree is where the work is: it takes the focus, though the tab order starts above it.
    SetFocus(tree);
    return FALSE;
}

bool CBrowserDlg::StartEngines()
{
    // Each library's failure is told once, here; the devices of the other still work.
    if (EngineResult card = m_sfManager.Initialize(); card.Failed())
        ErrorBox(m_hWnd, MB_ICONSTOP | MB_OK, "Error",
                 "Couldn't initialize the SoundFont Management System (%s). Have you remembered to install it?",
                 card.Text());
    else if (m_sfManager.SoftCardResult().Failed())
        DebugTrace("The software card's library %s could not be started (%s)\n", kSoftCardLibraryName,
                   m_sfManager.SoftCardResult().Text());
    return m_sfManager.HasLibrary();
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
    m_imageList = ImageList_Create(kPictureSize, kPictureSize, ILC_COLOR24 | ILC_MASK, kPictureCount, 0);
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
        {IDB_DEVICE, &m_images.deviceImage},          {IDB_DAMAGED, &m_images.damagedImage},
        {IDB_SOFT_DEVICE, &m_images.softDeviceImage},
    };
    for (const Picture& picture : pictures) {
        HBITMAP bitmap = LoadBitmapA(ResourceModule(), MAKEINTRESOURCEA(picture.resource));
        *picture.index = AddPictureWithClearBackground(m_imageList, bitmap);
        DeleteObject(bitmap);
    }
    if (ImageList_GetImageCount(m_imageList) < kPicturesNeeded)
        return false;
    TreeView_SetImageList(tree, m_imageList, TVSIL_NORMAL);
    return true;
}

bool CBrowserDlg::OnCommand(WORD id, WORD code, HWND)
{
    if (m_treeFind.OnCommand(id, code))
        return true;
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_EXPAND:
        ToggleExpanded();
        return true;
    case IDC_REFRESH:
        m_treeCommands.RefreshFromCard();
        return true;
    case IDC_PREVIEW:
        m_previewPanel.TogglePreview();
        return true;
    case IDC_SETTINGS:
        m_previewPanel.OnSettings();
        return true;
    default:
        return false;
    }
}

bool CBrowserDlg::OnNotify(NMHDR* header, LRESULT& result)
{
    if (OnFindKey(header, result))
        return true;
    if (m_treeFind.OnNotify(header, result))
        return true;
    if (header->idFrom == IDC_SOUND_TREE &&
        (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW)) {
        AnnounceTreeSelection(m_soundTree.Window());
        m_previewPanel.OnSelChangedTree();
        result = 0;
        return true;
    }
    if (header->idFrom == IDC_SOUND_TREE)
        return m_treeCommands.OnTreeNotify(header, result);
    if (header->idFrom == IDC_OCTAVE_SPIN && header->code == UDN_DELTAPOS) {
        m_previewPanel.OnOctaveDeltaPos(*reinterpret_cast<NMUPDOWN*>(header));
        m_playPanel.OnOctaveChanged();
        result = 0;
        return true;
    }
    return false;
}

bool CBrowserDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_CONTEXTMENU:
        return m_treeCommands.OnContextMenuMessage(reinterpret_cast<HWND>(wParam), lParam);
    case WM_TIMER:
        return m_treeFind.OnTimer(static_cast<UINT_PTR>(wParam));
    case WM_CLOSE:
        CDialog::OnCancel();
        result = 0;
        return true;
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
    case WM_DROPFILES:
        m_treeDrop.OnDropFiles(reinterpret_cast<HDROP>(wParam));
        result = 0;
        return true;
    case kProgramChangeMessage:
        m_previewPanel.OnProgramChange();
        result = 0;
        return true;
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
    if (m_playPanel.OnSysCommand(command))
        return true;
    if ((command & kSystemCommandMask) != IDM_ABOUTBOX)
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
    m_playPanel.Layout(client.right);
    place(tree, layout.tree);
    m_treeFind.Place(layout.tree);
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

void CBrowserDlg::OnOK()
{
    if (!m_treeFind.OnEnter())
        m_treeCommands.OnEnter();
}

void CBrowserDlg::OnCancel()
{
    if (!m_treeFind.OnEscape())
        CDialog::OnCancel();
}

bool CBrowserDlg::OnFindKey(NMHDR* header, LRESULT& result)
{
    WORD key = 0;
    if (header->idFrom == IDC_SOUND_TREE && header->code == TVN_KEYDOWN)
        key = reinterpret_cast<NMTVKEYDOWN*>(header)->wVKey;
    else if (header->idFrom == IDC_FIND_RESULTS && header->code == LVN_KEYDOWN)
        key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
    if (key != 'F' || GetKeyState(VK_CONTROL) >= 0)
        return false;
    m_treeFind.Focus();
    // Not the start of an incremental search of the tree.
    result = 1;
    return true;
}
