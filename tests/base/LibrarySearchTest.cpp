// Started through a document's association, the program's current folder is the document's:
// a library lying there must not be loaded. This test program runs with the simulated
// SFMAN32.DLL beside it and plants libraries in a folder it makes current.

#include "base/LibrarySearch.h"
#include "settings/Profile.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::string ModulePath(HMODULE module)
{
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
    return std::string(path, length);
}

bool SamePath(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

} // namespace

TEST(LibrarySearch, SkipsTheCurrentFolderButKeepsTheProgramsOwn)
{
    const std::string programFolder = CProfile::ProgramDirectory();
    const std::string beside = programFolder + "SFMAN32.DLL";
    const std::string documents = CreateUniqueFolder(programFolder, "documents-");
    ASSERT_FALSE(documents.empty());
    ASSERT_TRUE(CopyFileA(beside.c_str(), (documents + "\\planted.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(beside.c_str(), (documents + "\\SFMAN32.DLL").c_str(), FALSE));
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(documents.c_str()));

    // Without the change, the usual search finds the planted library: the test can fail.
    HMODULE before = LoadLibraryA("planted.dll");
    EXPECT_NE(before, nullptr);
    if (before)
        FreeLibrary(before);

    KeepCurrentFolderOutOfLibrarySearch();

    HMODULE planted = LoadLibraryA("planted.dll");
    EXPECT_EQ(planted, nullptr) << "loaded from " << ModulePath(planted);
    HMODULE engine = LoadLibraryA("SFMAN32.DLL");
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(SamePath(ModulePath(engine), beside)) << ModulePath(engine);
    // System libraries are still found by their bare names.
    EXPECT_NE(LoadLibraryA("winmm.dll"), nullptr);

    if (planted)
        FreeLibrary(planted);
    FreeLibrary(engine);
    SetCurrentDirectoryA(previous);
    RemoveTree(documents);
}
