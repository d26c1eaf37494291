// The find box's preset index on the tree benchmark's library (1,000 SoundFont files of 100
// presets in nested folders, and 127 loaded banks from files of it): how long the reading
// thread takes to fill it, the longest the window's thread waits for it meanwhile, how long a
// search takes for each keystroke, and the memory the index holds. Windows only: it walks the
// folders as the program does.

#include "bench/BenchLibrary.h"
#include "browser/PresetIndex.h"
#include "browser/PresetIndexBuilder.h"
#include "browser/SoundFontFileWalk.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// As many as the find box's list shows.
constexpr std::size_t kShownMatches = 1000;
// A fast typist's pace, and more often than the window shows the index's progress.
constexpr std::chrono::milliseconds kKeystrokeGap{10};

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

struct BuildFigures {
    double buildMs = 0;
    // The longest single call of the window's thread into the index while it was filled.
    double longestWaitMs = 0;
    double longestSearchMs = 0;
    std::size_t searches = 0;
};

// Fills the index while this thread, standing in for the window's, asks it for its counts and
// searches it every 10 ms, as a user typing during the build would.
BuildFigures Build(CPresetIndex& index, CPresetIndexBuilder& builder, const std::vector<PresetSource>& banks,
                   const std::string& root)
{
    BuildFigures figures;
    Clock::time_point start = Clock::now();
    builder.Start(banks, {root});
    for (;;) {
        Clock::time_point asked = Clock::now();
        bool complete = index.Counts().complete;
        figures.longestWaitMs = std::max(figures.longestWaitMs, MillisecondsSince(asked));
        if (complete)
            break;
        Clock::time_point searched = Clock::now();
        index.Search("sound 7", kShownMatches);
        figures.longestSearchMs = std::max(figures.longestSearchMs, MillisecondsSince(searched));
        ++figures.searches;
        std::this_thread::sleep_for(kKeystrokeGap);
    }
    figures.buildMs = MillisecondsSince(start);
    builder.Wait();
    figures.longestWaitMs = std::max(figures.longestWaitMs, figures.longestSearchMs);
    return figures;
}

} // namespace

int main(int argc, char** argv)
{
    int passes = argc > 1 ? std::atoi(argv[1]) : 3;
    if (passes <= 0) {
        std::fprintf(stderr, "usage: %s [passes > 0]\n", argv[0]);
        return 2;
    }
    std::printf("Generating the library ...\n");
    BenchLibraryShape shape;
    CBenchLibrary library(shape);
    std::vector<PresetSource> banks;
    for (int bank = 1; bank <= CBenchLibrary::kLoadedBanks && bank <= static_cast<int>(library.Files().size()); ++bank)
        banks.push_back({0, bank, library.Files()[static_cast<std::size_t>(bank - 1)]});

    CPresetIndex index;
    CPresetIndexBuilder builder(index, WalkSoundFontFiles);
    std::vector<double> builds;
    std::vector<double> waits;
    std::size_t searches = 0;
    for (int pass = 0; pass < passes; ++pass) {
        BuildFigures figures = Build(index, builder, banks, library.Root());
        builds.push_back(figures.buildMs);
        waits.push_back(figures.longestWaitMs);
        searches += figures.searches;
    }
    PresetIndexCounts counts = index.Counts();
    std::printf("Preset index of %zu files and %zu loaded banks: %zu sources, %zu presets, %zu skipped\n",
                library.Files().size(), banks.size(), counts.sources, counts.presets, counts.skipped);
    std::printf("%-34s %9s   %s\n", "", "median", "worst");
    std::printf("%-34s %9.1f   %.1f   (goal at most 2000 ms)\n", "build, ms", Median(builds),
                *std::max_element(builds.begin(), builds.end()));
    std::printf("%-34s %9.2f   %.2f   (goal at most 50 ms; %zu searches during the builds)\n",
                "longest wait of the window, ms", Median(waits), *std::max_element(waits.begin(), waits.end()),
                searches);

    // Typing a name letter by letter, then a text found nowhere (every name is read).
    const std::string typed = "file 512 sound 42";
    std::vector<double> keystrokes;
    for (int pass = 0; pass < passes; ++pass) {
        for (std::size_t length = 1; length <= typed.size(); ++length) {
            Clock::time_point start = Clock::now();
            index.Search(typed.substr(0, length), kShownMatches);
            keystrokes.push_back(MillisecondsSince(start));
        }
        Clock::time_point start = Clock::now();
        index.Search("found nowhere", kShownMatches);
        keystrokes.push_back(MillisecondsSince(start));
    }
    std::printf("%-34s %9.2f   %.2f   (goal at most 30 ms; %zu searches)\n", "search per keystroke, ms",
                Median(keystrokes), *std::max_element(keystrokes.begin(), keystrokes.end()), keystrokes.size());
    std::printf("%-34s %9.1f           (goal at most 20 MB)\n", "index memory, MB",
                static_cast<double>(index.MemoryBytes()) / (1024.0 * 1024.0));
    return counts.presets == 0 ? 1 : 0;
}
