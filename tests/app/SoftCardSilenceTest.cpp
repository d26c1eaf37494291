// The main window over a software card that can't be heard: this program runs in a process of
// its own with the card's audio turned off, as on a PC without an audio device. Previewing
// says so once a run, however often it starts, and everything else goes on working.

#include "tests/app/PreviewWindowFixture.h"

#include "app/SoftCardSilence.h"
#include "engine/LoadedSoftControl.h"
#include "tests/support/TreeItemText.h"

#include <algorithm>
#include <cstdio>

namespace {

class SoftCardSilenceTest : public PreviewWindowTest {
protected:
    void SetUp() override
    {
        // Read by the card when it opens its audio output, before this process first asks it
        // anything: the window's start loads it.
        SetEnvironmentVariableA("TONEWELL_SOFTCARD_NO_AUDIO", "1");
        PreviewWindowTest::SetUp();
        SetUpPreviewWindow("soft-silence-", {{"Grand", 0, 0, 100}});
    }

    std::vector<std::string> SilenceTexts() const
    {
        char expected[256];
        std::snprintf(expected, sizeof expected, kSoftCardSilentFormat,
                      "no audio output: TONEWELL_SOFTCARD_NO_AUDIO is set");
        std::vector<std::string> texts = m_boxes.Texts();
        texts.erase(std::remove_if(texts.begin(), texts.end(),
                                   [&](const std::string& text) { return text != expected; }),
                    texts.end());
        return texts;
    }
};

} // namespace

TEST_F(SoftCardSilenceTest, PreviewingSaysOnceARunThatTheSoftwareSynthCantBeHeard)
{
    Open();
    ASSERT_NE(LoadedSoftControl(), nullptr) << "the window loaded the software card";
    EXPECT_NE(SoftCardAudioFailure(), "");
    EXPECT_TRUE(m_boxes.Texts().empty()) << "nothing at start while nothing is previewed";
    for (int run = 0; run < 3; ++run) {
        ClickPreview();
        EXPECT_EQ(WindowText(GetDlgItem(Window(), IDC_PREVIEW)), "Stop &Preview") << run;
        ClickPreview();
    }
    // The watcher counts a box a moment after its modal loop ended.
    ASSERT_TRUE(m_boxes.WaitForCount(1));
    EXPECT_EQ(SilenceTexts().size(), 1u);
    EXPECT_EQ(m_boxes.Texts(), SilenceTexts()) << "no other message";

    // The software devices are listed and answer all the same.
    EXPECT_NE(Find({"Loaded SoundFonts", "Software Synth 1"}), nullptr);
    EXPECT_NE(Find({"Loaded SoundFonts", "Software Synth 2"}), nullptr);
    ClickPreview();
    ClickPreview();
    EXPECT_FALSE(m_boxes.WaitForCount(2, 500)) << "once a run: " << ::testing::PrintToString(m_boxes.Texts());
}
