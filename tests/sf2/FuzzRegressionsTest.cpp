#include "fuzz/Sf2PresetChecks.h"

#include "tests/sf2/FuzzFindings.h"

#include <fstream>
#include <iterator>

// Each file in fuzz/regressions/sf2 broke a promise of the reader that the fuzz target checks.
// Reading it again must keep every promise; the sanitizers of the native build catch the rest.
TEST(FuzzRegressions, EveryFindingIsReadSafely)
{
    ForEachFuzzFinding(TONEWELL_FUZZ_REGRESSIONS_DIR, [](const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        EXPECT_EQ(CheckPresetReader(path.string(), bytes.data(), bytes.size()), "");
    });
}
