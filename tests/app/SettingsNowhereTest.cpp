// When the settings can be written neither beside the program nor in the user's application
// data folder, closing the window says so, once, instead of losing them silently.

#include "tests/app/MainWindowFixture.h"
#include "tests/support/WholeFile.h"

#include <shlobj.h>

namespace {

std::string UserTonewellFolder()
{
    char appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return std::string();
    return std::string(appData) + "\\Tonewell";
}

// Gives the places back whatever way the test ends.
struct PlacesBack {
    std::string userFolder;
    HANDLE lock = INVALID_HANDLE_VALUE;
    ~PlacesBack()
    {
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        DeleteFileA(userFolder.c_str());
    }
};

} // namespace

using SettingsNowhereTest = MainWindowTest;

TEST_F(SettingsNowhereTest, ClosingSaysOnceThatTheSettingsCouldNotBeSaved)
{
    const std::string userFolder = UserTonewellFolder();
    ASSERT_FALSE(userFolder.empty());
    if (GetFileAttributesA(userFolder.c_str()) != INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << userFolder << " exists already; this test needs it absent";
    // A plain file where the user's folder would be made, and the file beside the program
    // held open against writing (as a read-only file under Program Files would be).
    PlacesBack placesBack{userFolder};
    ASSERT_TRUE(WriteWholeFile(userFolder, "not a folder"));
    const std::string stored = "[General]\r\nLastOpenDir=C:\\Sounds\r\n";
    ASSERT_TRUE(WriteWholeFile(IniPath(), stored));
    placesBack.lock =
        CreateFileA(IniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(placesBack.lock, INVALID_HANDLE_VALUE);

    Open();
    EXPECT_TRUE(m_boxes.Texts().empty()) << "a message box at start";
    Close();

    ASSERT_TRUE(m_boxes.WaitForCount(1));
    Sleep(500);
    const std::vector<SeenMessageBox> boxes = m_boxes.Boxes();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes.at(0).caption, "Tonewell");
    EXPECT_EQ(boxes.at(0).text, "Your settings could not be saved: neither the program's folder nor your "
                                "application data folder can be written.");
    CloseHandle(placesBack.lock);
    placesBack.lock = INVALID_HANDLE_VALUE;
    EXPECT_EQ(ReadFile(IniPath()), stored) << "the settings beside the program were changed";
}
