// Fuzzes the SoundFont preset reader. The reader takes a path, so each input goes into one
// in-memory file per process, opened by the reader through /proc/self/fd: that keeps the real
// file code (64-bit seeks past the end, short reads, closing) in what is fuzzed, keeps the
// product code free of a second entry point, and leaves no file behind.
#include "sf2/PresetReader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

struct InputFile {
    int descriptor;
    std::string path;
};

const InputFile& Input()
{
    static const InputFile input = [] {
        const int descriptor = memfd_create("tonewell-fuzz-sf2", 0);
        if (descriptor < 0)
            std::abort();
        return InputFile{descriptor, "/proc/self/fd/" + std::to_string(descriptor)};
    }();
    return input;
}

void WriteInput(const std::uint8_t* data, std::size_t size)
{
    if (ftruncate(Input().descriptor, 0) != 0)
        std::abort();
    std::size_t written = 0;
    while (written < size) {
        const ssize_t count = pwrite(Input().descriptor, data + written, size - written, static_cast<off_t>(written));
        if (count <= 0)
            std::abort();
        written += static_cast<std::size_t>(count);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    WriteInput(data, size);
    std::vector<PresetHeader> entries(1);
    const bool found = ReadPresetHeaders(Input().path, entries);
    if (!found && !entries.empty())
        std::abort();
    // Every entry is a copy of 38 bytes of the input.
    if (entries.size() > size / PresetHeader::kRecordSize)
        std::abort();
    std::sort(entries.begin(), entries.end());
    if (!std::is_sorted(entries.begin(), entries.end()))
        std::abort();
    return 0;
}
