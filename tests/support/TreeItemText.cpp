#include "tests/support/TreeItemText.h"

std::string TreeItemText(HWND tree, HTREEITEM item)
{
    char text[512] = {};
    TVITEMA query = {};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}
