#include "sf2/PresetReader.h"

#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace {

struct Preset {
    std::string name;
    std::uint16_t preset;
    std::uint16_t bank;
};

std::string Describe(const Preset& p)
{
    return p.name + " " + std::to_string(p.preset) + ":" + std::to_string(p.bank);
}

std::string Describe(const PresetHeader& entry)
{
    return Describe(Preset{entry.Name(), entry.Preset(), entry.Bank()});
}

struct SoundFontFacts {
    const char* path;
    std::size_t presetCount;
    std::size_t drumKitCount;
    Preset firstInFile;
    Preset lastInFile;
    Preset firstSorted;
    Preset lastSorted;
    std::uint32_t firstLibrary;
};

// Obtained without this reader: the "phdr" chunk was located with `grep -boa phdr`, its size and
// records decoded with `od -A d -t u4` / `od -A d -c` and a throwaway script that split the
// 38-byte records (TimGM6mb.sf2: phdr at 5764468, size 5206 = 137 records; OPL-3_FM_128M.sf2:
// phdr at 134876452, size 4940 = 130 records; each list ends with its "EOP" record). The first
// record of OPL-3_FM_128M.sf2 holds "128", a zero and other bytes in its name field, and 6029403
// (bytes 5B 00 5C 00) as its library.
const SoundFontFacts kSoundFonts[] = {
    {"/usr/share/sounds/sf2/TimGM6mb.sf2", 136, 8, {"Flute TB", 73, 0}, {"Strings (Tremelo)", 44, 0},
     {"Piano 1", 0, 0}, {"Orchestra", 48, 128}, 0},
    {"/usr/share/sounds/sf2/OPL-3_FM_128M.sf2", 129, 1, {"128", 0, 128}, {"000", 0, 0}, {"000", 0, 0},
     {"128", 0, 128}, 6029403},
};

} // namespace

class RealSoundFont : public ::testing::TestWithParam<SoundFontFacts> {};

TEST_P(RealSoundFont, ListsPresetsAsDecodedIndependently)
{
    const SoundFontFacts& facts = GetParam();
    const std::string path = HostPath(facts.path);
    if (std::FILE* probe = std::fopen(path.c_str(), "rb"))
        std::fclose(probe);
    else
        GTEST_SKIP() << facts.path << " is not installed (Debian packages timgm6mb-soundfont, opl3-soundfont)";

    std::vector<PresetHeader> entries;
    ASSERT_TRUE(ReadPresetHeaders(path, entries));
    ASSERT_EQ(entries.size(), facts.presetCount);
    EXPECT_EQ(Describe(entries.front()), Describe(facts.firstInFile));
    EXPECT_EQ(Describe(entries.back()), Describe(facts.lastInFile));
    EXPECT_EQ(entries.front().Library(), facts.firstLibrary);
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](const PresetHeader& e) { return e.Bank() == 128; }),
              static_cast<std::ptrdiff_t>(facts.drumKitCount));

    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(Describe(entries.front()), Describe(facts.firstSorted));
    EXPECT_EQ(Describe(entries.back()), Describe(facts.lastSorted));
}

INSTANTIATE_TEST_SUITE_P(DebianPackages, RealSoundFont, ::testing::ValuesIn(kSoundFonts),
                         [](const ::testing::TestParamInfo<SoundFontFacts>& info) {
                             return info.index == 0 ? std::string("TimGM6mb") : std::string("Opl3Fm128M");
                         });
