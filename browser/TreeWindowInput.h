#pragma once
// The sound tree's own window procedure, put in front of the control's: it notes where the
// mouse was last seen over the tree (the context menu and double-click commands take the item
// under it), turns the menu keys into a keyboard WM_CONTEXTMENU for the dialog, answers the
// accessibility query, and lets the first arrow key select the top item of a tree without a
// selection.

#include <windows.h>

#include <cstdint>

class CTreeWindowInput {
public:
    CTreeWindowInput() = default;
    ~CTreeWindowInput();
    CTreeWindowInput(const CTreeWindowInput&) = delete;
    CTreeWindowInput& operator=(const CTreeWindowInput&) = delete;

    void Attach(HWND tree);

    // The last mouse position over the tree, in the tree's client coordinates.
    POINT LastMouse() const;
    void SetLastMouse(std::uint32_t x, std::uint32_t y);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_tree = nullptr;
    WNDPROC m_previousProc = nullptr;
    std::uint32_t m_mouseX = 0;
    std::uint32_t m_mouseY = 0;
};
