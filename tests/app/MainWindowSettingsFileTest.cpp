// Damaged and hand-edited settings files at start: on each the main window opens without a
// message and at exit writes back a file from which the next start reads exactly the same
// settings. What a start held is read back from the file it wrote, by the window's own
// settings owner, built here on the same devices.

#include "tests/app/MainWindowFixture.h"

#include "base/resource.h"
#include "engine/SoundFontManager.h"
#include "midi/MidiInPort.h"
#include "midi/MidiMessage.h"
#include "midi/MidiOutPort.h"
#include "settings/Profile.h"
#include "settings/SettingsFile.h"
#include "tests/engine/SoundFontFixture.h"
#include "tests/support/DialogWatcher.h"
#include "tests/support/MenuWatcher.h"
#include "tests/support/VirtualMidi.h"

#include <commctrl.h>

#include <climits>
#include <functional>
#include <random>

namespace {

const char kDevice1[] = "Simulated Synth 1";
const char kDevice2[] = "Simulated Synth 2";

// A long value is shown by its start, length and hash: equal descriptions, equal values.
std::string Shown(const std::string& value)
{
    if (value.size() <= 80)
        return "[" + value + "]";
    return "[" + value.substr(0, 40) + "...] (" + std::to_string(value.size()) + " characters, hash " +
           std::to_string(std::hash<std::string>()(value)) + ")";
}

// Every setting read, one line each.
std::vector<std::string> SettingsOf(const SettingsModel& settings)
{
    std::vector<std::string> lines = {
        "MidiInDevice " + std::to_string(settings.preview.midiInDevice),
        "PreviewEnableOnStartup " + std::to_string(settings.preview.previewOnStartup),
        "LastOpenDir " + Shown(settings.lastOpenDir),
        "LFSoundFontDevice " + std::to_string(settings.preview.fileSoundFontDevice),
        "LFMidiOutDevice " + std::to_string(settings.preview.fileMidiOutDevice),
        "LFMidiOutChannel " + std::to_string(settings.preview.fileMidiOutChannel),
        "LFMidiOutBank " + std::to_string(settings.preview.fileBank),
        "LFMidiOutInstrument " + std::to_string(settings.preview.fileInstrument),
    };
    for (const auto& [name, entry] : settings.preview.deviceMap)
        lines.push_back("DevMap " + Shown(name) + " -> " + Shown(entry.outDevName) + " channel " +
                        std::to_string(entry.channel) + (entry.enabled ? " enabled" : " disabled"));
    for (const CShellItem& folder : settings.folders)
        lines.push_back("Folder " + Shown(folder.GetPath()));
    return lines;
}

// The device-map entry for a name, read from a copy so the settings are left as they are.
DevMapEntry EntryOf(const SettingsModel& settings, const std::string& name)
{
    CDeviceMap map = settings.preview.deviceMap;
    return map.EntryFor(name);
}

std::vector<std::string> SavedList(const CProfile& saved, const char* section, const char* key)
{
    std::vector<std::string> values;
    saved.ReadStringArray(section, key, values);
    return values;
}

std::string SavedText(const CProfile& saved, const char* section, const char* key)
{
    std::string value = "(absent)";
    saved.ReadString(section, key, value);
    return value;
}

// Bytes of every value but zero, fixed by the seed: the same garbage on every run.
std::string Garbage(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(1 + random() % 255);
    return bytes;
}

struct FileCase {
    const char* name;
    std::string text;
    // What a start makes of the file, and what the window's exit wrote; either may be empty.
    std::function<void(const SettingsModel&)> read;
    std::function<void(const CProfile&)> saved;
};

class SettingsFileTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_midi.SetInputDevices({"Keys"});
        m_midi.SetOutputDevices({"Synth A", kDevice1});
        m_folder = FreshFolder(std::string("settings-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        m_listed = m_folder.substr(0, m_folder.size() - 1);
        FixtureSoundFont soundFont;
        soundFont.name = "Small";
        soundFont.presets = {{"Grand", 0, 0, 16}};
        WriteSoundFont(m_folder + "small.sf2", soundFont);
        WriteBytes(m_folder + "tone.wav", WaveBytes(64));
    }

    // What tnw.ini holds as it is now, read by the window's settings owner, built on the
    // devices the window finds.
    SettingsModel ReadSettings()
    {
        CSoundFontManager card;
        EXPECT_TRUE(card.Initialize().Ok());
        CMidiInPort input;
        CMidiOutPort output;
        CSettingsFile file;
        file.Load({input, output, card}, [] {});
        return file.model;
    }

    // Starts on `text`, closes, starts again on what the first run wrote: the second start must
    // hold what the first one held. What a start held is read from the file it wrote.
    void RunCase(const FileCase& c)
    {
        SCOPED_TRACE(c.name);
        DeleteFileA(IniPath().c_str());
        WriteBytes(IniPath(), c.text);
        const std::size_t boxesBefore = m_boxes.Boxes().size();
        ASSERT_NE(Open(), nullptr);
        const std::string previewButton = WindowText(GetDlgItem(Window(), IDC_PREVIEW));
        Close();
        const SettingsModel first = ReadSettings();
        if (c.read)
            c.read(first);
        EXPECT_EQ(previewButton, first.preview.previewOnStartup ? "Stop &Preview" : "Start &Preview");
        if (c.saved)
            c.saved(CProfile(IniPath(), false));
        ASSERT_NE(Open(), nullptr);
        Close();
        EXPECT_EQ(SettingsOf(ReadSettings()), SettingsOf(first));
        EXPECT_EQ(m_boxes.Boxes().size(), boxesBefore) << ::testing::PrintToString(m_boxes.Texts());
    }

    VirtualMidi m_midi;
    std::string m_folder;
    std::string m_listed;
};

} // namespace

TEST_F(SettingsFileTest, DamagedFilesOpenAndKeepWhatIsReadable)
{
    const std::string kept = "[General]\r\nLastOpenDir=C:\\Kept\\\r\n[Folders]\r\nLocalSoundFonts_0=" + m_listed + "\r\n";
    auto keepsTheReadablePart = [&](const SettingsModel& settings) {
        EXPECT_EQ(settings.lastOpenDir, "C:\\Kept\\");
        ASSERT_EQ(settings.folders.size(), 1u);
        EXPECT_EQ(settings.folders[0].GetPath(), m_listed);
    };
    auto savesTheReadablePart = [&](const CProfile& saved) {
        EXPECT_EQ(SavedText(saved, "General", "LastOpenDir"), "C:\\Kept\\");
        EXPECT_EQ(SavedList(saved, "Folders", "LocalSoundFonts"), std::vector<std::string>{m_listed});
    };
    const FileCase cases[] = {
        {"an empty file", "",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.deviceMap.size(), 2u);
             EXPECT_EQ(settings.preview.fileBank, 127);
             EXPECT_TRUE(settings.folders.empty());
         },
         [](const CProfile& saved) {
             EXPECT_EQ(SavedList(saved, "Preview", "DevMapArray_SFDevName"),
                       (std::vector<std::string>{kDevice1, kDevice2}));
             EXPECT_EQ(SavedText(saved, "Preview", "LFMidiOutBank"), "127");
         }},
        {"binary garbage before the settings", Garbage(4096, 1) + "\r\n" + kept, keepsTheReadablePart,
         savesTheReadablePart},
        {"binary garbage after the settings", kept + Garbage(4096, 2), keepsTheReadablePart, savesTheReadablePart},
        {"a line of 100,000 characters", std::string(100000, 'x') + "\r\n" + kept, keepsTheReadablePart,
         savesTheReadablePart},
        {"lines ended by a bare CR or LF, the last one by nothing",
         "[Preview]\nLFMidiOutBank=33\r\n[General]\nLastOpenDir=C:\\Kept\\\n[Folders]\nLocalSoundFonts_0=" + m_listed,
         [&](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.fileBank, 33);
             keepsTheReadablePart(settings);
         },
         savesTheReadablePart},
        {"names and sections in other letter cases, blanks and quotes around values",
         "[PREVIEW]\r\n  lfmidioutbank =  \"41\"  \r\n[general]\r\nLASTOPENDIR='C:\\Kept\\'\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.fileBank, 41);
             EXPECT_EQ(settings.lastOpenDir, "C:\\Kept\\");
         },
         nullptr},
        {"a zero byte inside a line", "[Preview]\r\nLFMidiOutBank=5" + std::string(1, '\0') + "9\r\n" + kept,
         [&](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.fileBank, 5);
             keepsTheReadablePart(settings);
         },
         savesTheReadablePart},
        {"a UTF-8 byte-order mark", "\xEF\xBB\xBF" + kept, keepsTheReadablePart, savesTheReadablePart},
        {"a UTF-16 byte-order mark before 8-bit text", "\xFF\xFE" + kept, nullptr, nullptr},
        {"values that are empty or have no equals sign",
         "[Preview]\r\nLFMidiOutBank=\r\nLFMidiOutInstrument\r\n=9\r\nLFMidiOutChannel==3\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.fileBank, 0) << "an empty number reads as 0";
             EXPECT_EQ(settings.preview.fileMidiOutChannel, 0) << "=3 has no leading number";
         },
         nullptr},
    };
    for (const FileCase& c : cases)
        RunCase(c);
}

TEST_F(SettingsFileTest, LongValuesAndRepeatedNamesAreReadAsThePlatformReadsThem)
{
    const std::string longFolder = "C:\\" + std::string(32000, 'f');
    const FileCase cases[] = {
        {"the longest value the platform keeps", "[General]\r\nLastOpenDir=" + std::string(32766, 'd') + "\r\n",
         [](const SettingsModel& settings) { EXPECT_EQ(settings.lastOpenDir, std::string(32766, 'd')); },
         [](const CProfile& saved) { EXPECT_EQ(SavedText(saved, "General", "LastOpenDir"), std::string(32766, 'd')); }},
        {"values longer than the platform keeps",
         "[General]\r\nLastOpenDir=" + std::string(40000, 'd') + "\r\n[Preview]\r\nMidiInDevice=" +
             std::string(40000, 'k') + "\r\nLFMidiOutBank=7\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.lastOpenDir.substr(0, 100), std::string(100, 'd'));
             EXPECT_LE(settings.lastOpenDir.size(), CProfile::kMaxValueLength);
             EXPECT_EQ(settings.preview.midiInDevice, 0);
             EXPECT_EQ(settings.preview.fileBank, 7);
         },
         nullptr},
        {"a device map entry with names of 5,000 characters",
         "[Preview]\r\nDevMapArray_SFDevName_0=" + std::string(5000, 'n') + "\r\nDevMapArray_DevName_0=" +
             std::string(5000, 'o') + "\r\nDevMapArray_Channel_0=4\r\nDevMapArray_Enable_0=False\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.deviceMap.size(), 3u) << "the two devices present join it";
         },
         [](const CProfile& saved) {
             std::vector<std::string> names = SavedList(saved, "Preview", "DevMapArray_SFDevName");
             EXPECT_EQ(names, (std::vector<std::string>{kDevice1, kDevice2, std::string(5000, 'n')}));
             EXPECT_EQ(SavedList(saved, "Preview", "DevMapArray_DevName").at(2), std::string(5000, 'o'));
         }},
        {"a folder path of 32,000 characters", "[Folders]\r\nLocalSoundFonts_0=" + longFolder + "\r\n",
         [](const SettingsModel& settings) { EXPECT_EQ(settings.folders.size(), 1u); },
         [&](const CProfile& saved) {
             EXPECT_EQ(SavedList(saved, "Folders", "LocalSoundFonts"), std::vector<std::string>{longFolder});
         }},
        {"a key given twice in one section",
         "[Preview]\r\nLFMidiOutBank=10\r\nLFMidiOutBank=11\r\n",
         [](const SettingsModel& settings) { EXPECT_EQ(settings.preview.fileBank, 10) << "the first one wins"; },
         [](const CProfile& saved) { EXPECT_EQ(SavedText(saved, "Preview", "LFMidiOutBank"), "10"); }},
        {"a section given twice",
         "[Preview]\r\nLFMidiOutBank=10\r\n[General]\r\nLastOpenDir=C:\\One\\\r\n[Preview]\r\n"
         "LFMidiOutBank=20\r\nLFMidiOutInstrument=30\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.fileBank, 10);
             EXPECT_EQ(settings.preview.fileInstrument, 127) << "only the first of the two is read";
             EXPECT_EQ(settings.lastOpenDir, "C:\\One\\");
         },
         nullptr},
        {"a device name given twice in the device map",
         "[Preview]\r\nDevMapArray_SFDevName_0=Simulated Synth 1\r\nDevMapArray_SFDevName_1=Simulated Synth 1\r\n"
         "DevMapArray_Channel_0=3\r\nDevMapArray_Channel_1=4\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.deviceMap.size(), 2u);
             EXPECT_EQ(EntryOf(settings, kDevice1).channel, 4) << "the last one wins";
         },
         [](const CProfile& saved) {
             EXPECT_EQ(SavedList(saved, "Preview", "DevMapArray_SFDevName"), (std::vector<std::string>{kDevice1, kDevice2}));
         }},
        {"device map arrays of four lengths, one with a gap",
         "[Preview]\r\nDevMapArray_SFDevName_0=A\r\nDevMapArray_SFDevName_1=B\r\nDevMapArray_SFDevName_2=C\r\n"
         "DevMapArray_SFDevName_4=E\r\nDevMapArray_DevName_0=Out A\r\nDevMapArray_Channel_0=1\r\n"
         "DevMapArray_Channel_1=2\r\nDevMapArray_Enable_1=False\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.deviceMap.size(), 5u) << "A, B, C and the two devices present";
             EXPECT_EQ(EntryOf(settings, "A").outDevName, "Out A");
             EXPECT_EQ(EntryOf(settings, "B").channel, 2);
             EXPECT_TRUE(EntryOf(settings, "B").enabled) << "an array without its first element is absent";
             EXPECT_EQ(EntryOf(settings, "C").channel, 0);
         },
         [](const CProfile& saved) {
             for (const char* key : {"DevMapArray_SFDevName", "DevMapArray_DevName"})
                 EXPECT_EQ(SavedList(saved, "Preview", key).size(), 5u) << key;
             std::vector<int> channels;
             saved.ReadIntArray("Preview", "DevMapArray_Channel", channels);
             EXPECT_EQ(channels.size(), 5u);
             std::vector<bool> enabled;
             saved.ReadBoolArray("Preview", "DevMapArray_Enable", enabled);
             EXPECT_EQ(enabled.size(), 5u);
         }},
    };
    for (const FileCase& c : cases)
        RunCase(c);
}

TEST_F(SettingsFileTest, NumbersAreHeldToTheirMidiRangesWhenRead)
{
    const FileCase cases[] = {
        {"numbers beyond 32 bits",
         "[Preview]\r\nLFMidiOutChannel=99999999999999999999\r\nLFMidiOutBank=-5\r\n"
         "LFMidiOutInstrument=-2147483649\r\nDevMapArray_SFDevName_0=Simulated Synth 1\r\n"
         "DevMapArray_Channel_0=4294967296\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.fileMidiOutChannel, 15);
             EXPECT_EQ(settings.preview.fileBank, 0);
             EXPECT_EQ(settings.preview.fileInstrument, 0);
             EXPECT_EQ(EntryOf(settings, kDevice1).channel, 15);
         },
         [](const CProfile& saved) {
             EXPECT_EQ(SavedText(saved, "Preview", "LFMidiOutChannel"), "15");
             EXPECT_EQ(SavedText(saved, "Preview", "LFMidiOutBank"), "0");
             EXPECT_EQ(SavedText(saved, "Preview", "LFMidiOutInstrument"), "0");
             EXPECT_EQ(SavedList(saved, "Preview", "DevMapArray_Channel"),
                       (std::vector<std::string>{"15", "0"}));
         }},
        {"numbers with signs, prefixes and trailing text",
         "[Preview]\r\nLFMidiOutChannel=+7\r\nLFMidiOutBank=0x10\r\nLFMidiOutInstrument=12abc\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.fileMidiOutChannel, 7);
             EXPECT_EQ(settings.preview.fileBank, 0);
             EXPECT_EQ(settings.preview.fileInstrument, 12);
         },
         nullptr},
        {"channel, bank and instrument just outside MIDI's ranges",
         "[Preview]\r\nLFMidiOutChannel=16\r\nLFMidiOutBank=128\r\nLFMidiOutInstrument=1000\r\n"
         "DevMapArray_SFDevName_0=Simulated Synth 1\r\nDevMapArray_Channel_0=-1\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.fileMidiOutChannel, 15);
             EXPECT_EQ(settings.preview.fileBank, 127);
             EXPECT_EQ(settings.preview.fileInstrument, 127);
             EXPECT_EQ(EntryOf(settings, kDevice1).channel, 0);
         },
         [](const CProfile& saved) {
             EXPECT_EQ(SavedText(saved, "Preview", "LFMidiOutChannel"), "15");
             EXPECT_EQ(SavedText(saved, "Preview", "LFMidiOutBank"), "127");
             EXPECT_EQ(SavedText(saved, "Preview", "LFMidiOutInstrument"), "127");
         }},
        {"the ends of the ranges",
         "[Preview]\r\nLFMidiOutChannel=0\r\nLFMidiOutBank=127\r\nLFMidiOutInstrument=0\r\n"
         "DevMapArray_SFDevName_0=Simulated Synth 1\r\nDevMapArray_Channel_0=15\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.fileMidiOutChannel, 0);
             EXPECT_EQ(settings.preview.fileBank, 127);
             EXPECT_EQ(settings.preview.fileInstrument, 0);
             EXPECT_EQ(EntryOf(settings, kDevice1).channel, 15);
         },
         nullptr},
        {"a boolean that is neither True nor False", "[Preview]\r\nPreviewEnableOnStartup=yes please\r\n",
         [](const SettingsModel& settings) {
             EXPECT_TRUE(settings.preview.previewOnStartup);
         },
         [](const CProfile& saved) { EXPECT_EQ(SavedText(saved, "Preview", "PreviewEnableOnStartup"), "True"); }},
    };
    for (const FileCase& c : cases)
        RunCase(c);
}

TEST_F(SettingsFileTest, DevicesNamedInTheFileButAbsentKeepTheirNamesAndEntries)
{
    const FileCase cases[] = {
        {"names that match no device",
         "[Preview]\r\nMidiInDevice=Gone Keys\r\nLFSoundFontDevice=Gone Synth\r\nLFMidiOutDevice=Gone Out\r\n"
         "DevMapArray_SFDevName_0=Gone Synth\r\nDevMapArray_DevName_0=Gone Out\r\nDevMapArray_Channel_0=4\r\n"
         "DevMapArray_Enable_0=False\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.midiInDevice, 0);
             EXPECT_EQ(settings.preview.fileSoundFontDevice, 0);
             EXPECT_EQ(settings.preview.fileMidiOutDevice, 1) << "the output named like SoundFont device 0";
             EXPECT_EQ(settings.preview.deviceMap.size(), 3u);
         },
         [](const CProfile& saved) {
             EXPECT_EQ(SavedList(saved, "Preview", "DevMapArray_SFDevName"),
                       (std::vector<std::string>{"Gone Synth", kDevice1, kDevice2}));
             EXPECT_EQ(SavedList(saved, "Preview", "DevMapArray_DevName").at(0), "Gone Out");
             // The devices used in their place this time are not written over them.
             EXPECT_EQ(SavedText(saved, "Preview", "MidiInDevice"), "Gone Keys");
             EXPECT_EQ(SavedText(saved, "Preview", "LFSoundFontDevice"), "Gone Synth");
             EXPECT_EQ(SavedText(saved, "Preview", "LFMidiOutDevice"), "Gone Out");
         }},
        {"names that differ from the devices' only in letter case",
         "[Preview]\r\nLFSoundFontDevice=simulated synth 2\r\nDevMapArray_SFDevName_0=simulated synth 2\r\n"
         "DevMapArray_Enable_0=False\r\n",
         [](const SettingsModel& settings) {
             EXPECT_EQ(settings.preview.fileSoundFontDevice, 0);
             EXPECT_EQ(settings.preview.deviceMap.size(), 3u);
         },
         [](const CProfile& saved) {
             EXPECT_EQ(SavedText(saved, "Preview", "LFSoundFontDevice"), "simulated synth 2");
         }},
        {"no names at all: the devices in use are written",
         "[Preview]\r\nPreviewEnableOnStartup=False\r\n",
         nullptr,
         [](const CProfile& saved) {
             EXPECT_EQ(SavedText(saved, "Preview", "MidiInDevice"), "Keys");
             EXPECT_EQ(SavedText(saved, "Preview", "LFSoundFontDevice"), kDevice1);
             EXPECT_EQ(SavedText(saved, "Preview", "LFMidiOutDevice"), kDevice1);
         }},
    };
    for (const FileCase& c : cases)
        RunCase(c);
}

TEST_F(SettingsFileTest, AnAbsentDeviceIsReplacedInTheFileOnlyWhenTheUserChoosesAnother)
{
    m_midi.SetInputDevices({"Keys", "Pads"});
    const std::string absent = "[Preview]\r\nMidiInDevice=Gone Keys\r\nLFSoundFontDevice=Gone Synth\r\n"
                               "LFMidiOutDevice=Gone Out\r\nDevMapArray_SFDevName_0=Simulated Synth 1\r\n"
                               "DevMapArray_DevName_0=Gone Map Out\r\nDevMapArray_Channel_0=4\r\n";
    // Each case answers the settings sheet's page; the names are those written at exit.
    const struct {
        const char* name;
        std::function<void(HWND)> edit;
        const char* input;
        const char* soundFont;
        const char* output;
        const char* mapOutput;
    } cases[] = {
        {"OK without a change", [](HWND) {}, "Gone Keys", "Gone Synth", "Gone Out", "Gone Map Out"},
        {"another input", [](HWND page) { ChooseItem(page, IDC_MIDI_IN_DEVICE, 1); }, "Pads", "Gone Synth",
         "Gone Out", "Gone Map Out"},
        {"another device for sounds on disk",
         [](HWND page) {
             ChooseItem(page, IDC_FILE_SOUNDFONT_DEVICE, 1);
             ChooseItem(page, IDC_FILE_OUT_DEVICE, 0);
         },
         "Gone Keys", kDevice2, "Synth A", "Gone Map Out"},
        {"another channel for the device map entry",
         [](HWND page) { ChooseItem(page, IDC_DEVICE_OUT_CHANNEL, 7); }, "Gone Keys", "Gone Synth", "Gone Out",
         "Gone Map Out"},
        {"another output for the device map entry",
         [](HWND page) { ChooseItem(page, IDC_DEVICE_OUT_DEVICE, 0); }, "Gone Keys", "Gone Synth", "Gone Out",
         "Synth A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(IniPath(), absent);
        ASSERT_NE(Open(), nullptr);
        EditSettings(c.edit);
        Close();
        CProfile saved(IniPath(), false);
        EXPECT_EQ(SavedText(saved, "Preview", "MidiInDevice"), c.input);
        EXPECT_EQ(SavedText(saved, "Preview", "LFSoundFontDevice"), c.soundFont);
        EXPECT_EQ(SavedText(saved, "Preview", "LFMidiOutDevice"), c.output);
        EXPECT_EQ(SavedList(saved, "Preview", "DevMapArray_DevName").at(0), c.mapOutput);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(SettingsFileTest, FoldersTheShellCannotFindAreListedUnderTheirStoredPathsAndKept)
{
    const std::string file = m_folder + "tone.wav";
    const std::vector<std::string> folders = {
        "Z:\\no\\such\\folder", "/tmp/x", m_listed, "", "relative\\folder", file, "/", "/tmp/x",
    };
    CProfile(IniPath(), false).WriteStringArray("Folders", "LocalSoundFonts", folders);
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(ChildTexts(Find({"Sound Files on disk"})), folders);
    EXPECT_EQ(ChildTexts(Find({"Sound Files on disk", m_listed})), (std::vector<std::string>{"small.sf2", "tone.wav"}));
    Close();
    EXPECT_EQ(SavedList(CProfile(IniPath(), false), "Folders", "LocalSoundFonts"), folders);

    // "Remove" takes the folder under the path it shows, as for any folder.
    ASSERT_NE(Open(), nullptr);
    PointAt(TreeView_GetChild(Tree(), Find({"Sound Files on disk"})));
    {
        MenuWatcher menu("Remove");
        NotifyTree(NM_RCLICK);
    }
    PointAt(Find({"Sound Files on disk", "/tmp/x"}));
    {
        MenuWatcher menu("Remove");
        NotifyTree(NM_RCLICK);
    }
    const std::vector<std::string> left = {m_listed, "", "relative\\folder", file, "/"};
    EXPECT_EQ(ChildTexts(Find({"Sound Files on disk"})), left);
    Close();
    EXPECT_EQ(SavedList(CProfile(IniPath(), false), "Folders", "LocalSoundFonts"), left);
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(SettingsFileTest, FileDialogOpensOnAnyLastFolder)
{
    const std::string lastFolders[] = {"/tmp/x", "Z:\\no\\such\\folder\\", std::string(600, 'd'), m_folder};
    for (const std::string& lastFolder : lastFolders) {
        SCOPED_TRACE(lastFolder.substr(0, 40));
        CProfile(IniPath(), false).WriteString("General", "LastOpenDir", lastFolder);
        ASSERT_NE(Open(), nullptr);
        PointAt(Find({"Loaded SoundFonts", kDevice1}));
        DialogWatcher files("Select a SoundFont File", [](HWND dialog) { PressButton(dialog, IDCANCEL); });
        {
            MenuWatcher menu("Load SoundFont");
            NotifyTree(NM_RCLICK);
        }
        EXPECT_TRUE(files.Answered());
        Close();
        EXPECT_EQ(SavedValue("General", "LastOpenDir"), lastFolder);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty()) << ::testing::PrintToString(m_boxes.Texts());
}

TEST_F(SettingsFileTest, OutOfRangeNumbersReachTheEngineAndTheOutputHeldToTheirRanges)
{
    LoadBank(0, 4, m_folder + "small.sf2");
    CProfile profile(IniPath(), false);
    profile.WriteInt("Preview", "LFMidiOutChannel", 300);
    profile.WriteInt("Preview", "LFMidiOutBank", 128);
    profile.WriteInt("Preview", "LFMidiOutInstrument", -1);
    profile.WriteStringArray("Preview", "DevMapArray_SFDevName", {kDevice1});
    profile.WriteStringArray("Preview", "DevMapArray_DevName", {"Synth A"});
    profile.WriteIntArray("Preview", "DevMapArray_Channel", {-1});
    profile.WriteStringArray("Folders", "LocalSoundFonts", {m_listed});
    ASSERT_NE(Open(), nullptr);
    SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_PREVIEW, BN_CLICKED), 0);

    // Bank 128 is read as 127, the card's last bank; instrument -1 as 0.
    TreeView_SelectItem(Tree(), Find({"Sound Files on disk", m_listed, "tone.wav"}));
    TreeView_SelectItem(Tree(), Find({"Loaded SoundFonts", kDevice1, "004 - Small", "000 Grand"}));
    m_midi.Receive(0, PackShortMessage(0x90, 60, 100));
    ASSERT_TRUE(m_midi.WaitUntilDelivered());

    // Channel 300 is read as 15, -1 as 0; no data byte has its top bit set. Each move to
    // another output or channel first releases the notes of the one left.
    std::vector<std::uint8_t> statuses;
    for (DWORD word : m_midi.SentWords()) {
        EXPECT_EQ(word & 0x8080'00u, 0u) << std::hex << word;
        if (statuses.empty() || statuses.back() != (word & 0xFF))
            statuses.push_back(static_cast<std::uint8_t>(word & 0xFF));
    }
    EXPECT_EQ(statuses, (std::vector<std::uint8_t>{0xB0, 0xC0, 0x80, 0xBF, 0xCF, 0x8F, 0xB0, 0xC0, 0x90}));
    EXPECT_EQ(m_boxes.Boxes().size(), 0u) << ::testing::PrintToString(m_boxes.Texts());
}
