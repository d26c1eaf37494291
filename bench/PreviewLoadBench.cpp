// Loading a preset of FluidR3_GM into the software card's preview bank, as the window does
// when a preset of a SoundFont on disk is selected while previewing: the time of the load call,
// and from the call to the preset being heard:
//
//     bench_preview_load [passes, default 7] [FONT]
//
// On Windows (under Wine) the load is the window's own call (CCardOperations through the
// engine into TWSYNTH.DLL, which also writes the card's state file), after the window's clear
// of the instrument before; "heard" is when the card's audio output hands the API the first
// sound of a note sent to its MIDI output right after the load returned (see
// bench_soft_latency). Natively the load is the card's own (CSoftCard, the same code the
// library runs, without the engine, the state file or an audio device); "heard" is when
// renders of the device's synthesizer, asked for right after the load, have the note's sound.
// Presets take turns, so that no preset is loaded twice in a row; the file is in the system's
// cache after the first pass, as it is for a preview that follows a listing of the file.
// Prints the median and the worst of the passes for each preset.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#if defined(_WIN32)
#include "bench/SoftCardSession.h"
#include <windows.h>
#else
#include "softcard/SoftCard.h"
#include "synth/Synthesizer.h"
#include <cmath>
#endif

namespace {

struct PresetCase {
    const char* name;
    int bank;
    int preset;
};

const PresetCase kPresets[] = {
    {"000-000 piano", 0, 0},
    {"000-048 strings", 0, 48},
    {"000-019 church organ", 0, 19},
    {"128-000 drum kit", 128, 0},
};

constexpr int kPreviewBank = 127;
constexpr int kPreviewPreset = 127;
constexpr int kKey = 60;

struct Timing {
    bool ok = false;
    double loadMs = 0;
    double heardMs = -1; // < 0: never heard
    double memoryMb = 0; // the preset's sound memory
};

double MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

#if defined(_WIN32)

const char* const kDefaultFont = kFluidFont;

class CPreviewCard {
public:
    CPreviewCard() : m_session("") {}
    const std::string& Problem() const { return m_session.Problem(); }
    std::string Where() const { return "TWSYNTH.DLL through the window's card commands; " + m_session.DescribeAudio(); }

    Timing Load(const PresetCase& preset, const std::string& font)
    {
        const PreviewBank bank {m_session.Device(), kPreviewBank, kPreviewPreset};
        m_session.Card().ClearPreviewInstrument(bank);
        const std::uint32_t freeBefore = m_session.Card().Meter(bank.device).freeBytes;
        Timing timing;
        const auto start = std::chrono::steady_clock::now();
        const std::int64_t startNs = SteadyNs();
        CardResult loaded = m_session.Card().LoadPreviewPreset(bank, preset.bank, preset.preset, font);
        timing.loadMs = MsSince(start);
        if (!loaded.Ok()) {
            std::printf("  %s: not loaded: %s\n", preset.name, loaded.result.Text());
            return timing;
        }
        timing.ok = true;
        const std::int64_t heard = PlayNote();
        timing.heardMs = heard ? MsBetween(startNs, heard) : -1;
        timing.memoryMb = (freeBefore - m_session.Card().Meter(bank.device).freeBytes) / 1048576.0;
        return timing;
    }

private:
    // The preview's messages after a load, then a note: when its first sound was handed.
    std::int64_t PlayNote()
    {
        CMidiOutPort& out = m_session.Output();
        m_session.Control().WatchFirstSound();
        out.SendShortMessage(0xB0, 0, kPreviewBank);
        out.SendShortMessage(0xC0, kPreviewPreset, 0);
        out.SendShortMessage(0x90, kKey, 100);
        std::int64_t heard = 0;
        for (int waited = 0; waited < 1000 && (heard = m_session.Figures().firstSoundNs) == 0; ++waited)
            Sleep(1);
        out.SendShortMessage(0x80, kKey, 0);
        out.SendShortMessage(0xB0, 120, 0);
        for (int waited = 0; waited < 500 && m_session.Figures().voices > 0; ++waited)
            Sleep(2);
        return heard;
    }

    CSoftCardSession m_session;
};

#else

const char* const kDefaultFont = "/usr/share/sounds/sf2/FluidR3_GM.sf2";

class CPreviewCard {
public:
    CPreviewCard() : m_card(SynthConfig()) { m_card.Open(0); }
    const std::string& Problem() const { return m_problem; }
    std::string Where() const { return "the card's own code (CSoftCard), natively"; }

    Timing Load(const PresetCase& preset, const std::string& font)
    {
        const SfmLocation destination {kPreviewBank, kPreviewPreset};
        m_card.ClearPreset(0, destination);
        std::uint32_t total = 0, freeBefore = 0, freeAfter = 0;
        m_card.MemoryStatus(0, total, freeBefore);
        Timing timing;
        const auto start = std::chrono::steady_clock::now();
        const SfmLocation source {static_cast<std::uint16_t>(preset.bank), static_cast<std::uint16_t>(preset.preset)};
        SfmResult result = m_card.LoadPreset(0, source, destination, font);
        timing.loadMs = MsSince(start);
        if (result != kSfmSuccess) {
            std::printf("  %s: not loaded (result %d)\n", preset.name, static_cast<int>(result));
            return timing;
        }
        timing.ok = true;
        timing.heardMs = RenderNote() ? MsSince(start) : -1;
        m_card.MemoryStatus(0, total, freeAfter);
        timing.memoryMb = (freeBefore - freeAfter) / 1048576.0;
        return timing;
    }

private:
    bool RenderNote()
    {
        CSynthesizer& synth = m_card.Synthesizer(0);
        synth.PostShortMessage(0xB0 | kPreviewBank << 16);
        synth.PostShortMessage(0xC0 | kPreviewPreset << 8);
        synth.PostShortMessage(0x90 | kKey << 8 | 100 << 16);
        float block[2 * 64] = {};
        bool heard = false;
        // A sample may open with a few milliseconds of silence: up to 50 ms of blocks.
        for (int i = 0; i < 37 && !heard; ++i) {
            synth.Render(block, 64);
            heard = std::any_of(std::begin(block), std::end(block), [](float s) { return std::fabs(s) > 0.5f / 32768; });
        }
        synth.PostShortMessage(0xB0 | 120 << 8);
        for (int i = 0; i < 200 && synth.ActiveVoices() > 0; ++i)
            synth.Render(block, 64);
        return heard;
    }

    CSoftCard m_card;
    std::string m_problem;
};

#endif

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double Worst(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const int passes = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 7;
    const std::string font = argc > 2 ? argv[2] : kDefaultFont;
    CPreviewCard card;
    if (!card.Problem().empty()) {
        std::printf("the software card can't be used: %s\n", card.Problem().c_str());
        return 1;
    }
    std::printf("preview bank loads of %s, %d passes: %s\n", font.c_str(), passes, card.Where().c_str());
    const std::size_t count = sizeof kPresets / sizeof kPresets[0];
    std::vector<std::vector<double>> load(count), heard(count);
    std::vector<double> memory(count);
    int failures = 0;
    for (int pass = 0; pass < passes; ++pass) {
        for (std::size_t i = 0; i < count; ++i) {
            const Timing timing = card.Load(kPresets[i], font);
            if (!timing.ok || timing.heardMs < 0) {
                std::printf("  %s, pass %d: %s\n", kPresets[i].name, pass + 1, timing.ok ? "never heard" : "not loaded");
                ++failures;
                continue;
            }
            load[i].push_back(timing.loadMs);
            heard[i].push_back(timing.heardMs);
            memory[i] = timing.memoryMb;
        }
    }
    std::printf("  %-22s %9s %17s %19s\n", "preset", "memory", "load call, ms", "load to heard, ms");
    std::printf("  %-22s %9s %8s %8s %9s %9s\n", "", "MB", "median", "max", "median", "max");
    for (std::size_t i = 0; i < count; ++i) {
        std::printf("  %-22s %9.1f %8.1f %8.1f %9.1f %9.1f\n", kPresets[i].name, memory[i], Median(load[i]), Worst(load[i]),
            Median(heard[i]), Worst(heard[i]));
    }
    if (failures)
        std::printf("  %d loads failed or were never heard\n", failures);
    return failures ? 1 : 0;
}
