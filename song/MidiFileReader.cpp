#include "song/MidiFileReader.h"

#include "sf2/RiffFile.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole file, or an error; one byte more than the bound is asked for to tell a file at the
// bound from a larger one.
std::string ReadBounded(std::FILE* file, std::vector<std::uint8_t>& bytes)
{
    constexpr std::size_t kChunk = 1 << 16;
    for (;;) {
        const std::size_t used = bytes.size();
        bytes.resize(used + kChunk);
        const std::size_t got = std::fread(bytes.data() + used, 1, kChunk, file);
        bytes.resize(used + got);
        if (bytes.size() > kMaxMidiFileBytes)
            return "the MIDI file is larger than " + std::to_string(kMaxMidiFileBytes >> 20) + " MB";
        if (got < kChunk)
            return std::ferror(file) ? "the MIDI file could not be read" : "";
    }
}

} // namespace

SongLoad ReadMidiFile(const std::string& utf8Path)
{
    SongLoad load;
    std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(utf8Path));
    if (!file) {
        load.error = "cannot open the MIDI file " + utf8Path;
        return load;
    }
    std::vector<std::uint8_t> bytes;
    load.error = ReadBounded(file.get(), bytes);
    if (!load.error.empty())
        return load;
    return ParseMidiFile(bytes.data(), bytes.size());
}
