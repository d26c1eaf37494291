#include "tests/e2e/RemoteTree.h"

#include <cstring>

namespace {

// A tree that does not answer within this time is reported, not waited for.
constexpr UINT kAnswerTimeoutMs = 5000;
constexpr int kTextRoom = 1024;

// The layout of the block in the tree's process: the item record, its text, a rectangle.
constexpr SIZE_T kItemOffset = 0;
constexpr SIZE_T kTextOffset = 64;
constexpr SIZE_T kRectOffset = kTextOffset + kTextRoom;
constexpr SIZE_T kBlockSize = kRectOffset + sizeof(RECT);
static_assert(sizeof(TVITEMA) <= kTextOffset, "the item record must fit before the text");

} // namespace

CRemoteBlock::CRemoteBlock(HANDLE process, SIZE_T size)
    : m_process(process)
    , m_address(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
{
}

CRemoteBlock::~CRemoteBlock()
{
    if (m_address)
        VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
}

bool CRemoteBlock::Write(SIZE_T offset, const void* data, SIZE_T size) const
{
    SIZE_T written = 0;
    return WriteProcessMemory(m_process, Address() + offset, data, size, &written) &&
           written == size;
}

bool CRemoteBlock::Read(SIZE_T offset, void* data, SIZE_T size) const
{
    SIZE_T read = 0;
    return ReadProcessMemory(m_process, Address() + offset, data, size, &read) && read == size;
}

CRemoteTree::CRemoteTree(HWND tree) : m_tree(tree)
{
    DWORD processId = 0;
    if (!tree || !GetWindowThreadProcessId(tree, &processId)) {
        m_problem = "no tree window";
        return;
    }
    m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                PROCESS_QUERY_INFORMATION,
                            FALSE, processId);
    if (!m_process) {
        m_problem = "the tree's process can't be opened (error " +
                    std::to_string(GetLastError()) + ")";
        return;
    }
    m_block = std::make_unique<CRemoteBlock>(m_process, kBlockSize);
    if (!m_block->Valid())
        m_problem = "no memory could be allocated in the tree's process (error " +
                    std::to_string(GetLastError()) + ")";
}

CRemoteTree::~CRemoteTree()
{
    m_block.reset();
    if (m_process)
        CloseHandle(m_process);
}

HTREEITEM CRemoteTree::Next(HTREEITEM item, WPARAM relation)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(m_tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer)) {
        m_problem = "the tree did not answer";
        return nullptr;
    }
    return reinterpret_cast<HTREEITEM>(answer);
}

bool CRemoteTree::ReadItem(HTREEITEM handle, RemoteTreeItem& item)
{
    TVITEMA request = {};
    request.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE |
                   TVIF_CHILDREN;
    request.hItem = handle;
    request.stateMask = static_cast<UINT>(-1);
    request.pszText = m_block->Address() + kTextOffset;
    request.cchTextMax = kTextRoom;
    const char nothing = 0;
    DWORD_PTR answer = 0;
    if (!m_block->Write(kItemOffset, &request, sizeof request) ||
        !m_block->Write(kTextOffset, &nothing, 1) ||
        !SendMessageTimeoutA(m_tree, TVM_GETITEMA, 0,
                             reinterpret_cast<LPARAM>(m_block->Address() + kItemOffset),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer) ||
        !answer)
        return false;

    TVITEMA reply = {};
    char text[kTextRoom] = {};
    if (!m_block->Read(kItemOffset, &reply, sizeof reply) ||
        !m_block->Read(kTextOffset, text, sizeof text))
        return false;
    text[kTextRoom - 1] = 0;
    item.handle = handle;
    item.text = text;
    item.expanded = (reply.state & TVIS_EXPANDED) != 0;
    item.hasChildren = reply.cChildren != 0;
    item.image = reply.iImage;
    item.selectedImage = reply.iSelectedImage;
    return true;
}

// TVM_GETITEMRECT takes the item's handle in the rectangle it fills.
void CRemoteTree::ReadPlace(RemoteTreeItem& item)
{
    RECT rect = {};
    std::memcpy(&rect, &item.handle, sizeof item.handle);
    DWORD_PTR answer = 0;
    if (!m_block->Write(kRectOffset, &rect, sizeof rect) ||
        !SendMessageTimeoutA(m_tree, TVM_GETITEMRECT, TRUE,
                             reinterpret_cast<LPARAM>(m_block->Address() + kRectOffset),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &answer) ||
        !answer || !m_block->Read(kRectOffset, &rect, sizeof rect))
        return;
    RECT client = {};
    GetClientRect(m_tree, &client);
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (!PtInRect(&client, centre))
        return;
    ClientToScreen(m_tree, &centre);
    item.shown = true;
    item.centre = centre;
}

void CRemoteTree::Walk(HTREEITEM first, int depth, bool branchOpen, HTREEITEM caret,
                       std::vector<RemoteTreeItem>& items)
{
    for (HTREEITEM handle = first; handle && m_problem.empty(); handle = Next(handle, TVGN_NEXT)) {
        RemoteTreeItem item;
        if (!ReadItem(handle, item)) {
            m_problem = "an item could not be read";
            return;
        }
        item.depth = depth;
        item.selected = handle == caret;
        // An item in a collapsed branch has no place on the screen; not asking saves time in
        // trees of thousands of presets.
        if (branchOpen)
            ReadPlace(item);
        items.push_back(item);
        bool childrenOpen = branchOpen && item.expanded;
        if (childrenOpen || !m_openBranchesOnly)
            Walk(Next(handle, TVGN_CHILD), depth + 1, childrenOpen, caret, items);
    }
}

std::vector<RemoteTreeItem> CRemoteTree::Items(bool openBranchesOnly)
{
    m_openBranchesOnly = openBranchesOnly;
    std::vector<RemoteTreeItem> items;
    if (!m_problem.empty())
        return items;
    Walk(Next(nullptr, TVGN_ROOT), 1, true, Next(nullptr, TVGN_CARET), items);
    return items;
}
