// The walk that finds the preset index's files: which files it reports, that it stops when
// asked, and that it holds no folder open while a file is being read.
#include "browser/SoundFontFileWalk.h"
#include "tests/support/TestFolders.h"
#include "tests/support/WholeFile.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class SoundFontFileWalkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = CreateUniqueFolder("Z:\\tmp\\", "tw-walk-");
        ASSERT_FALSE(m_root.empty());
        for (const char* folder : {"\\Sub", "\\Sub\\Deeper", "\\Other"})
            ASSERT_TRUE(CreateDirectoryA((m_root + folder).c_str(), nullptr)) << folder;
        for (const char* file : {"\\a.sf2", "\\notes.txt", "\\Sub\\B.SF2", "\\Sub\\Deeper\\c.sf2", "\\Other\\d.sf2x"})
            ASSERT_TRUE(WriteWholeFile(m_root + file, "x")) << file;
    }
    void TearDown() override
    {
        if (!m_root.empty())
            RemoveTree(m_root);
    }

    std::string m_root;
};

} // namespace

TEST_F(SoundFontFileWalkTest, ReportsEverySoundFontBelowTheFolderAndStopsWhenAsked)
{
    std::vector<std::string> found;
    WalkSoundFontFiles(m_root + "\\", [&](const std::string& path) {
        found.push_back(path);
        return true;
    });
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{m_root + "\\Sub\\B.SF2", m_root + "\\Sub\\Deeper\\c.sf2",
                                               m_root + "\\a.sf2"}));

    std::size_t calls = 0;
    WalkSoundFontFiles(m_root, [&](const std::string&) { return ++calls < 2; });
    EXPECT_EQ(calls, 2u);
}

TEST_F(SoundFontFileWalkTest, AFolderCanBeRenamedWhileOneOfItsFilesIsReported)
{
    const std::string folder = m_root + "\\Sub\\Deeper";
    bool renamed = false;
    WalkSoundFontFiles(m_root + "\\Sub", [&](const std::string& path) {
        if (path == folder + "\\c.sf2" && MoveFileA(folder.c_str(), (folder + " moved").c_str())) {
            renamed = true;
            MoveFileA((folder + " moved").c_str(), folder.c_str());
        }
        return true;
    });
    EXPECT_TRUE(renamed) << "the walk kept the folder open";
}
