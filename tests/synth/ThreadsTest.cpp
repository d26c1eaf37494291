// The synthesizer across threads: players post messages, a loader swaps sound sets and
// collects the old ones, the render thread renders, all at once. A set freed while a voice
// still read it would be a use after free, which the native build's AddressSanitizer reports.

#include "synth/Generators.h"
#include "tests/synth/SynthFontImage.h"
#include "tests/synth/SynthRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

TEST(SynthThreads, PlayersLoaderAndRendererAtOnce)
{
    std::vector<std::shared_ptr<const CSynthFont>> fonts;
    for (int i = 0; i < 3; ++i) {
        fonts.push_back(LoadImage(BuildSoundFont(SineFont({{kGenVolEnvRelease, -2000}})), "threads" + std::to_string(i)));
        ASSERT_TRUE(fonts.back());
    }
    std::weak_ptr<const CSynthFont> lastFont = fonts.back();
    CSynthesizer synth(NoEffects());
    std::atomic<bool> stop{false};
    std::atomic<long> posted{0};
    std::atomic<long> swaps{0};

    std::vector<std::thread> players;
    for (int player = 0; player < 3; ++player) {
        players.emplace_back([&, player] {
            for (int i = 0; !stop; ++i) {
                const int key = 40 + (i * 7 + player * 13) % 50;
                if (synth.PostShortMessage(NoteOn(player, key, 100)) && synth.PostShortMessage(NoteOff(player, key)))
                    posted += 2;
                std::this_thread::yield();
            }
        });
    }
    std::thread loader([&] {
        for (int i = 0; !stop; ++i) {
            synth.SetFont(fonts[static_cast<std::size_t>(i) % fonts.size()]);
            synth.CollectGarbage();
            ++swaps;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::vector<float> out(2 * 256);
    bool finite = true;
    // Until every thread has had its share, or two seconds at most.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (int block = 0; (block < 2000 || posted < 20000 || swaps < 50) && std::chrono::steady_clock::now() < deadline;
         ++block) {
        synth.Render(out.data(), 256);
        for (float sample : out)
            finite = finite && std::isfinite(sample);
    }
    stop = true;
    for (std::thread& player : players)
        player.join();
    loader.join();
    EXPECT_TRUE(finite);
    EXPECT_GT(posted.load(), 1000);
    EXPECT_GT(swaps.load(), 10);

    // With the fonts let go and every voice ended, the synthesizer holds no set but its last.
    synth.SetSoundSet(nullptr);
    fonts.clear();
    synth.PostShortMessage(0xFF);
    synth.Render(out.data(), 256);
    std::vector<float> tail(2 * 4410);
    synth.Render(tail.data(), 4410);
    synth.CollectGarbage();
    EXPECT_TRUE(lastFont.expired());
}
