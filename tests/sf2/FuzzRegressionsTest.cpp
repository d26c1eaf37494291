#include "sf2/PresetReader.h"

#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

// Each file in fuzz/regressions/sf2 once made the fuzz target fail. Reading it again must stay
// within the reader's promises; the sanitizers of the native build catch the rest.
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
        std::vector<PresetHeader> entries(1);
        if (ReadPresetHeaders(item.path().string(), entries)) {
            EXPECT_LE(entries.size() * PresetHeader::kRecordSize, item.file_size());
            std::sort(entries.begin(), entries.end());
            EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end()));
        } else {
            EXPECT_TRUE(entries.empty());
        }
    }
}
