// Each file in fuzz/regressions/sim once made the simulated card's reader fuzz target fail.
// Reading it again every way the card reads files must keep the readers' promises, natively
// (where the sanitizers catch the rest) and under Wine (where the platform's file code runs).

#include "fuzz/SimReaderChecks.h"
#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(SimFuzzRegressions, EveryFindingIsReadSafely)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::u8path(HostPath(TONEWELL_SIM_FUZZ_REGRESSIONS_DIR));
    ASSERT_TRUE(fs::is_directory(folder)) << folder.string();
    for (const fs::directory_entry& item : fs::directory_iterator(folder)) {
        const std::string name = item.path().filename().string();
        if (!item.is_regular_file() || name.front() == '.')
            continue;
        SCOPED_TRACE(name);
        EXPECT_EQ(CheckSimReaders(item.path().string(), item.file_size()), "");
    }
}
