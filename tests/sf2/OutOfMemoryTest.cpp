// The reader runs on the window's thread: running out of memory while reading must come back
// as an unreadable file, never as an exception. This program's allocator fails on request.
#include "sf2/PresetReader.h"

#include "tests/sf2/Sf2Image.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

bool g_failAllocations = false;

} // namespace

void* operator new(std::size_t size)
{
    if (g_failAllocations)
        throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

TEST(PresetReaderOutOfMemory, ReportsAnUnreadableFileInsteadOfThrowing)
{
    const std::string fileName = "sf2-out-of-memory.sf2";
    WriteFile(fileName, SoundFontWith(Chunk("phdr", Concat({Record("Piano", 0, 0), TerminalRecord()}))));
    std::vector<PresetHeader> entries;
    bool found = true;
    g_failAllocations = true;
    try {
        found = ReadPresetHeaders(fileName, entries);
    } catch (...) {
        g_failAllocations = false;
        ADD_FAILURE() << "an exception left the reader";
    }
    g_failAllocations = false;
    EXPECT_FALSE(found);
    EXPECT_TRUE(entries.empty());

    EXPECT_TRUE(ReadPresetHeaders(fileName, entries)) << "the same file with memory to spare";
    EXPECT_EQ(entries.size(), 1u);
    EXPECT_EQ(std::remove(fileName.c_str()), 0);
}
