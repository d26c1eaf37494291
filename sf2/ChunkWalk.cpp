#include "sf2/ChunkWalk.h"

#include <algorithm>

CChunkWalk::CChunkWalk(CRiffFile& file, std::uint64_t begin, std::uint64_t end)
    : m_file(file)
    , m_begin(begin)
    , m_end(std::min(end, file.Length()))
{
}

bool CChunkWalk::Next(CRiffChunk& chunk)
{
    const std::uint64_t unpadded = chunk.DataEnd();
    if (chunk.Size() % 2 == 0)
        return ReadAt(unpadded, chunk);
    // Data are word-aligned, so an odd size is followed by a pad byte; some writers leave it
    // out, and the next header then starts right after the data.
    CRiffChunk padded;
    if (ReadAt(unpadded + 1, padded)) {
        chunk = padded;
        return true;
    }
    return ReadAt(unpadded, chunk);
}

bool CChunkWalk::ReadAt(std::uint64_t position, CRiffChunk& chunk)
{
    m_cut = false;
    if (position >= m_end || m_end - position < CRiffChunk::kHeaderSize)
        return false;
    if (!m_file.Seek(position) || !chunk.ReadHeader(m_file))
        return false;
    if (chunk.IsPlausibleWithin(m_end))
        return true;
    m_cut = chunk.IsPlausibleWithin(CRiffFile::kMaxOffset);
    if (m_cut)
        m_cutChunk = chunk;
    return false;
}

bool CChunkWalk::StoppedAtCutChunk(CRiffChunk& chunk) const
{
    if (m_cut)
        chunk = m_cutChunk;
    return m_cut;
}
