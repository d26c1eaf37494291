#pragma once
// What a refresh of the sound tree can't do without, each part on its own, straight on the
// platform and the preset reader: the least work the refresh is made of.

#include <windows.h>
#include <shlobj.h>

#include <cstddef>
#include <string>
#include <vector>

// Walks the folder `root` and everything below it as the tree does (files, then subfolders,
// through a stack): one bind per folder, its files and its folders enumerated, and for every
// item, the folder itself included, one display name and one file-system path. The number of
// items named.
std::size_t WalkFolders(LPCITEMIDLIST root);

// Reads the preset headers of every file; the number of presets read.
std::size_t ReadEveryPresetList(const std::vector<std::string>& paths);

// The items of a tree in the order they were inserted: depth (1 at the top) and text.
struct TreeShape {
    std::vector<int> levels;
    std::vector<std::string> texts;
};

TreeShape CaptureShape(HWND tree);
// Inserts the items of `shape` into `tree`, each as the last child of the last item inserted
// one level up, with a picture and a parameter as the sound tree gives them.
void InsertShape(HWND tree, const TreeShape& shape);
