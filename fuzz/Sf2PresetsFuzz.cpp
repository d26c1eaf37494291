// Fuzzes the SoundFont preset reader through a file that holds each input.
#include "fuzz/FuzzInputFile.h"
#include "fuzz/Sf2PresetChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string broken = CheckPresetReader(WriteFuzzInput(data, size), data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "preset reader: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
