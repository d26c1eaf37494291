#pragma once
// A RIFF file open for reading: the file handle for the length of one read and the top-level
// header read at opening.

#include "sf2/FourCC.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// Opens a file for reading as raw bytes by its UTF-8 path; null when it can't be opened.
std::FILE* OpenForReading(const std::string& path);

class CRiffFile {
public:
    // The largest offset the 64-bit seek functions take.
    static constexpr std::uint64_t kMaxOffset = 0x7FFFFFFFFFFFFFFFull;

    CRiffFile() = default;
    ~CRiffFile();
    CRiffFile(const CRiffFile&) = delete;
    CRiffFile& operator=(const CRiffFile&) = delete;

    // Closes a file already held, opens the UTF-8 path for reading as raw bytes and reads the
    // 12-byte file header. The identifier and form type are kept, not checked; so is the
    // file's length in bytes at opening.
    bool Open(const std::string& path);
    // After an Open that failed: whether the file itself was opened, and only its 12-byte
    // header could not be read (the file is shorter).
    bool OpenedWithoutHeader() const { return m_openedWithoutHeader; }
    void Close();

    // Absolute positions only: MinGW runtimes have had faults in seeks relative to the
    // current position.
    bool Seek(std::uint64_t offset);
    // Kept by this object from its own seeks and reads, so that it costs no system call.
    std::uint64_t Position() const { return m_position; }
    // False when fewer than count bytes could be read.
    bool ReadExactly(std::uint8_t* buffer, std::size_t count);

    std::uint64_t Length() const { return m_length; }
    FourCC Identifier() const { return m_identifier; }
    std::uint32_t Size() const { return m_size; }
    FourCC FormType() const { return m_formType; }

private:
    bool ReadFileHeader();

    std::FILE* m_file = nullptr;
    bool m_openedWithoutHeader = false;
    std::uint64_t m_position = 0;
    std::uint64_t m_length = 0;
    FourCC m_identifier;
    std::uint32_t m_size = 0;
    FourCC m_formType;
};
