#include "cardmodel/CardRiffFile.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

constexpr std::uint32_t kRiff = CardFourCC("RIFF");
constexpr std::uint32_t kList = CardFourCC("LIST");
constexpr std::uint64_t kHeaderSize = 8;

int SeekAbsolute(std::FILE* file, std::uint64_t position)
{
#if defined(_WIN32)
    return _fseeki64(file, static_cast<long long>(position), SEEK_SET);
#else
    return fseeko(file, static_cast<off_t>(position), SEEK_SET);
#endif
}

bool FileSize(std::FILE* file, std::uint64_t& size)
{
#if defined(_WIN32)
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return false;
    long long end = _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0)
        return false;
    off_t end = ftello(file);
#endif
    if (end < 0)
        return false;
    size = static_cast<std::uint64_t>(end);
    return true;
}

} // namespace

std::uint16_t CardLe16(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

std::uint32_t CardLe32(const std::uint8_t* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

bool CCardRiffFile::Open(const std::string& path)
{
    m_file.reset(std::fopen(path.c_str(), "rb"));
    return m_file && FileSize(m_file.get(), m_size);
}

bool CCardRiffFile::ReadAt(std::uint64_t position, void* target, std::size_t count)
{
    if (!m_file || position > m_size || count > m_size - position)
        return false;
    if (SeekAbsolute(m_file.get(), position) != 0)
        return false;
    return std::fread(target, 1, count, m_file.get()) == count;
}

bool CCardRiffFile::ReadForm(std::uint32_t formType, CardChunk& body)
{
    std::uint8_t header[12];
    if (!ReadAt(0, header, sizeof header))
        return false;
    if (CardLe32(header) != kRiff || CardLe32(header + 8) != formType)
        return false;
    body.id = kRiff;
    body.listType = formType;
    body.start = sizeof header;
    // The declared size counts the form type; a file cut short keeps what is there.
    std::uint64_t declared = CardLe32(header + 4) >= 4 ? CardLe32(header + 4) - 4u : 0u;
    body.size = std::min<std::uint64_t>(declared, m_size - body.start);
    return true;
}

std::vector<CardChunk> CCardRiffFile::Chunks(const CardChunk& parent)
{
    std::vector<CardChunk> chunks;
    const std::uint64_t end = parent.start + parent.size;
    std::uint64_t position = parent.start;
    while (chunks.size() < kMaxChunks && end - position >= kHeaderSize) {
        std::uint8_t header[kHeaderSize];
        if (!ReadAt(position, header, sizeof header))
            break;
        CardChunk chunk;
        chunk.id = CardLe32(header);
        chunk.start = position + kHeaderSize;
        chunk.size = CardLe32(header + 4);
        if (chunk.size > end - chunk.start)
            break;
        if (chunk.id == kList) {
            std::uint8_t type[4];
            if (chunk.size < sizeof type || !ReadAt(chunk.start, type, sizeof type))
                break;
            chunk.listType = CardLe32(type);
            chunk.start += sizeof type;
            chunk.size -= sizeof type;
        }
        chunks.push_back(chunk);
        // Chunks are padded to an even length; absolute positions throughout.
        std::uint64_t next = position + kHeaderSize + CardLe32(header + 4);
        position = next + (next & 1);
        if (position > end)
            break;
    }
    return chunks;
}

bool CCardRiffFile::ReadChunk(const CardChunk& chunk, std::size_t limit,
                             std::vector<std::uint8_t>& bytes)
{
    if (chunk.size > limit)
        return false;
    bytes.resize(static_cast<std::size_t>(chunk.size));
    return bytes.empty() || ReadAt(chunk.start, bytes.data(), bytes.size());
}

CCardRecords::CCardRecords(const std::vector<std::uint8_t>& bytes, std::size_t recordSize)
    : m_bytes(bytes), m_recordSize(recordSize)
{
}

const std::uint8_t* CCardRecords::Field(std::size_t record, std::size_t offset,
                                       std::size_t width) const
{
    if (record >= Count() || offset > m_recordSize || width > m_recordSize - offset)
        throw std::out_of_range("record field outside its record");
    return m_bytes.data() + record * m_recordSize + offset;
}

std::uint16_t CCardRecords::U16(std::size_t record, std::size_t offset) const
{
    return CardLe16(Field(record, offset, 2));
}

std::uint32_t CCardRecords::U32(std::size_t record, std::size_t offset) const
{
    return CardLe32(Field(record, offset, 4));
}

std::string CCardRecords::Text(std::size_t record, std::size_t offset, std::size_t length) const
{
    const char* text = reinterpret_cast<const char*>(Field(record, offset, length));
    return std::string(text, strnlen(text, length));
}
