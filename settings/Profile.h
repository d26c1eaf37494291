#pragma once
// Typed settings in an INI file, read and written through the platform's private-profile
// functions. The store keeps nothing but the file's path: every call goes to the file.
//
// Reads return whether the key was present and write their out parameter only then.
// Integers are stored as "%d" text, booleans as "True"/"False"; an array is stored as one key
// per element, "<base>_0", "<base>_1", ..., ending at the first missing index.

#include <string>
#include <vector>

class CProfile {
public:
    // When `nextToProgram` is true the file lies in the program's own directory; otherwise
    // `fileName` is the path, taken relative to the current directory when it is relative.
    CProfile(const std::string& fileName, bool nextToProgram);

    // Drive and directory of the running program, ending in a backslash.
    static std::string ProgramDirectory();

    // Longest value that the platform reads back whole once written. Longer values are refused
    // by the writes, as are line breaks in a section, key or value (they would add lines to the
    // file); a longer value put in the file by other means reads back cut to this length.
    static constexpr std::size_t kMaxValueLength = 32766;

    bool ReadString(const std::string& section, const std::string& key, std::string& value) const;
    // False only when the text was refused (see kMaxValueLength); a platform failure to write
    // the file is not reported.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value) const;
    // Whether the platform reported success.
    bool DeleteKey(const std::string& section, const std::string& key) const;

    // Text in UTF-8 (the string functions above take the ANSI code page): read and written
    // through the platform's wide-character functions. A file written in the code page (as
    // every earlier version wrote it) reads as it is; a value that can't be written there
    // makes the file a UTF-16 one first (see MakeUnicodeProfileFile). The same limits apply.
    bool ReadText(const std::string& section, const std::string& key, std::string& value) const;
    bool WriteText(const std::string& section, const std::string& key, const std::string& value) const;
    bool ReadTextArray(const std::string& section, const std::string& baseKey,
                       std::vector<std::string>& values) const;
    bool WriteTextArray(const std::string& section, const std::string& baseKey,
                        const std::vector<std::string>& values) const;

    // The leading decimal number of the text (0 when there is none), saturated to 32 bits.
    bool ReadInt(const std::string& section, const std::string& key, int& value) const;
    bool WriteInt(const std::string& section, const std::string& key, int value) const;

    // False only for the exact text "False"; any other text reads as true.
    bool ReadBool(const std::string& section, const std::string& key, bool& value) const;
    bool WriteBool(const std::string& section, const std::string& key, bool value) const;

    // An array without a "_0" key is absent: false, and the list keeps its old contents.
    bool ReadStringArray(const std::string& section, const std::string& baseKey,
                         std::vector<std::string>& values) const;
    bool ReadIntArray(const std::string& section, const std::string& baseKey, std::vector<int>& values) const;
    bool ReadBoolArray(const std::string& section, const std::string& baseKey, std::vector<bool>& values) const;

    // Removes the old elements (the run from "_0" up to the first gap), then writes the new
    // ones in order; true when every element was written.
    bool WriteStringArray(const std::string& section, const std::string& baseKey,
                          const std::vector<std::string>& values) const;
    bool WriteIntArray(const std::string& section, const std::string& baseKey, const std::vector<int>& values) const;
    bool WriteBoolArray(const std::string& section, const std::string& baseKey,
                        const std::vector<bool>& values) const;

private:
    template <typename T>
    using Reader = bool (CProfile::*)(const std::string&, const std::string&, T&) const;
    template <typename T>
    using Writer = bool (CProfile::*)(const std::string&, const std::string&, T) const;

    template <typename List, typename T>
    bool ReadArray(const std::string& section, const std::string& baseKey, List& values, Reader<T> read) const;
    template <typename List, typename T>
    bool WriteArray(const std::string& section, const std::string& baseKey, const List& values,
                    Writer<T> write) const;
    void RemoveArray(const std::string& section, const std::string& baseKey) const;
    bool KeyExists(const std::string& section, const std::string& key) const;

    std::string m_path;
};
