// Lists the presets of a generated corpus of SoundFont files in nested folders and prints the
// time per file of the preset reader beside a minimal baseline in the same run: open, read the
// file header, read the preset headers at the offset known from generation, close.
//
//     bench_sf2_presets [corpus folder] [files] [passes]
//
// Each pass lists the whole corpus with both, after one warm-up pass (so the cache is warm);
// the figures are the medians of the passes.
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

struct CorpusFile {
    std::string path;
    std::uint64_t presetHeadersOffset;
    std::uint32_t presetHeadersSize;
    std::size_t presetCount;
};

// A SoundFont of presetCount presets and sampleBytes of sample data, laid out as sound banks
// are: the INFO list, the sample data, then the preset data starting with "phdr".
Bytes BenchSoundFont(std::size_t index, std::size_t presetCount, std::size_t sampleBytes,
                     std::uint64_t& presetHeadersOffset, std::uint32_t& presetHeadersSize)
{
    const Bytes info = List("INFO", {Chunk("ifil", Concat({U16(2), U16(1)})), Chunk("isng", Text("EMU8000")),
                                     Chunk("INAM", Text("Bench bank " + std::to_string(index)))});
    const Bytes samples = List("sdta", {Chunk("smpl", Bytes(sampleBytes, 0x33))});
    Bytes records;
    for (std::size_t i = 0; i < presetCount; ++i) {
        const Bytes record = Record("Preset " + std::to_string(i), static_cast<std::uint16_t>(i % 128),
                                    static_cast<std::uint16_t>(i / 128 * 128), static_cast<std::uint16_t>(i));
        records.insert(records.end(), record.begin(), record.end());
    }
    const Bytes terminal = TerminalRecord();
    records.insert(records.end(), terminal.begin(), terminal.end());
    presetHeadersOffset = 12 + info.size() + samples.size() + 12;
    presetHeadersSize = static_cast<std::uint32_t>(records.size());
    return Riff({info, samples,
                 List("pdta", {Chunk("phdr", records), Chunk("pbag", Bytes(4 * (presetCount + 1), 0)),
                               Chunk("pmod", Bytes(10, 0)), Chunk("pgen", Bytes(4, 0)), Chunk("inst", Bytes(44, 0)),
                               Chunk("ibag", Bytes(8, 0)), Chunk("imod", Bytes(10, 0)), Chunk("igen", Bytes(4, 0)),
                               Chunk("shdr", Bytes(92, 0))})});
}

// Ten folders of ten folders of files; sizes and preset counts vary from file to file.
std::vector<CorpusFile> GenerateCorpus(const std::string& root, std::size_t fileCount)
{
    namespace fs = std::filesystem;
    std::vector<CorpusFile> files;
    for (std::size_t i = 0; i < fileCount; ++i) {
        const fs::path folder = fs::path(root) / ("group" + std::to_string(i / 100 % 10)) /
                                ("set" + std::to_string(i / 10 % 10));
        fs::create_directories(folder);
        CorpusFile file{(folder / ("bank" + std::to_string(i) + ".sf2")).string(), 0, 0, 1 + i % 64};
        const std::size_t sampleBytes = 4096 + (i * 7919) % 65536;
        WriteFile(file.path, BenchSoundFont(i, file.presetCount, sampleBytes, file.presetHeadersOffset,
                                            file.presetHeadersSize));
        files.push_back(file);
    }
    return files;
}

int SeekAbsolute64(std::FILE* file, std::uint64_t offset)
{
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET);
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
}

bool ReadBaseline(const CorpusFile& file, std::vector<std::uint8_t>& buffer)
{
    std::FILE* stream = std::fopen(file.path.c_str(), "rb");
    if (!stream)
        return false;
    std::uint8_t header[12];
    buffer.resize(file.presetHeadersSize);
    const bool read = std::fread(header, 1, sizeof header, stream) == sizeof header &&
                      SeekAbsolute64(stream, file.presetHeadersOffset + 8) == 0 &&
                      std::fread(buffer.data(), 1, buffer.size(), stream) == buffer.size();
    std::fclose(stream);
    return read;
}

using Clock = std::chrono::steady_clock;

void ListWithReader(const CorpusFile& file, std::vector<PresetHeader>& entries)
{
    if (!ReadPresetHeaders(file.path, entries) || entries.size() != file.presetCount) {
        std::fprintf(stderr, "reader: wrong result for %s\n", file.path.c_str());
        std::exit(1);
    }
}

void ListWithBaseline(const CorpusFile& file, std::vector<std::uint8_t>& buffer)
{
    if (!ReadBaseline(file, buffer)) {
        std::fprintf(stderr, "baseline: can't read %s\n", file.path.c_str());
        std::exit(1);
    }
}

struct PassTimes {
    double reader;
    double baseline;
};

// One pass over the corpus in blocks of a few files, each block listed by the reader and by
// the baseline in turn, so that a burst of load on the machine falls on both alike. Whichever
// goes second finds the file system's structures warmer, so the two take turns going first.
PassTimes TimePass(const std::vector<CorpusFile>& files)
{
    constexpr std::size_t kBlock = 20;
    std::vector<PresetHeader> entries;
    std::vector<std::uint8_t> buffer;
    Clock::duration readerTime{}, baselineTime{};
    for (std::size_t begin = 0; begin < files.size(); begin += kBlock) {
        const std::size_t end = std::min(files.size(), begin + kBlock);
        const bool readerFirst = begin / kBlock % 2 == 0;
        for (int turn = 0; turn < 2; ++turn) {
            const bool reader = (turn == 0) == readerFirst;
            const Clock::time_point start = Clock::now();
            for (std::size_t i = begin; i < end; ++i) {
                if (reader)
                    ListWithReader(files[i], entries);
                else
                    ListWithBaseline(files[i], buffer);
            }
            (reader ? readerTime : baselineTime) += Clock::now() - start;
        }
    }
    const auto perFile = [&](Clock::duration elapsed) {
        return std::chrono::duration<double, std::micro>(elapsed).count() / static_cast<double>(files.size());
    };
    return {perFile(readerTime), perFile(baselineTime)};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintRow(const char* name, const std::vector<double>& passes)
{
    std::printf("%-10s %10.2f    ", name, Median(passes));
    for (double pass : passes)
        std::printf(" %.2f", pass);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    const std::string root = argc > 1 ? argv[1] : "sf2-bench-corpus";
    const std::size_t fileCount = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1000;
    const int passCount = argc > 3 ? std::atoi(argv[3]) : 7;
    if (fileCount == 0 || passCount <= 0) {
        std::fprintf(stderr, "usage: %s [corpus folder] [files > 0] [passes > 0]\n", argv[0]);
        return 2;
    }

    const std::vector<CorpusFile> files = GenerateCorpus(root, fileCount);
    TimePass(files);
    std::vector<double> reader, baseline;
    for (int pass = 0; pass < passCount; ++pass) {
        const PassTimes times = TimePass(files);
        reader.push_back(times.reader);
        baseline.push_back(times.baseline);
    }

    std::printf("Preset listing of %zu SoundFont files under %s, warm cache, %d passes\n", files.size(), root.c_str(),
                passCount);
    std::printf("%-10s %10s     %s\n", "", "median", "microseconds per file, each pass");
    PrintRow("reader", reader);
    PrintRow("baseline", baseline);
    std::printf("ratio      %10.2f     (reader / baseline; goal at most 1.50)\n", Median(reader) / Median(baseline));
    return 0;
}
