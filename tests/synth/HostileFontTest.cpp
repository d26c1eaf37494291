// Damaged and hostile SoundFonts: every one loads or fails with a reason naming its chunk,
// and whatever loads plays without reading outside its sample data (the sanitizers of the
// native build watch every read), without hanging and with finite, bounded output.

#include "fuzz/SynthFontChecks.h"
#include "synth/Generators.h"
#include "tests/sf2/FuzzFindings.h"
#include "tests/synth/SoundMeasure.h"
#include "tests/synth/SynthFontImage.h"
#include "tests/synth/SynthRig.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

struct HostileCase {
    const char* name;
    FontSpec font;
    const char* error; // a part of the reason it fails with, or null when it loads
    bool silent = false;
};

FontSpec WithSample(void (*change)(SampleSpec&))
{
    FontSpec font = SineFont();
    change(font.samples[0]);
    return font;
}

FontSpec Tampered(const char* chunk, std::function<void(Bytes&)> change)
{
    FontSpec font = SineFont();
    const std::string id = chunk;
    font.tamper = [id, change](std::map<std::string, Bytes>& hydra) { change(hydra[id]); };
    return font;
}

void Put16(Bytes& bytes, std::size_t at, std::uint16_t value)
{
    if (at + 2 <= bytes.size()) {
        bytes[at] = static_cast<std::uint8_t>(value);
        bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }
}

std::vector<HostileCase> Cases()
{
    std::vector<HostileCase> cases;
    cases.push_back({"sample end past the data", WithSample([](SampleSpec& s) {
                         s.rawPoints = true;
                         s.rawStart = 10;
                         s.rawEnd = 1000000000;
                         s.rawLoopStart = 100;
                         s.rawLoopEnd = 4000000000u;
                     }), nullptr});
    cases.push_back({"loop points outside the sample", WithSample([](SampleSpec& s) {
                         s.rawPoints = true;
                         s.rawStart = 0;
                         s.rawEnd = 4000;
                         s.rawLoopStart = 3000000000u;
                         s.rawLoopEnd = 5;
                     }), nullptr});
    cases.push_back({"start after end: silent", WithSample([](SampleSpec& s) {
                         s.rawPoints = true;
                         s.rawStart = 3000;
                         s.rawEnd = 10;
                     }), nullptr, true});
    cases.push_back({"zero-length sample: silent", WithSample([](SampleSpec& s) { s.words.clear(); }), nullptr, true});
    cases.push_back({"ROM sample: silent", WithSample([](SampleSpec& s) { s.type = 0x8001; }), nullptr, true});
    cases.push_back({"sample rate 0", WithSample([](SampleSpec& s) { s.sampleRate = 0; }), nullptr});
    cases.push_back({"offsets far past both ends",
                     SineFont({{kGenStartCoarseOffset, 32767}, {kGenEndCoarseOffset, -32768}, {kGenLoopStartOffset, -32768},
                               {kGenLoopEndCoarseOffset, 32767}}), nullptr});
    cases.push_back({"every generator at an extreme",
                     SineFont({{kGenCoarseTune, 32767}, {kGenAttenuation, -32768}, {kGenFilterQ, 32767},
                               {kGenFilterFc, -32768}, {kGenPan, 32767}, {kGenVolEnvAttack, 32767},
                               {kGenScaleTuning, -5}, {kGenVolEnvSustain, -1000}, {kGenModLfoFreq, 32767},
                               {kGenModLfoToVolume, 32767}, {kGenKeyToVolEnvDecay, 32767}, {kGenOverridingRootKey, 500},
                               {kGenKeynum, -300}, {kGenVelocity, 999}, {kGenExclusiveClass, -4}},
                              {{kGenCoarseTune, 32767}, {kGenFilterQ, 32767}, {kGenModEnvToPitch, -32768}}), nullptr});
    cases.push_back({"modulators with absurd amounts and destinations",
                     SineFont({}, {},
                              {Modulator{0x0081, kGenPitch, 32767, 0x0010, 0}, Modulator{0x0502, 1000, 500, 0, 0},
                               Modulator{0x0081, 0x8000 | 3, 500, 0, 0}, Modulator{0x007F, kGenPan, 500, 0, 0},
                               Modulator{0x0081, kGenFilterQ, 32767, 0x0081, 2}}), nullptr});
    cases.push_back({"bags pointing past the generator list", Tampered("pbag", [](Bytes& b) { Put16(b, 0, 60000); }), nullptr});
    cases.push_back({"instrument bags in decreasing order", Tampered("ibag", [](Bytes& b) { Put16(b, 4, 0); Put16(b, 0, 3); }),
                     nullptr});
    cases.push_back({"preset headers' bags in decreasing order",
                     Tampered("phdr", [](Bytes& b) { Put16(b, 24, 7); }), nullptr});
    cases.push_back({"instrument index past the end: silent",
                     Tampered("pgen", [](Bytes& b) { Put16(b, b.size() - 6, 500); }), nullptr, true});
    cases.push_back({"sample index past the end: silent",
                     Tampered("igen", [](Bytes& b) { Put16(b, b.size() - 6, 500); }), nullptr, true});
    // Its one whole record is taken for the closing one.
    cases.push_back({"preset headers cut short", Tampered("phdr", [](Bytes& b) { b.resize(b.size() - 5); }), "phdr"});
    cases.push_back({"generators cut short", Tampered("igen", [](Bytes& b) { b.resize(b.size() - 3); }), nullptr});
    cases.push_back({"no sample headers", Tampered("shdr", [](Bytes& b) { b.clear(); }), nullptr, true});
    cases.push_back({"no preset headers", Tampered("phdr", [](Bytes& b) { b.clear(); }), "phdr"});
    FontSpec noGenerators = SineFont();
    noGenerators.tamper = [](std::map<std::string, Bytes>& hydra) { hydra.erase("igen"); };
    cases.push_back({"no instrument generator chunk", noGenerators, "igen"});
    FontSpec twentyFour = SineFont();
    twentyFour.lowBytes = true;
    cases.push_back({"24-bit samples", twentyFour, nullptr});
    return cases;
}

} // namespace

TEST(SynthHostileFont, LoadsOrSaysWhyAndPlaysSafely)
{
    for (const HostileCase& c : Cases()) {
        CTempFile file(std::string(c.name) + ".sf2", BuildSoundFont(c.font));
        const SynthFontLoad load = LoadSynthFont(file.Path());
        if (c.error) {
            EXPECT_FALSE(load.font) << c.name;
            EXPECT_NE(load.error.find(c.error), std::string::npos) << c.name << ": " << load.error;
            continue;
        }
        if (!load.font) {
            ADD_FAILURE() << c.name << ": " << load.error;
            continue;
        }
        EXPECT_EQ(CheckSynthFont(file.Path()), "") << c.name;
        const std::vector<float> out = Play(load.font, {{0.0, NoteOn(0, 69)}}, 0.3);
        if (c.silent) {
            EXPECT_LT(RmsDb(Channel(out, -1)), -100.0) << c.name;
        }
    }
}

TEST(SynthHostileFont, FilesThatAreNoSoundFont)
{
    struct NotFontCase {
        const char* name;
        Bytes bytes;
        const char* error;
    };
    const std::vector<NotFontCase> cases = {
        {"empty file", {}, "shorter than a RIFF header"},
        {"text", Text("not a SoundFont at all, just text"), "not a SoundFont"},
        {"no preset data", Riff({List("sdta", {Chunk("smpl", Bytes(100, 0))})}), "pdta"},
    };
    for (const NotFontCase& c : cases) {
        CTempFile file(std::string(c.name) + ".sf2", c.bytes);
        const SynthFontLoad load = LoadSynthFont(file.Path());
        EXPECT_FALSE(load.font) << c.name;
        EXPECT_NE(load.error.find(c.error), std::string::npos) << c.name << ": " << load.error;
    }
    EXPECT_NE(LoadSynthFont("no such file.sf2").error.find("can't be opened"), std::string::npos);
}

// Each file in fuzz/regressions/synth broke a promise the fuzz target checks.
TEST(SynthHostileFont, EveryFuzzFindingPlaysSafely)
{
    ForEachFuzzFinding(TONEWELL_SYNTH_FUZZ_REGRESSIONS_DIR, [](const std::filesystem::path& path) {
        EXPECT_EQ(CheckSynthFont(path.string()), "");
    });
}
