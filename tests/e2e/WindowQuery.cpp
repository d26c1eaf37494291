#include "tests/e2e/WindowQuery.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr UINT kAnswerTimeoutMs = 5000;

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId)
        search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM context)
{
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

std::string WithoutAmpersands(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
}

bool AllDigits(const std::string& text)
{
    return !text.empty() && text.size() <= 9 && std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return std::isdigit(c) != 0;
    });
}

} // namespace

std::string RemoteWindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                             &length))
        return std::string();
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &copied))
        return std::string();
    text.resize(std::min<std::size_t>(copied, length));
    return text;
}

WindowFacts DescribeWindow(HWND window)
{
    WindowFacts facts;
    facts.handle = window;
    facts.id = GetDlgCtrlID(window);
    char className[256] = {};
    GetClassNameA(window, className, sizeof className);
    facts.className = className;
    facts.text = RemoteWindowText(window);
    facts.visible = IsWindowVisible(window) != FALSE;
    facts.enabled = IsWindowEnabled(window) != FALSE;
    return facts;
}

std::vector<HWND> ProcessWindows(DWORD processId)
{
    WindowSearch search{processId, {}};
    EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindProcessWindow(DWORD processId, const std::string& caption)
{
    HWND hidden = nullptr;
    for (HWND window : ProcessWindows(processId)) {
        if (RemoteWindowText(window) != caption)
            continue;
        if (IsWindowVisible(window))
            return window;
        if (!hidden)
            hidden = window;
    }
    return hidden;
}

std::vector<HWND> DescendantWindows(HWND window)
{
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND FindChild(HWND window, const std::string& idOrText)
{
    if (AllDigits(idOrText))
        return GetDlgItem(window, std::stoi(idOrText));
    std::string wanted = WithoutAmpersands(idOrText);
    for (HWND child : DescendantWindows(window)) {
        if (WithoutAmpersands(RemoteWindowText(child)) == wanted)
            return child;
    }
    return nullptr;
}

std::string OneLine(const std::string& text)
{
    std::string line;
    for (char c : text) {
        if (c == '\r')
            line += "\\r";
        else if (c == '\n')
            line += "\\n";
        else if (c == '\t')
            line += "\\t";
        else
            line += c;
    }
    return line;
}
