// Fuzzes the simulated card's file readers (SoundFont banks, single presets, waves and the RIFF
// walk beneath them) through a file that holds each input.
#include "fuzz/FuzzInputFile.h"
#include "fuzz/SimReaderChecks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string broken = CheckSimReaders(WriteFuzzInput(data, size), size);
    if (!broken.empty()) {
        std::fprintf(stderr, "simulated card reader: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
