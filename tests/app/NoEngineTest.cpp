// The main window when the SoundFont Management System can't be started: this test program
// runs from a folder without SFMAN32.DLL.

#include "app/BrowserDlg.h"
#include "base/resource.h"
#include "settings/Profile.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ModalRunner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

TEST(MainWindowWithoutEngine, SaysWhyOpensEmptyAndKeepsTheUsersSettings)
{
    const std::string ini = CProfile::ProgramDirectory() + "tnw.ini";
    const std::string stored = "[Folders]\r\nLocalSoundFonts_0=C:\\Sounds\r\n";
    {
        std::ofstream file(ini, std::ios::binary);
        file << stored;
    }
    MessageBoxWatcher boxes;
    CBrowserDlg dialog(nullptr);
    {
        ModalRunner runner(dialog);
        ASSERT_TRUE(boxes.WaitForCount(1));
        EXPECT_EQ(boxes.Texts().at(0), "Couldn't initialize the SoundFont Management System (Load Dll "
                                       "Failed). Have you remembered to install it?");
        EXPECT_EQ(boxes.Boxes().at(0).caption, "Error");
        HWND window = runner.Window();
        ASSERT_NE(window, nullptr);
        // The box is told from inside the window's start: the rest of the start runs once it
        // is answered, before the window handles anything posted to it.
        for (int waited = 0; waited < 500 && FindOwnWindow("#32770", "Error"); ++waited)
            Sleep(10);
        ASSERT_TRUE(runner.AfterPostedMessages());
        HWND tree = GetDlgItem(window, IDC_SOUND_TREE);
        EXPECT_EQ(TreeView_GetCount(tree), 0u);
        EXPECT_EQ(TreeView_GetImageList(tree, TVSIL_NORMAL), nullptr);
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_OCTAVE_EDIT)), "");
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_PRESET_LIST)));
        // Settings never read are not written at logoff either.
        SendMessageA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        EXPECT_EQ(ReadFile(ini), stored);
    }
    EXPECT_EQ(ReadFile(ini), stored);
    DeleteFileA(ini.c_str());
}
