#pragma once
// Folders of the tests' own on the real file system.

#include <string>

// Creates a folder that no other run can share: creation fails when the name is taken, and
// the name's number comes from the clock. Empty when the folder can't be made.
std::string CreateUniqueFolder(const std::string& parentWithSeparator, const std::string& prefix);

// Deletes a folder with everything in it.
void RemoveTree(const std::string& folder);
