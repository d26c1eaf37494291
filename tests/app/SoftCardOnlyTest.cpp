// The main window on a PC without a SoundFont card: this test program runs from a folder with
// the software card's TWSYNTH.DLL and no SFMAN32.DLL. The card's failure is told once, and the
// software devices work all the same.

#include "app/BrowserDlg.h"
#include "base/resource.h"
#include "engine/SoundFontManager.h"
#include "settings/Profile.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/ModalRunner.h"
#include "tests/support/TreeItemText.h"

#include <gtest/gtest.h>

TEST(MainWindowWithoutCard, SaysOnceWhyTheCardIsMissingAndListsTheSoftwareDevices)
{
    const std::string ini = CProfile::ProgramDirectory() + "tnw.ini";
    DeleteFileA(ini.c_str());
    MessageBoxWatcher boxes;
    CBrowserDlg dialog(nullptr);
    {
        ModalRunner runner(dialog);
        ASSERT_TRUE(boxes.WaitForCount(1));
        EXPECT_EQ(boxes.Texts().at(0), "Couldn't initialize the SoundFont Management System (Load Dll "
                                       "Failed). Have you remembered to install it?");
        HWND window = runner.Window();
        ASSERT_NE(window, nullptr);
        HWND tree = GetDlgItem(window, IDC_SOUND_TREE);
        HTREEITEM loaded = TreeView_GetRoot(tree);
        ASSERT_NE(loaded, nullptr);
        std::vector<std::string> devices;
        for (HTREEITEM item = TreeView_GetChild(tree, loaded); item; item = TreeView_GetNextSibling(tree, item))
            devices.push_back(TreeItemText(tree, item));
        EXPECT_EQ(devices, (std::vector<std::string>{"Software Synth 1", "Software Synth 2"}));
        EXPECT_EQ(WindowText(GetDlgItem(window, IDC_OCTAVE_EDIT)), "0");

        // The software card's library is the process's one: a second engine sees its devices.
        CSoundFontManager engine;
        engine.Initialize();
        CSfmDevice device = engine.Open(0);
        std::uint32_t total = 0, free = 0;
        EXPECT_TRUE(device.MemoryStatus(total, free).Ok());
        EXPECT_GT(total, 0u);
    }
    // Told once: no other box came while the window was open or closing.
    EXPECT_EQ(boxes.Texts().size(), 1u);
    DeleteFileA(ini.c_str());
}
