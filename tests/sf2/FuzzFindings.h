#pragma once
// The walk over a folder of fuzz findings that each regression test makes: every regular file
// but the hidden ones, with its name in the failure messages.

#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// Calls `check(path)` for each finding in `folder` (a path of the build machine).
template <typename Check>
void ForEachFuzzFinding(const char* folder, Check check)
{
    namespace fs = std::filesystem;
    const fs::path findings = fs::u8path(HostPath(folder));
    ASSERT_TRUE(fs::is_directory(findings)) << findings.string();
    for (const fs::directory_entry& item : fs::directory_iterator(findings)) {
        const std::string name = item.path().filename().string();
        if (!item.is_regular_file() || name.front() == '.')
            continue;
        SCOPED_TRACE(name);
        check(item.path());
    }
}
