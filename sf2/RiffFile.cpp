#include "sf2/RiffFile.h"

#include "sf2/LittleEndian.h"
#include "sf2/Utf8.h"

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows paths are UTF-16");
#else
static_assert(sizeof(off_t) >= 8, "file positions must be 64-bit: SoundFonts over 2 GB exist");
#endif

namespace {

constexpr std::size_t kFileHeaderSize = 12;

int SeekAbsolute64(std::FILE* file, std::uint64_t offset)
{
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET);
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
}

bool FileLength(std::FILE* file, std::uint64_t& length)
{
#ifdef _WIN32
    struct _stati64 status;
    if (_fstati64(_fileno(file), &status) != 0 || status.st_size < 0)
        return false;
#else
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || status.st_size < 0)
        return false;
#endif
    length = static_cast<std::uint64_t>(status.st_size);
    return true;
}

} // namespace

std::FILE* OpenForReading(const std::string& path)
{
#ifdef _WIN32
    // The 8-bit fopen takes the ANSI code page, in which most names can't be written.
    std::u16string wide;
    if (!Utf8ToUtf16(path, wide))
        return std::fopen(path.c_str(), "rb"); // not UTF-8: a path in the ANSI code page
    return _wfopen(reinterpret_cast<const wchar_t*>(wide.c_str()), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

CRiffFile::~CRiffFile()
{
    Close();
}

bool CRiffFile::Open(const std::string& path)
{
    Close();
    m_openedWithoutHeader = false;
    m_file = OpenForReading(path);
    if (!m_file)
        return false;
    m_position = 0;
    // An explicit first seek tells the C library where the file stands, so that a later seek
    // within its buffer moves in the buffer instead of reading it again (glibc does that).
    if (!FileLength(m_file, m_length) || SeekAbsolute64(m_file, 0) != 0) {
        Close();
        return false;
    }
    if (ReadFileHeader())
        return true;
    m_openedWithoutHeader = true;
    Close();
    return false;
}

bool CRiffFile::ReadFileHeader()
{
    std::uint8_t bytes[kFileHeaderSize];
    if (!ReadExactly(bytes, sizeof bytes))
        return false;
    LittleEndianCursor cursor(bytes, sizeof bytes);
    return cursor.ReadFourCC(m_identifier) && cursor.ReadU32(m_size) && cursor.ReadFourCC(m_formType);
}

void CRiffFile::Close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

bool CRiffFile::Seek(std::uint64_t offset)
{
    if (!m_file || offset > kMaxOffset)
        return false;
    // Seeking to where the file already is would only make the C library drop its buffer
    // and read it again.
    if (offset == m_position)
        return true;
    if (SeekAbsolute64(m_file, offset) != 0)
        return false;
    m_position = offset;
    return true;
}

bool CRiffFile::ReadExactly(std::uint8_t* buffer, std::size_t count)
{
    if (!m_file)
        return false;
    const std::size_t delivered = std::fread(buffer, 1, count, m_file);
    m_position += delivered;
    return delivered == count;
}
