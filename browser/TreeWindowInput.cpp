#include "browser/TreeWindowInput.h"

#include "base/CallbackGuard.h"
#include "browser/TreeAccessible.h"

#include <commctrl.h>

namespace {

// Whether a key message is Shift+F10 or the menu key, which ask for the selected item's menu.
bool IsMenuKey(UINT message, WPARAM key)
{
    if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP)
        return key == VK_F10 && GetKeyState(VK_SHIFT) < 0;
    return (message == WM_KEYDOWN || message == WM_KEYUP) && key == VK_APPS;
}

// Posted to the tree by HoldDrawing: a hold that no opening ended ends here.
constexpr UINT kResumeDrawing = WM_APP + 0x54;

} // namespace

CTreeWindowInput::~CTreeWindowInput()
{
    // The tree may outlive this object only as a destroyed window; a live one gets its own
    // procedure back.
    if (m_tree && IsWindow(m_tree) && m_previousProc) {
        SetWindowLongPtrA(m_tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previousProc));
        SetWindowLongPtrA(m_tree, GWLP_USERDATA, 0);
    }
}

void CTreeWindowInput::Attach(HWND tree)
{
    m_tree = tree;
    // The object rides in the window's user data: every message the tree gets passes here,
    // insertions included, and a window property would cost a server call each under Wine.
    SetWindowLongPtrA(tree, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_previousProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
}

POINT CTreeWindowInput::LastMouse() const
{
    return {static_cast<LONG>(m_mouseX), static_cast<LONG>(m_mouseY)};
}

void CTreeWindowInput::SetLastMouse(std::uint32_t x, std::uint32_t y)
{
    m_mouseX = x;
    m_mouseY = y;
}

// The window's own redraw switch, not the control's: the control's keeps laying out and
// scrolling on screen.
void CTreeWindowInput::HoldDrawing()
{
    DefWindowProcW(m_tree, WM_SETREDRAW, FALSE, 0);
    PostMessageA(m_tree, kResumeDrawing, 0, 0);
}

void CTreeWindowInput::ResumeDrawing()
{
    if (!m_tree || (GetWindowLongW(m_tree, GWL_STYLE) & WS_VISIBLE))
        return;
    DefWindowProcW(m_tree, WM_SETREDRAW, TRUE, 0);
    // The frame too: the scroll bars may have changed unseen.
    RedrawWindow(m_tree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

LRESULT CALLBACK CTreeWindowInput::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* input = reinterpret_cast<CTreeWindowInput*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!input)
        return DefWindowProcA(window, message, wParam, lParam);
    return GuardCallback("tree window procedure", LRESULT{0},
                         [&] { return input->OnMessage(message, wParam, lParam); });
}

// Not every tree passes the menu keys on (Wine's keeps Shift+F10 to itself and ignores the
// menu key), and none sees them here, so one press makes one menu.
LRESULT CTreeWindowInput::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsMenuKey(message, wParam)) {
        if (message == WM_SYSKEYDOWN || message == WM_KEYDOWN)
            SendMessageA(GetParent(m_tree), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_tree), -1);
        return 0;
    }
    if (message == kResumeDrawing) {
        ResumeDrawing();
        return 0;
    }
    if (message == WM_GETOBJECT) {
        if (LRESULT object = TreeAccessibleResult(m_tree, wParam, lParam))
            return object;
    }
    // A rebuilt tree has nothing selected, and a tree without a selection ignores the arrow
    // keys under Wine: the first key then selects the top item, as Windows' tree does.
    if (message == WM_KEYDOWN && !TreeView_GetSelection(m_tree)) {
        if (HTREEITEM first = TreeView_GetFirstVisible(m_tree)) {
            TreeView_SelectItem(m_tree, first);
            return 0;
        }
    }
    if (message == WM_MOUSEMOVE || message == WM_RBUTTONDOWN)
        SetLastMouse(LOWORD(lParam), HIWORD(lParam));
    return CallWindowProcA(m_previousProc, m_tree, message, wParam, lParam);
}
