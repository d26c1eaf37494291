#include "browser/SoundFontFileWalk.h"

#include "base/WideText.h"

#include <windows.h>

#include <vector>

namespace {

// Deeper than any folder the tree can list.
constexpr int kDeepestWalk = 128;

bool IsSoundFontName(const wchar_t* name)
{
    std::size_t length = wcslen(name);
    return length > 4 && lstrcmpiW(name + length - 4, L".sf2") == 0;
}

bool IsDotOrDotDot(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// False when the walk is to stop.
bool Walk(const std::wstring& folder, int depth, const std::function<bool(const std::string&)>& found)
{
    if (depth > kDeepestWalk)
        return true;
    WIN32_FIND_DATAW entry = {};
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return true;
    // The folder's entries are taken first and the folder let go of before any file is
    // reported: the reader may take its time, and an open folder can't be deleted or renamed.
    std::vector<std::wstring> subfolders;
    std::vector<std::string> files;
    do {
        if (IsDotOrDotDot(entry.cFileName) || (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        std::wstring path = folder + L"\\" + entry.cFileName;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            subfolders.push_back(path);
        else if (IsSoundFontName(entry.cFileName))
            files.push_back(NarrowToUtf8(path));
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    bool going = true;
    for (std::size_t i = 0; going && i < files.size(); ++i)
        going = found(files[i]);
    for (const std::wstring& subfolder : subfolders) {
        if (!going)
            break;
        going = Walk(subfolder, depth + 1, found);
    }
    return going;
}

} // namespace

void WalkSoundFontFiles(const std::string& folder, const std::function<bool(const std::string&)>& found)
{
    std::wstring root = WidenUtf8(folder);
    while (!root.empty() && (root.back() == L'\\' || root.back() == L'/'))
        root.pop_back();
    Walk(root, 0, found);
}
