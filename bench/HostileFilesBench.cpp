// Times the preset reader on hostile files of 1 GiB (one of 256 MiB): files made to keep a chunk walk busy or to
// make the reader allocate without end. Each is written sparse where it can be (holes read as
// zeros), so the files cost little disk space.
//
//     bench_sf2_hostile [folder] [passes]
//
// Prints, for each file, whether the reader found a preset list, how many entries it gave and
// the median and slowest of the passes after a warm-up read. Goal: every file answered in
// under 50 ms.
#include "sf2/PresetReader.h"

#include "tests/sf2/Sf2Image.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr std::uint64_t kGiB = 1ull << 30;
// Real chunk data are written up to this size; the rest of the file is a hole.
constexpr std::uint64_t kWrittenBytes = 64ull << 20;

struct HostileFile {
    const char* name;
    const char* what;
    std::vector<Piece> pieces;
};

Bytes RiffHeader(std::uint64_t fileSize)
{
    return Concat({Text("RIFF"), U32(static_cast<std::uint32_t>(std::min<std::uint64_t>(fileSize - 8, 0xFFFFFFFFu))),
                   Text("sfbk")});
}

// The same chunk over and over from offset 12 up to kWrittenBytes.
Bytes Repeated(const Bytes& chunk)
{
    Bytes bytes;
    bytes.reserve(kWrittenBytes);
    while (bytes.size() + chunk.size() <= kWrittenBytes - 12)
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    return bytes;
}

// The last byte is written so that the file has its full length.
Piece LastByte(std::uint64_t fileSize = kGiB)
{
    return {fileSize - 1, Bytes(1, 0)};
}

std::vector<HostileFile> HostileFiles()
{
    const Bytes presetData = Concat({Text("LIST"), U32(0xFFFFFFFFu), Text("pdta")});
    const Bytes hugePresetHeaders = Concat({Text("phdr"), U32(0xFFFFFFFFu), Record("Piano", 0, 0)});
    return {
        {"zeros", "1 GiB of zero bytes", {LastByte()}},
        {"riff-zeros", "a RIFF header, then zero bytes", {{0, RiffHeader(kGiB)}, LastByte()}},
        {"empty-lists", "a RIFF header, 64 MiB of empty LIST chunks (12 bytes each), then zero bytes",
         {{0, RiffHeader(kGiB)}, {12, Repeated(Concat({Text("LIST"), U32(4), Text("abcd")}))}, LastByte()}},
        {"empty-chunks", "a RIFF header, 64 MiB of empty \"junk\" chunks (8 bytes each), then zero bytes",
         {{0, RiffHeader(kGiB)}, {12, Repeated(Concat({Text("junk"), U32(0)}))}, LastByte()}},
        // 256 MiB: a reader that takes every record within the chunk's size needs about twice
        // the file's size in memory.
        {"huge-phdr", "256 MiB: a \"phdr\" of 0xFFFFFFFF bytes in the preset data, then zero bytes",
         {{0, Concat({RiffHeader(kGiB / 4), presetData, hugePresetHeaders})}, LastByte(kGiB / 4)}},
    };
}

using Clock = std::chrono::steady_clock;

struct Timing {
    bool found;
    std::size_t entries;
    double median;
    double slowest;
};

Timing TimeReads(const std::string& path, int passes)
{
    std::vector<PresetHeader> entries;
    Timing timing{ReadPresetHeaders(path, entries), entries.size(), 0, 0};
    std::vector<double> times;
    for (int pass = 0; pass < passes; ++pass) {
        const Clock::time_point start = Clock::now();
        ReadPresetHeaders(path, entries);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    timing.median = times[times.size() / 2];
    timing.slowest = times.back();
    return timing;
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    const std::string folder = argc > 1 ? argv[1] : "sf2-hostile";
    const int passes = argc > 2 ? std::atoi(argv[2]) : 5;
    if (passes <= 0) {
        std::fprintf(stderr, "usage: %s [folder] [passes > 0]\n", argv[0]);
        return 2;
    }
    fs::create_directories(folder);

    std::printf("Preset reader on hostile files (%d passes after a warm-up read; goal under 50 ms)\n",
                passes);
    std::printf("%-13s %6s %8s %12s %12s   %s\n", "file", "found", "entries", "median ms", "slowest ms", "content");
    for (const HostileFile& file : HostileFiles()) {
        const std::string path = (fs::path(folder) / (std::string(file.name) + ".sf2")).string();
        if (!WriteSparseFile(path, file.pieces)) {
            std::fprintf(stderr, "can't write %s\n", path.c_str());
            return 1;
        }
        const Timing timing = TimeReads(path, passes);
        std::printf("%-13s %6s %8zu %12.3f %12.3f   %s\n", file.name, timing.found ? "yes" : "no", timing.entries,
                    timing.median, timing.slowest, file.what);
        std::fflush(stdout);
        std::remove(path.c_str());
    }
    return 0;
}
