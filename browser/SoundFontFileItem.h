#pragma once
// A SoundFont file's item in the sound tree: listed as a SoundFont or, when its preset list
// can't be read, as a damaged file whose tip says why.

#include "browser/SoundTree.h"
#include "browser/TreeItemData.h"
#include "sf2/SoundFontDamage.h"
#include "shell/ShellItem.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

// The record a .sf2 file is listed with, given what reading it found.
TreeItemRecord SoundFontFileRecord(const CShellItem& file, SoundFontDamage damage);

// Answers the tree's TVN_GETINFOTIPA or TVN_GETINFOTIPW: a damaged file's reason, no tip for
// other items. False for other notifications.
bool FillInfoTip(const CSoundTree& tree, NMHDR* header);

// What a double-click or Enter on a damaged file at `path` says, naming the file:
// "broken.sf2 can't be loaded. Not a SoundFont."
std::string DamagedFileMessage(const std::string& path, SoundFontDamage damage);
