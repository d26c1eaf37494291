// The preset index behind the find box and the thread that fills it, on SoundFont files
// written for the test.

#include "browser/PresetIndex.h"
#include "browser/PresetIndexBuilder.h"
#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {

std::vector<std::string> NamesOf(const std::vector<PresetMatch>& matches)
{
    std::vector<std::string> names;
    for (const PresetMatch& match : matches)
        names.push_back(match.preset.name);
    return names;
}

PresetSource FileSource(const std::string& path)
{
    PresetSource source;
    source.path = path;
    return source;
}

// A listing of the .sf2 files below a folder through the standard library, in name order.
void ListWithFilesystem(const std::string& folder, const std::function<bool(const std::string&)>& found)
{
    std::vector<std::string> paths;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::string extension = it->path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        if (it->is_regular_file() && extension == ".sf2")
            paths.push_back(it->path().string());
    }
    std::sort(paths.begin(), paths.end());
    for (const std::string& path : paths) {
        if (!found(path))
            return;
    }
}

Bytes SoundFontOf(std::initializer_list<std::pair<std::string, std::uint16_t>> presets)
{
    Bytes records;
    for (const auto& preset : presets) {
        Bytes record = Record(preset.first, preset.second, 0);
        records.insert(records.end(), record.begin(), record.end());
    }
    Bytes terminal = TerminalRecord();
    records.insert(records.end(), terminal.begin(), terminal.end());
    return SoundFontWith(Chunk("phdr", records));
}

class PresetIndexFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = (std::filesystem::temp_directory_path() /
                    ("tonewell-index-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
                       .string();
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder + "/sub/deeper");
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::string Path(const std::string& name) const { return m_folder + "/" + name; }

    std::string m_folder;
};

} // namespace

TEST(PresetIndex, SearchFindsNamesHoldingTheTextWithoutCase)
{
    CPresetIndex index;
    unsigned generation = index.Restart();
    index.Add(generation, FileSource("a.sf2"),
              {{"Grand Piano", 0, 0}, {"Bright PIANO", 0, 1}, {"Strings", 0, 48}, {"Ch\xC3\xA9ur", 0, 52}});
    struct Case {
        const char* text;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"piano", {"Grand Piano", "Bright PIANO"}},
        {"PIA", {"Grand Piano", "Bright PIANO"}},
        {"d p", {"Grand Piano"}},
        {"strings", {"Strings"}},
        {"Stringsx", {}},
        {"", {}},
        // Bytes beyond ASCII match as they are.
        {"\xC3\xA9u", {"Ch\xC3\xA9ur"}},
        {"n", {"Grand Piano", "Bright PIANO", "Strings"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(NamesOf(index.Search(c.text, 100)), c.names);
    }
    EXPECT_EQ(NamesOf(index.Search("n", 2)), (std::vector<std::string>{"Grand Piano", "Bright PIANO"}));
}

TEST(PresetIndex, MatchesKeepTheirNumbersAndSource)
{
    CPresetIndex index;
    unsigned generation = index.Restart();
    PresetSource bank;
    bank.device = 1;
    bank.bank = 7;
    bank.path = "C:\\banks\\seven.sf2";
    index.Add(generation, bank, {{"Kit", 128, 25}});
    index.Add(generation, FileSource("C:\\disk\\kit.sf2"), {{"Other Kit", 0, 3}});
    std::vector<PresetMatch> matches = index.Search("kit", 10);
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0].preset.bank, 128);
    EXPECT_EQ(matches[0].preset.program, 25);
    EXPECT_TRUE(matches[0].source.IsLoadedBank());
    EXPECT_EQ(matches[0].source.device, 1);
    EXPECT_EQ(matches[0].source.bank, 7);
    EXPECT_FALSE(matches[1].source.IsLoadedBank());
    EXPECT_EQ(matches[1].source.path, "C:\\disk\\kit.sf2");
    EXPECT_EQ(index.Counts().presets, 2u);
    EXPECT_EQ(index.Counts().sources, 2u);
}

TEST(PresetIndex, AdditionsForAnEarlierGenerationAreIgnored)
{
    CPresetIndex index;
    unsigned old = index.Restart();
    index.Add(old, FileSource("old.sf2"), {{"Old", 0, 0}});
    unsigned fresh = index.Restart();
    index.Add(old, FileSource("late.sf2"), {{"Late Old", 0, 0}});
    index.CountSkipped(old);
    index.MarkComplete(old);
    index.Add(fresh, FileSource("new.sf2"), {{"New", 0, 0}});
    EXPECT_EQ(NamesOf(index.Search("o", 10)), std::vector<std::string>{});
    EXPECT_EQ(NamesOf(index.Search("new", 10)), std::vector<std::string>{"New"});
    PresetIndexCounts counts = index.Counts();
    EXPECT_EQ(counts.skipped, 0u);
    EXPECT_FALSE(counts.complete);
}

TEST_F(PresetIndexFiles, BuildReadsLoadedBanksAndEveryFileBelowTheFoldersAndCountsTheDamaged)
{
    WriteFile(m_folder + "/one.sf2", SoundFontOf({{"Warm Pad", 88}, {"Pad Sweep", 95}}));
    WriteFile(m_folder + "/sub/deeper/two.SF2", SoundFontOf({{"Square Lead", 80}}));
    WriteFile(m_folder + "/sub/bank.sf2", SoundFontOf({{"Bank Pad", 1}}));
    WriteFile(m_folder + "/sub/readme.txt", Text("not a SoundFont"));
    for (const DamagedImage& damaged : DamagedImages())
        WriteFile(m_folder + "/sub/damaged-" + damaged.name + ".sf2", damaged.image);

    CPresetIndex index;
    CPresetIndexBuilder builder(index, ListWithFilesystem);
    PresetSource bank;
    bank.device = 0;
    bank.bank = 5;
    bank.path = Path("sub/bank.sf2");
    PresetSource gone;
    gone.device = 1;
    gone.bank = 9;
    gone.path = Path("gone.sf2");
    builder.Start({bank, gone}, {m_folder});
    builder.Wait();

    PresetIndexCounts counts = index.Counts();
    EXPECT_TRUE(counts.complete);
    EXPECT_EQ(counts.skipped, DamagedImages().size() + 1); // and the loaded bank whose file is gone
    std::vector<PresetMatch> pads = index.Search("PAD", 10);
    ASSERT_EQ(NamesOf(pads), (std::vector<std::string>{"Bank Pad", "Warm Pad", "Pad Sweep", "Bank Pad"}));
    EXPECT_TRUE(pads[0].source.IsLoadedBank());
    EXPECT_EQ(pads[0].source.bank, 5);
    EXPECT_FALSE(pads[3].source.IsLoadedBank());
    EXPECT_EQ(NamesOf(index.Search("lead", 10)), std::vector<std::string>{"Square Lead"});
}

TEST_F(PresetIndexFiles, ARestartedBuildHoldsEachFileOnceAndSearchesRunWhileItReads)
{
    for (int i = 0; i < 40; ++i)
        WriteFile(m_folder + "/file" + std::to_string(i) + ".sf2", SoundFontOf({{"Tone " + std::to_string(i), 0}}));
    CPresetIndex index;
    CPresetIndexBuilder builder(index, ListWithFilesystem);
    std::atomic<bool> building{true};
    std::atomic<std::size_t> searches{0};
    std::thread searcher([&] {
        while (building) {
            index.Search("tone", 1000);
            ++searches;
        }
    });
    // On a busy machine the searcher may not run before a short build ends: it starts first.
    while (searches == 0)
        std::this_thread::yield();
    builder.Start({}, {m_folder});
    builder.Start({}, {m_folder});
    builder.Wait();
    building = false;
    searcher.join();
    EXPECT_EQ(index.Search("tone", 1000).size(), 40u);
    EXPECT_EQ(index.Counts().sources, 40u);
    EXPECT_TRUE(index.Counts().complete);
}

TEST_F(PresetIndexFiles, ABuildGivingWayReadsNothingUntilItsTimeAndStopsAtOnce)
{
    using Clock = std::chrono::steady_clock;
    WriteFile(m_folder + "/one.sf2", SoundFontOf({{"One", 0}}));
    CPresetIndex index;
    CPresetIndexBuilder builder(index, ListWithFilesystem);

    builder.GiveWayUntil(Clock::now() + std::chrono::hours(1));
    builder.Start({}, {m_folder});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(index.Counts().sources, 0u);
    builder.GiveWayUntil(Clock::now());
    builder.Wait();
    EXPECT_EQ(index.Counts().sources, 1u);
    EXPECT_TRUE(index.Counts().complete);

    // A stop does not wait for the way to be clear.
    builder.GiveWayUntil(Clock::now() + std::chrono::hours(1));
    builder.Start({}, {m_folder});
    builder.Stop();
    EXPECT_FALSE(index.Counts().complete);
    EXPECT_EQ(index.Counts().sources, 0u);
}

TEST_F(PresetIndexFiles, StoppingLeavesTheIndexIncomplete)
{
    WriteFile(m_folder + "/one.sf2", SoundFontOf({{"One", 0}}));
    CPresetIndex index;
    std::atomic<int> listed{0};
    CPresetIndexBuilder builder(index, [&](const std::string&, const std::function<bool(const std::string&)>& found) {
        // A folder that never ends: only a stop ends the walk.
        while (found(Path("one.sf2")))
            ++listed;
    });
    builder.Start({}, {m_folder});
    while (listed < 3)
        std::this_thread::yield();
    builder.Stop();
    EXPECT_FALSE(index.Counts().complete);
    EXPECT_GE(index.Counts().sources, 3u);
}
