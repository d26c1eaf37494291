#pragma once
// A large SoundFont library for the tree benchmarks, generated under the temporary folder: a
// listed folder of nested folders holding SoundFont files of about a hundred presets each,
// and the simulated card's first device with every bank loaded from files of that library.
// The library and the card's state are removed again when the object goes.

#include "engine/SoundFontEngine.h"
#include "sim/SimControl.h"

#include <cstddef>
#include <string>
#include <vector>

struct BenchLibraryShape {
    // Folders below the listed folder: `groups` folders of `setsPerGroup` folders each, with
    // `filesPerSet` SoundFont files in each of those.
    std::size_t groups = 10;
    std::size_t setsPerGroup = 10;
    std::size_t filesPerSet = 10;
    std::size_t presetsPerFile = 100;
};

class CBenchLibrary {
public:
    // The first file of the library is loaded into bank 1, the next into bank 2, and so on.
    static constexpr int kLoadedBanks = 127;

    explicit CBenchLibrary(const BenchLibraryShape& shape);
    ~CBenchLibrary();
    CBenchLibrary(const CBenchLibrary&) = delete;
    CBenchLibrary& operator=(const CBenchLibrary&) = delete;

    // The folder to list (without a closing separator) and its files in the order written.
    const std::string& Root() const { return m_root; }
    const std::vector<std::string>& Files() const { return m_files; }
    std::size_t FolderCount() const { return m_folderCount; }

    // Fills every bank of device 0 of the simulated card loaded in this process. False, with
    // `error` saying why, when the card can't be had or a bank can't be loaded.
    bool LoadEveryBank(CSoundFontEngine& engine, std::string& error);

private:
    void Generate(const BenchLibraryShape& shape);

    std::string m_root;
    std::vector<std::string> m_files;
    std::size_t m_folderCount = 0;
    const SimControlTable* m_sim = nullptr;
};
