// Fuzzes the Standard MIDI File reader on the bytes of each input (reading the file from disk
// around it is a plain read of a bounded size).
#include "fuzz/SongChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string broken = CheckMidiFileParser(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "MIDI file reader: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
