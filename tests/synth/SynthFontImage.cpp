#include "tests/synth/SynthFontImage.h"

#include "synth/Generators.h"

#include <cmath>

namespace {

constexpr std::uint32_t kGuardWords = 46;
constexpr double kTwoPi = 6.283185307179586;

Bytes Name20(const std::string& name)
{
    Bytes bytes = Text(name);
    bytes.resize(20, 0);
    return bytes;
}

Bytes Gen(std::uint16_t generator, std::uint16_t amount)
{
    return Concat({U16(generator), U16(amount)});
}

Bytes Mod(const Modulator& m)
{
    return Concat({U16(m.source), U16(m.destination), U16(static_cast<std::uint16_t>(m.amount)), U16(m.amountSource),
                   U16(m.transform)});
}

// Bags, generators and modulators of one level (preset or instrument), appended to.
struct Level {
    Bytes bags, gens, mods;
    std::uint16_t bagCount = 0, genCount = 0, modCount = 0;

    void AddZone(const ZoneSpec& zone, std::uint16_t linkGenerator)
    {
        bags = Concat({bags, U16(genCount), U16(modCount)});
        ++bagCount;
        for (const GenSpec& gen : zone.generators) {
            gens = Concat({gens, Gen(gen.generator, static_cast<std::uint16_t>(gen.amount))});
            ++genCount;
        }
        if (zone.link >= 0) {
            gens = Concat({gens, Gen(linkGenerator, static_cast<std::uint16_t>(zone.link))});
            ++genCount;
        }
        for (const Modulator& modulator : zone.modulators) {
            mods = Concat({mods, Mod(modulator)});
            ++modCount;
        }
    }
    void Terminate()
    {
        bags = Concat({bags, U16(genCount), U16(modCount)});
        gens = Concat({gens, Gen(0, 0)});
        mods = Concat({mods, Bytes(10, 0)});
    }
};

} // namespace

GenSpec Range(std::uint16_t generator, std::uint8_t low, std::uint8_t high)
{
    return {generator, static_cast<std::int16_t>(low | high << 8)};
}

Bytes BuildSoundFont(const FontSpec& spec)
{
    Bytes samples, shdr;
    for (const SampleSpec& sample : spec.samples) {
        const std::uint32_t start = static_cast<std::uint32_t>(samples.size() / 2);
        for (std::int16_t word : sample.words) {
            samples.push_back(static_cast<std::uint8_t>(word));
            samples.push_back(static_cast<std::uint8_t>(static_cast<std::uint16_t>(word) >> 8));
        }
        samples.resize(samples.size() + 2 * kGuardWords, 0);
        const std::uint32_t end = start + static_cast<std::uint32_t>(sample.words.size());
        const bool raw = sample.rawPoints;
        shdr = Concat({shdr, Name20(sample.name), U32(raw ? sample.rawStart : start), U32(raw ? sample.rawEnd : end),
                       U32(raw ? sample.rawLoopStart : start + sample.loopStart),
                       U32(raw ? sample.rawLoopEnd : start + sample.loopEnd), U32(sample.sampleRate),
                       Bytes{sample.originalKey, static_cast<std::uint8_t>(sample.pitchCorrection)}, U16(sample.link),
                       U16(sample.type)});
    }
    shdr = Concat({shdr, Name20("EOS"), Bytes(26, 0)});

    Level instrumentLevel;
    Bytes inst;
    for (const InstrumentSpec& instrument : spec.instruments) {
        inst = Concat({inst, Name20(instrument.name), U16(instrumentLevel.bagCount)});
        for (const ZoneSpec& zone : instrument.zones)
            instrumentLevel.AddZone(zone, kGenSampleId);
    }
    inst = Concat({inst, Name20("EOI"), U16(instrumentLevel.bagCount)});
    instrumentLevel.Terminate();

    Level presetLevel;
    Bytes phdr;
    for (const PresetSpec& preset : spec.presets) {
        phdr = Concat({phdr, Record(preset.name, preset.program, preset.bank, presetLevel.bagCount)});
        for (const ZoneSpec& zone : preset.zones)
            presetLevel.AddZone(zone, kGenInstrument);
    }
    phdr = Concat({phdr, Record("EOP", 255, 255, presetLevel.bagCount)});
    presetLevel.Terminate();

    std::map<std::string, Bytes> hydra{
        {"phdr", phdr}, {"pbag", presetLevel.bags}, {"pmod", presetLevel.mods}, {"pgen", presetLevel.gens},
        {"inst", inst}, {"ibag", instrumentLevel.bags}, {"imod", instrumentLevel.mods}, {"igen", instrumentLevel.gens},
        {"shdr", shdr}};
    if (spec.tamper)
        spec.tamper(hydra);
    Bytes sdta = Concat({Text("sdta"), Chunk("smpl", samples)});
    if (spec.lowBytes)
        sdta = Concat({sdta, Chunk("sm24", Bytes(samples.size() / 2, 0x80))});
    Bytes pdta = Text("pdta");
    for (const char* id : {"phdr", "pbag", "pmod", "pgen", "inst", "ibag", "imod", "igen", "shdr"}) {
        if (hydra.count(id))
            pdta = Concat({pdta, Chunk(id, hydra[id])});
    }
    return Riff({List("INFO", {Chunk("ifil", Concat({U16(2), U16(4)})), Chunk("INAM", Text("Synth Test"))}),
                 Chunk("LIST", sdta), Chunk("LIST", pdta)});
}

std::vector<std::int16_t> SineWords(int period, int cycles, double amplitude)
{
    std::vector<std::int16_t> words(static_cast<std::size_t>(period * cycles));
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = static_cast<std::int16_t>(std::lround(amplitude * std::sin(kTwoPi * static_cast<double>(i) / period)));
    return words;
}

std::vector<std::int16_t> DecayingWords(int period, int length, double amplitude)
{
    std::vector<std::int16_t> words(static_cast<std::size_t>(length));
    for (std::size_t i = 0; i < words.size(); ++i) {
        const double fade = std::exp(-5.0 * static_cast<double>(i) / length);
        words[i] = static_cast<std::int16_t>(std::lround(amplitude * fade * std::sin(kTwoPi * static_cast<double>(i) / period)));
    }
    return words;
}

FontSpec SineFont(std::vector<GenSpec> instrumentGenerators, std::vector<GenSpec> presetGenerators,
                  std::vector<Modulator> instrumentModulators)
{
    FontSpec font;
    SampleSpec sine;
    sine.name = "sine";
    sine.words = SineWords(100, 40);
    sine.loopStart = 1000;
    sine.loopEnd = 2000;
    sine.sampleRate = 44000;
    sine.originalKey = 69;
    font.samples.push_back(sine);
    instrumentGenerators.insert(instrumentGenerators.begin(), GenSpec{kGenSampleModes, 1});
    font.instruments.push_back({"sine", {ZoneSpec{instrumentGenerators, instrumentModulators, 0}}});
    font.presets.push_back({"sine", 0, 0, {ZoneSpec{presetGenerators, {}, 0}}});
    return font;
}
