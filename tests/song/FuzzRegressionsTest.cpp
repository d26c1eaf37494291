#include "fuzz/SongChecks.h"

#include "tests/sf2/FuzzFindings.h"

#include <fstream>
#include <iterator>

// Each file in fuzz/regressions/song broke a promise of the MIDI file reader that the fuzz
// target checks. Reading it again must keep every promise; the sanitizers catch the rest.
TEST(SongFuzzRegressions, EveryFindingIsReadSafely)
{
    ForEachFuzzFinding(TONEWELL_FUZZ_REGRESSIONS_DIR, [](const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        const Bytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        EXPECT_EQ(CheckMidiFileParser(bytes.data(), bytes.size()), "");
    });
}
