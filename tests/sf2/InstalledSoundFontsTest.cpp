// Reads every SoundFont that Debian packages installed on this machine (.sf2 and .sf3, which
// share the preset headers) and compares the presets with the "phdr" chunk as found without
// the reader: by searching the file for a preset data list that starts with it.
#include "sf2/PresetReader.h"

#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char* const kSoundFontFolders[] = {"/usr/share/sounds", "/usr/share/soundfonts"};

bool IsSoundFontName(const fs::path& path)
{
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return extension == ".sf2" || extension == ".sf3";
}

std::vector<fs::path> InstalledSoundFonts()
{
    std::vector<fs::path> files;
    for (const char* folder : kSoundFontFolders) {
        std::error_code error;
        fs::recursive_directory_iterator it(fs::u8path(HostPath(folder)), error), end;
        for (; !error && it != end; it.increment(error)) {
            if (IsSoundFontName(it->path()) && it->is_regular_file(error))
                files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct PresetHeadersChunk {
    std::uint64_t dataOffset = 0;
    Bytes data;
};

std::uint32_t ReadU32At(const std::string& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(bytes[offset + i]);
    return value;
}

// The last "pdta" list type followed at once by a "phdr" header, searched from the end of the
// file (where the preset data stand) in blocks.
bool FindPresetHeaders(const fs::path& path, PresetHeadersChunk& chunk)
{
    static const std::string kSignature = "pdtaphdr";
    constexpr std::uint64_t kBlock = 1 << 20;
    std::ifstream file(path, std::ios::binary);
    const std::uint64_t length = fs::file_size(path);
    std::string block;
    for (std::uint64_t end = length; end > 0;) {
        const std::uint64_t start = end > kBlock ? end - kBlock : 0;
        const std::uint64_t stop = std::min(length, end + kSignature.size() + 4);
        block.resize(static_cast<std::size_t>(stop - start));
        file.seekg(static_cast<std::streamoff>(start));
        if (!file.read(&block[0], static_cast<std::streamsize>(block.size())))
            return false;
        const std::size_t found = block.rfind(kSignature);
        if (found != std::string::npos && found + kSignature.size() + 4 <= block.size()) {
            const std::uint32_t size = ReadU32At(block, found + kSignature.size());
            chunk.dataOffset = start + found + kSignature.size() + 4;
            chunk.data.resize(size);
            file.seekg(static_cast<std::streamoff>(chunk.dataOffset));
            return static_cast<bool>(file.read(reinterpret_cast<char*>(chunk.data.data()), size));
        }
        end = start;
    }
    return false;
}

} // namespace

TEST(InstalledSoundFonts, ListEveryPresetTheirHeadersHold)
{
    const std::vector<fs::path> files = InstalledSoundFonts();
    if (files.empty())
        GTEST_SKIP() << "no .sf2 or .sf3 file under /usr/share/sounds or /usr/share/soundfonts (Debian packages "
                        "timgm6mb-soundfont, opl3-soundfont, fluid-soundfont-gm, musescore-general-soundfont-small, ...)";
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.string());
        PresetHeadersChunk chunk;
        ASSERT_TRUE(FindPresetHeaders(path, chunk)) << "no preset headers found by searching the file";
        const std::size_t recordCount = chunk.data.size() / PresetHeader::kRecordSize;
        ASSERT_GE(recordCount, 1u);

        std::vector<PresetHeader> entries;
        EXPECT_TRUE(ReadPresetHeaders(path.string(), entries));
        EXPECT_EQ(entries.size(), recordCount - 1) << "every record but the terminal one";
        for (std::size_t i = 0; i < std::min(entries.size(), recordCount); ++i) {
            const auto record = chunk.data.begin() + static_cast<std::ptrdiff_t>(i * PresetHeader::kRecordSize);
            EXPECT_TRUE(std::equal(entries[i].record.begin(), entries[i].record.end(), record)) << "record " << i;
        }
        std::printf("[ read     ] %s: %zu presets (phdr of %zu bytes at %llu)\n", path.string().c_str(), entries.size(),
                    chunk.data.size(), static_cast<unsigned long long>(chunk.dataOffset));
        std::fflush(stdout);
    }
}
