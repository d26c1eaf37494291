#include "fuzz/FuzzInputFile.h"

#include <cstdlib>
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
        const int descriptor = memfd_create("tonewell-fuzz-input", 0);
        if (descriptor < 0)
            std::abort();
        return InputFile{descriptor, "/proc/self/fd/" + std::to_string(descriptor)};
    }();
    return input;
}

} // namespace

const std::string& WriteFuzzInput(const std::uint8_t* data, std::size_t size)
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
    return Input().path;
}
