// The software card's own settings: what is out of range is refused and named, what is set
// takes effect on the card at once (a smaller sound memory refuses further loads and unloads
// nothing, a lower polyphony holds the voices), and the settings come back with the card's
// state after a restart, each damaged line costing only its own setting.

#include "softcard/SoftCard.h"
#include "softcard/SoftSettingsApply.h"
#include "softcard/SoftStateText.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/softcard/SoftCardSound.h"

#include <gtest/gtest.h>

namespace {

SoftCardSettings Changed()
{
    SoftCardSettings settings;
    settings.audioApi = kSoftAudioWaveOut;
    settings.bufferMs = 80;
    settings.soundMemoryMb = 64;
    settings.polyphony = 32;
    settings.reverb = 0;
    settings.chorus = 0;
    return settings;
}

FixtureSoundFont OneSample(const std::string& name, std::uint32_t frames)
{
    FixtureSoundFont font;
    font.name = name;
    font.presets = {{name, 0, 0, frames}};
    font.audible = true;
    return font;
}

} // namespace

TEST(SoftCardSettingsCheck, RefusesEachValueOutOfItsRangeNamingIt)
{
    struct Case {
        const char* name;
        std::uint32_t SoftCardSettings::*value;
        std::uint32_t bad;
        SoftSettingField field;
        const char* message;
    };
    const Case cases[] = {
        {"an unknown audio output", &SoftCardSettings::audioApi, 4, SoftSettingField::AudioApi,
         "Please choose an audio output from the list."},
        {"a buffer too short", &SoftCardSettings::bufferMs, 9, SoftSettingField::BufferMs,
         "Please enter a buffer length from 10 to 500 ms."},
        {"a buffer too long", &SoftCardSettings::bufferMs, 501, SoftSettingField::BufferMs,
         "Please enter a buffer length from 10 to 500 ms."},
        {"no sound memory", &SoftCardSettings::soundMemoryMb, 0, SoftSettingField::SoundMemoryMb,
         "Please enter a sound memory from 1 to 4095 MB."},
        {"more memory than 32 bits count", &SoftCardSettings::soundMemoryMb, 4096,
         SoftSettingField::SoundMemoryMb, "Please enter a sound memory from 1 to 4095 MB."},
        {"no voice", &SoftCardSettings::polyphony, 0, SoftSettingField::Polyphony,
         "Please enter a polyphony from 1 to 256 voices."},
        {"more voices than a synthesizer has", &SoftCardSettings::polyphony, 257, SoftSettingField::Polyphony,
         "Please enter a polyphony from 1 to 256 voices."},
        {"reverb neither on nor off", &SoftCardSettings::reverb, 2, SoftSettingField::Reverb,
         "Reverb is either on or off."},
        {"chorus neither on nor off", &SoftCardSettings::chorus, 7, SoftSettingField::Chorus,
         "Chorus is either on or off."},
    };
    for (const Case& c : cases) {
        SoftCardSettings settings;
        settings.*c.value = c.bad;
        SoftSettingsCheck check = CheckSoftCardSettings(settings);
        EXPECT_EQ(check.field, c.field) << c.name;
        EXPECT_EQ(check.message, c.message) << c.name;
    }
    SoftCardSettings lowest{kSoftAudioAutomatic, 10, 1, 1, 0, 0};
    SoftCardSettings highest{kSoftAudioWaveOut, 500, 4095, 256, 1, 1};
    EXPECT_TRUE(CheckSoftCardSettings(lowest).Ok()) << CheckSoftCardSettings(lowest).message;
    EXPECT_TRUE(CheckSoftCardSettings(highest).Ok()) << CheckSoftCardSettings(highest).message;
    EXPECT_TRUE(CheckSoftCardSettings(SoftCardSettings()).Ok());
}

TEST(SoftCardSettingsEffect, ASmallerMemoryRefusesTheNextLoadWithTheCardsCodeAndKeepsWhatIsLoaded)
{
    const std::string folder = FreshFolder("softcard-settings");
    // 600,000 bytes of sample each: one fits in 1 MB, two don't.
    WriteSoundFont(folder + "A.sf2", OneSample("A", 300000));
    WriteSoundFont(folder + "B.sf2", OneSample("B", 300000));
    CSoftCard card(DrySynthConfig());
    ASSERT_EQ(card.Open(0), kSfmSuccess);
    ASSERT_EQ(card.LoadBank(0, 1, folder + "A.sf2"), kSfmSuccess);

    SoftCardSettings wanted;
    wanted.soundMemoryMb = 1;
    EXPECT_FALSE(ApplySoftSettings(card, CurrentSoftSettings(card, SoftCardSettings()), wanted))
        << "no reopening of the audio output for a memory change";
    EXPECT_EQ(CurrentSoftSettings(card, wanted).soundMemoryMb, 1u);
    std::uint16_t bank = 1;
    ASSERT_EQ(card.QueryBank(0, bank), kSfmSuccess);
    EXPECT_EQ(bank, 1) << "what was loaded stays";
    EXPECT_EQ(card.LoadBank(0, 2, folder + "B.sf2"), kSfmSoundMemoryInsufficient);
    ASSERT_EQ(card.ClearBank(0, 1), kSfmSuccess);
    EXPECT_EQ(card.LoadBank(0, 2, folder + "B.sf2"), kSfmSuccess) << "room again once cleared";
}

TEST(SoftCardSettingsEffect, APolyphonySetHoldsTheVoicesAtOnce)
{
    const std::string folder = FreshFolder("softcard-polyphony");
    WriteSoundFont(folder + "Held.sf2", OneSample("Held", 4000));
    CSoftCard card(DrySynthConfig());
    ASSERT_EQ(card.Open(0), kSfmSuccess);
    ASSERT_EQ(card.LoadBank(0, 1, folder + "Held.sf2"), kSfmSuccess);
    SoftCardSettings wanted;
    wanted.polyphony = 2;
    ApplySoftSettings(card, CurrentSoftSettings(card, SoftCardSettings()), wanted);

    CSynthesizer& synth = card.Synthesizer(0);
    SelectSound(synth, 0, 1, 0);
    for (int key = 60; key < 66; ++key)
        NoteOn(synth, 0, key);
    RenderLevelDb(synth, 0.02);
    EXPECT_EQ(synth.ActiveVoices(), 2);
}

TEST(SoftCardSettingsEffect, OnlyANewAudioOutputOrBufferReopensTheOutput)
{
    CSoftCard card(DrySynthConfig());
    const SoftCardSettings current = CurrentSoftSettings(card, SoftCardSettings());
    const struct {
        const char* name;
        std::uint32_t SoftCardSettings::*value;
        std::uint32_t changed;
        bool reopens;
    } cases[] = {
        {"audio output", &SoftCardSettings::audioApi, kSoftAudioDirectSound, true},
        {"buffer length", &SoftCardSettings::bufferMs, 100, true},
        {"polyphony", &SoftCardSettings::polyphony, 64, false},
        {"reverb", &SoftCardSettings::reverb, 0, false},
        {"chorus", &SoftCardSettings::chorus, 0, false},
    };
    for (const auto& c : cases) {
        SoftCardSettings wanted = current;
        wanted.*c.value = c.changed;
        EXPECT_EQ(ApplySoftSettings(card, current, wanted), c.reopens) << c.name;
    }
    SoftCardSettings waveOut = current;
    waveOut.audioApi = kSoftAudioWaveOut;
    waveOut.bufferMs = 120;
    AudioRequest request = SoftAudioRequest(waveOut);
    EXPECT_EQ(request.api, AudioApiChoice::WaveOut);
    EXPECT_EQ(request.bufferMs, 120u);
}

TEST(SoftCardStateText, KeepsTheSettingsAndTheBanksAcrossARestart)
{
    const std::string folder = FreshFolder("softcard-restart");
    WriteSoundFont(folder + "A.sf2", OneSample("A", 1000));
    std::string text;
    {
        CSoftCard card(DrySynthConfig());
        ASSERT_EQ(card.Open(1), kSfmSuccess);
        ASSERT_EQ(card.LoadBank(1, 3, folder + "A.sf2"), kSfmSuccess);
        ApplySoftSettings(card, CurrentSoftSettings(card, SoftCardSettings()), Changed());
        text = WriteSoftState(card.Contents(), Changed());
    }
    CSoftCard card(DrySynthConfig());
    CardContents contents;
    SoftCardSettings settings;
    ASSERT_TRUE(ReadSoftState(text, contents, settings)) << text;
    card.Restore(std::move(contents));
    card.WaitUntilRestored();
    EXPECT_EQ(CurrentSoftSettings(card, settings), Changed()) << text;
    std::string name;
    ASSERT_EQ(card.Open(1), kSfmSuccess);
    ASSERT_EQ(card.BankName(1, 3, name), kSfmSuccess);
    EXPECT_EQ(name, "A");
}

TEST(SoftCardStateText, ADamagedOrMissingSettingLineCostsOnlyItsOwnSetting)
{
    const std::string card = "sfman-card 1\ndevice 1048576 :Software%20Synth%201\n";
    const struct {
        const char* name;
        std::string lines;
        SoftCardSettings expected;
    } cases[] = {
        {"a state from before the settings", "", SoftCardSettings()},
        {"every setting", "setting audio directsound\nsetting buffer-ms 45\nsetting polyphony 12\n"
                          "setting reverb off\nsetting chorus off\n",
         {kSoftAudioDirectSound, 45, 512, 12, 0, 0}},
        {"a buffer out of range", "setting buffer-ms 4\nsetting polyphony 12\n", {0, 30, 512, 12, 1, 1}},
        {"an unknown output and a bad switch", "setting audio asio\nsetting reverb maybe\nsetting chorus off\n",
         {0, 30, 512, 256, 1, 0}},
        {"a number with letters", "setting polyphony 12x\nsetting buffer-ms 60\n", {0, 60, 512, 256, 1, 1}},
        {"an unknown setting", "setting colour blue\nsetting polyphony 99\n", {0, 30, 512, 99, 1, 1}},
    };
    for (const auto& c : cases) {
        CardContents contents;
        SoftCardSettings settings;
        EXPECT_TRUE(ReadSoftState(card + c.lines, contents, settings)) << c.name;
        ASSERT_EQ(contents.devices.size(), 1u) << c.name;
        EXPECT_EQ(contents.devices[0].totalMemory, 1u << 20) << c.name;
        EXPECT_EQ(settings, c.expected) << c.name;
    }
    CardContents contents;
    SoftCardSettings settings;
    EXPECT_FALSE(ReadSoftState("not a card\nsetting polyphony 5\n", contents, settings));
}
