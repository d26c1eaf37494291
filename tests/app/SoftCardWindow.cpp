#include "tests/app/SoftCardWindow.h"

#include "base/WideText.h"
#include "base/resource.h"
#include "tests/support/DropData.h"
#include "tests/support/MenuWatcher.h"
#include "tests/support/TreeItemText.h"

HWND SoftCardWindow::Tree() const
{
    return GetDlgItem(Window(), IDC_SOUND_TREE);
}

HTREEITEM SoftCardWindow::Find(const TreePath& path)
{
    HTREEITEM item = nullptr;
    m_runner.OnUiThread([&] {
        HTREEITEM parent = TVI_ROOT;
        for (const std::string& prefix : path) {
            if (parent != TVI_ROOT)
                TreeView_Expand(Tree(), parent, TVE_EXPAND);
            item = ChildStartingWith(parent, prefix);
            if (!item)
                return;
            parent = item;
        }
    });
    return item;
}

bool SoftCardWindow::Select(const TreePath& path)
{
    HTREEITEM item = Find(path);
    if (item)
        m_runner.OnUiThread([&] { TreeView_SelectItem(Tree(), item); });
    return item != nullptr;
}

std::vector<std::string> SoftCardWindow::ChildTexts(const TreePath& path)
{
    std::vector<std::string> texts;
    HTREEITEM parent = Find(path);
    if (!parent)
        return {"(no item " + path.back() + ")"};
    m_runner.OnUiThread([&] {
        TreeView_Expand(Tree(), parent, TVE_EXPAND);
        for (HTREEITEM item = TreeView_GetChild(Tree(), parent); item; item = TreeView_GetNextSibling(Tree(), item))
            texts.push_back(TreeItemText(Tree(), item));
    });
    return texts;
}

bool SoftCardWindow::DropOnto(const TreePath& path, const std::string& file)
{
    HTREEITEM item = Find(path);
    if (!item)
        return false;
    RECT rect = {};
    m_runner.OnUiThread([&] {
        TreeView_EnsureVisible(Tree(), item);
        TreeView_GetItemRect(Tree(), item, &rect, TRUE);
    });
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    MapWindowPoints(Tree(), Window(), &point, 1);
    SendMessageW(Window(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropData({WidenAnsi(file)}, point)), 0);
    return true;
}

void SoftCardWindow::PressDelete()
{
    NMTVKEYDOWN down = {{Tree(), IDC_SOUND_TREE, static_cast<UINT>(TVN_KEYDOWN)}, VK_DELETE, 0};
    SendMessageA(Window(), WM_NOTIFY, IDC_SOUND_TREE, reinterpret_cast<LPARAM>(&down));
}

bool SoftCardWindow::ChooseFromMenu(const std::string& choice)
{
    MenuWatcher menu(choice);
    SendMessageA(Window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree()), -1);
    return menu.Shown();
}

void SoftCardWindow::StepOctave(int delta)
{
    NMUPDOWN step = {{GetDlgItem(Window(), IDC_OCTAVE_SPIN), IDC_OCTAVE_SPIN, static_cast<UINT>(UDN_DELTAPOS)}, 0, delta};
    SendMessageA(Window(), WM_NOTIFY, IDC_OCTAVE_SPIN, reinterpret_cast<LPARAM>(&step));
}

HTREEITEM SoftCardWindow::ChildStartingWith(HTREEITEM parent, const std::string& prefix) const
{
    for (HTREEITEM item = TreeView_GetChild(Tree(), parent); item; item = TreeView_GetNextSibling(Tree(), item))
        if (TreeItemText(Tree(), item).rfind(prefix, 0) == 0)
            return item;
    return nullptr;
}
