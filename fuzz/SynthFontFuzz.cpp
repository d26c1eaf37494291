// Fuzzes the synthesizer's SoundFont and wave loaders, and plays every preset of what loads.
#include "fuzz/FuzzInputFile.h"
#include "fuzz/SynthFontChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string broken = CheckSynthFont(WriteFuzzInput(data, size));
    if (!broken.empty()) {
        std::fprintf(stderr, "synthesizer: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
