#pragma once
// The .sf2 files below a folder on disk, for the preset index: a plain file-system walk, which
// is far quicker than the shell's and safe on the index's reading thread.

#include <functional>
#include <string>

// Calls `found` with the UTF-8 path of each .sf2 file below `folder` (a UTF-8 path), folder by
// folder in the order the file system gives; stops when `found` answers false. Links and
// junctions are not followed, so a folder that contains itself ends.
void WalkSoundFontFiles(const std::string& folder, const std::function<bool(const std::string&)>& found);
