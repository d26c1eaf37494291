#include "base/Diagnostics.h"
#include "tests/support/MessageBoxWatcher.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Diagnostics, TraceLinesGoToTheSinkWithTheElapsedTime)
{
    std::vector<std::string> traced;
    {
        TraceCapture capture;
        DebugTrace("Couldn't get preset list for soundfont %s\n", "Z:\\a.sf2");
        Sleep(120);
        DebugTrace("%d presets", 7);
        traced = capture.Lines();
    }

    ASSERT_EQ(traced.size(), 2u);
    // The test program traces nothing before this, so the first line shows 0.
    EXPECT_EQ(traced[0], "(     0) Couldn't get preset list for soundfont Z:\\a.sf2\n");
    int elapsed = -1;
    char message[64] = {};
    ASSERT_EQ(sscanf(traced[1].c_str(), "(%6d) %63[^\n]", &elapsed, message), 2);
    EXPECT_GE(elapsed, 100);
    EXPECT_STREQ(message, "7 presets");
}

TEST(Diagnostics, ErrorBoxShowsTheFormattedTextAndReturnsTheButton)
{
    MessageBoxWatcher watcher;
    int result = ErrorBox(nullptr, MB_ICONSTOP | MB_OK, "Error", "Error loading SoundFont (%s)",
                          "Pathname Invalid");
    EXPECT_EQ(result, IDOK);
    ASSERT_TRUE(watcher.WaitForCount(1));
    SeenMessageBox box = watcher.Boxes().at(0);
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, "Error loading SoundFont (Pathname Invalid)");
}

TEST(Diagnostics, ErrorBoxCutsAnOverlongTextWithoutOverrunning)
{
    MessageBoxWatcher watcher;
    const std::string path(2000, 'q');
    ErrorBox(nullptr, MB_ICONSTOP | MB_OK, "Error", "Error loading SoundFont (%s)", path.c_str());
    ASSERT_TRUE(watcher.WaitForCount(1));
    std::string text = watcher.Boxes().at(0).text;
    EXPECT_EQ(text.size(), 255u);
    EXPECT_EQ(text.substr(0, 25), "Error loading SoundFont (");
}
