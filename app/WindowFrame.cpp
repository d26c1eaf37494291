#include "app/WindowFrame.h"

namespace {

RECT Placed(int left, int top, int width, int height)
{
    return RECT{left, top, left + width, top + height};
}

} // namespace

FrameLayout ComputeFrameLayout(int width, int height, bool expanded, const RECT& expandButton,
                               const RECT& tree, const RECT& presetList)
{
    FrameLayout layout = {};
    layout.expandButton = Placed(width - 23, expandButton.top, expandButton.right - expandButton.left,
                                 expandButton.bottom - expandButton.top);
    int treeRight = expanded ? width / 2 : width;
    layout.tree = Placed(tree.left, tree.top, treeRight - tree.left, height - tree.top);
    layout.presetListVisible = expanded;
    layout.presetList = expanded ? Placed(width / 2, presetList.top, width / 2, height - presetList.top)
                                 : presetList;
    return layout;
}

RECT ChildRect(HWND parent, HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
