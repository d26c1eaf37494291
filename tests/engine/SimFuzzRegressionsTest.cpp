// Each file in fuzz/regressions/sim once made the simulated card's reader fuzz target fail.
// Reading it again every way the card reads files must keep the readers' promises, natively
// (where the sanitizers catch the rest) and under Wine (where the platform's file code runs).

#include "fuzz/SimReaderChecks.h"
#include "tests/sf2/FuzzFindings.h"

TEST(SimFuzzRegressions, EveryFindingIsReadSafely)
{
    ForEachFuzzFinding(TONEWELL_SIM_FUZZ_REGRESSIONS_DIR, [](const std::filesystem::path& path) {
        EXPECT_EQ(CheckSimReaders(path.string(), std::filesystem::file_size(path)), "");
    });
}
