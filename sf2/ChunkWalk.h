#pragma once
// A walk over the chunks of one level of a RIFF file (the form's or a list's), from its first
// chunk to the end of what holds them. Bounded three ways, so that any file is answered in a
// few reads: no chunk is read past that end (itself never past the file's end), every header
// must be plausible, and at most kMaxChunks chunks are visited.

#include "sf2/RiffChunk.h"
#include "sf2/RiffFile.h"

#include <cstdint>

class CChunkWalk {
public:
    // A SoundFont holds three lists in its form and nine chunks in its preset data; a level of
    // a thousand chunks is not one of a SoundFont.
    static constexpr int kMaxChunks = 1024;

    // The chunks from begin up to end; end is cut to the file's length.
    CChunkWalk(CRiffFile& file, std::uint64_t begin, std::uint64_t end);

    // Leaves chunk at the first chunk of the level for which isWanted holds. False when the
    // level ends, a header can't be read or is not plausible, or kMaxChunks were visited first.
    template <typename Wanted>
    bool Find(CRiffChunk& chunk, Wanted isWanted)
    {
        m_cut = false;
        bool read = ReadAt(m_begin, chunk);
        for (int visited = 1; read; ++visited) {
            if (isWanted(chunk))
                return true;
            if (visited == kMaxChunks)
                return false;
            read = Next(chunk);
        }
        return false;
    }

    // After a Find that failed: whether it stopped at a whole, well-formed header whose data
    // run past the end of the level, and that header. A file cut short ends so.
    bool StoppedAtCutChunk(CRiffChunk& chunk) const;

private:
    bool Next(CRiffChunk& chunk);
    bool ReadAt(std::uint64_t position, CRiffChunk& chunk);

    CRiffFile& m_file;
    std::uint64_t m_begin;
    std::uint64_t m_end;
    bool m_cut = false;
    CRiffChunk m_cutChunk;
};
