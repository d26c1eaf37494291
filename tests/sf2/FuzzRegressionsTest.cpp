#include "fuzz/Sf2PresetChecks.h"

#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

// Each file in fuzz/regressions/sf2 broke a promise of the reader that the fuzz target checks.
// Reading it again must keep every promise; the sanitizers of the native build catch the rest.
TEST(FuzzRegressions, EveryFindingIsReadSafely)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::u8path(HostPath(TONEWELL_FUZZ_REGRESSIONS_DIR));
    ASSERT_TRUE(fs::is_directory(folder)) << folder.string();
    for (const fs::directory_entry& item : fs::directory_iterator(folder)) {
        const std::string name = item.path().filename().string();
        if (!item.is_regular_file() || name.front() == '.')
            continue;
        SCOPED_TRACE(name);
        std::ifstream file(item.path(), std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        EXPECT_EQ(CheckPresetReader(item.path().string(), bytes.data(), bytes.size()), "");
    }
}
