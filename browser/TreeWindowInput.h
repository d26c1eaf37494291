#pragma once
// The sound tree's own window procedure, put in front of the control's: it notes where the
// mouse was last seen over the tree (the context menu and double-click commands take the item
// under it), turns the menu keys into a keyboard WM_CONTEXTMENU for the dialog, answers the
// accessibility query, lets the first arrow key select the top item of a tree without a
// selection, and holds the tree's drawing while a branch opens.

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

    // While a branch opens, the tree draws nothing: it would scroll and paint the old picture,
    // and Wine's tree redraws its scroll bars at each step, a few milliseconds each. Drawing
    // resumes, with one paint of the opened branch, when the branch is open, and in any case
    // once the messages waiting now have been handled.
    void HoldDrawing();
    void ResumeDrawing();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_tree = nullptr;
    WNDPROC m_previousProc = nullptr;
    std::uint32_t m_mouseX = 0;
    std::uint32_t m_mouseY = 0;
};
