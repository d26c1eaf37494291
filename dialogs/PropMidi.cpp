#include "dialogs/PropMidi.h"

#include "base/Controls.h"
#include "base/Diagnostics.h"
#include "base/resource.h"
#include "dialogs/PreviewNumber.h"
#include "engine/SoundFontManager.h"
#include "midi/MidiInPort.h"
#include "midi/MidiOutPort.h"

#include <commctrl.h>

#include <vector>

namespace {

constexpr int kChannelCount = 16;

void Fill(HWND box, const std::vector<std::string>& texts)
{
    for (const std::string& text : texts)
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// A position past the end of the list leaves the box without a selection.
void Select(HWND box, std::int32_t position)
{
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

// The chosen position, -1 when nothing is chosen.
std::int32_t Selection(HWND box)
{
    return static_cast<std::int32_t>(SendMessageA(box, CB_GETCURSEL, 0, 0));
}

std::string ItemText(HWND box, std::int32_t position)
{
    LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(position), 0);
    if (length == CB_ERR)
        return std::string();
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    length = SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(position),
                          reinterpret_cast<LPARAM>(&text[0]));
    text.resize(length == CB_ERR ? 0 : static_cast<std::size_t>(length));
    return text;
}

// The last position whose text is `text` byte for byte; 0 when none is.
std::int32_t LastPositionOf(HWND box, const std::string& text)
{
    std::int32_t found = 0;
    auto count = static_cast<std::int32_t>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (std::int32_t position = 0; position < count; ++position) {
        if (ItemText(box, position) == text)
            found = position;
    }
    return found;
}

} // namespace

CPropMidi::CPropMidi()
    : CPropertyPage(IDD_PROP_MIDI)
{
}

BOOL CPropMidi::OnInitDialog()
{
    AttachControls();
    ListInputDevices();
    ListOutputDevices();
    ListSoundFontDevices();
    ListChannels();
    ShowFileNumbers();
    ShowChosenEntry();
    SetChecked(m_previewOnStartupBox, m_values.previewOnStartup);
    return TRUE;
}

void CPropMidi::AttachControls()
{
    m_instrumentSpin = GetDlgItem(IDC_FILE_INSTRUMENT_SPIN);
    m_bankSpin = GetDlgItem(IDC_FILE_BANK_SPIN);
    m_instrumentEdit = GetDlgItem(IDC_FILE_INSTRUMENT);
    m_bankEdit = GetDlgItem(IDC_FILE_BANK);
    m_fileSoundFontBox = GetDlgItem(IDC_FILE_SOUNDFONT_DEVICE);
    m_fileOutputBox = GetDlgItem(IDC_FILE_OUT_DEVICE);
    m_fileChannelBox = GetDlgItem(IDC_FILE_OUT_CHANNEL);
    m_entryOutputLabel = GetDlgItem(IDC_DEVICE_OUT_DEVICE_LABEL);
    m_entryChannelLabel = GetDlgItem(IDC_DEVICE_OUT_CHANNEL_LABEL);
    m_enablePreviewing = GetDlgItem(IDC_ENABLE_PREVIEWING);
    m_previewOnStartupBox = GetDlgItem(IDC_PREVIEW_ON_STARTUP);
    m_entryChannelBox = GetDlgItem(IDC_DEVICE_OUT_CHANNEL);
    m_soundFontBox = GetDlgItem(IDC_SOUNDFONT_DEVICE);
    m_entryOutputBox = GetDlgItem(IDC_DEVICE_OUT_DEVICE);
    m_inputBox = GetDlgItem(IDC_MIDI_IN_DEVICE);
}

// The lists are those of the devices present now; the page keeps no device object, so
// each list comes from a port or manager that lives only while it is read.
void CPropMidi::ListInputDevices()
{
    CMidiInPort input;
    std::vector<std::string> names;
    input.ListDeviceNames(names, false);
    Fill(m_inputBox, names);
    Select(m_inputBox, m_values.midiInDevice);
}

void CPropMidi::ListOutputDevices()
{
    CMidiOutPort output;
    std::vector<std::string> names;
    output.ListDeviceNames(names, false);
    Fill(m_entryOutputBox, names);
    Select(m_entryOutputBox, 0);
    Fill(m_fileOutputBox, names);
    Select(m_fileOutputBox, m_values.fileMidiOutDevice);
}

// Without the engine both SoundFont lists stay empty; the page says nothing about it.
void CPropMidi::ListSoundFontDevices()
{
    CSoundFontManager manager;
    if (EngineResult started = manager.Initialize(); started.Failed())
        DebugTrace("Preview page: no SoundFont devices (%s)\n", started.Text());
    std::vector<std::string> names;
    manager.GetDeviceNames(names);
    Fill(m_soundFontBox, names);
    Select(m_soundFontBox, 0);
    Fill(m_fileSoundFontBox, names);
    Select(m_fileSoundFontBox, m_values.fileSoundFontDevice);
}

void CPropMidi::ListChannels()
{
    std::vector<std::string> channels;
    for (int channel = 1; channel <= kChannelCount; ++channel)
        channels.push_back(std::to_string(channel));
    Fill(m_entryChannelBox, channels);
    Select(m_entryChannelBox, 0);
    Fill(m_fileChannelBox, channels);
    Select(m_fileChannelBox, m_values.fileMidiOutChannel);
}

// Writing the edits runs the number rule on them, which may correct a stored value. The
// sheet only enables Apply once its first page is up, so this is no change to apply.
void CPropMidi::ShowFileNumbers()
{
    SendMessageA(m_bankSpin, UDM_SETRANGE, 0, MAKELPARAM(kHighestDataByte, 0));
    SetControlNumber(m_bankEdit, m_values.fileBank);
    SendMessageA(m_instrumentSpin, UDM_SETRANGE, 0, MAKELPARAM(kHighestDataByte, 0));
    SetControlNumber(m_instrumentEdit, m_values.fileInstrument);
}

DevMapEntry* CPropMidi::ChosenEntry()
{
    std::int32_t position = Selection(m_soundFontBox);
    if (position < 0)
        return nullptr;
    return &m_values.deviceMap.EntryFor(ItemText(m_soundFontBox, position));
}

// Looking a device up creates its entry in the page's copy of the map.
void CPropMidi::ShowChosenEntry()
{
    DevMapEntry* entry = ChosenEntry();
    if (!entry)
        return;
    Select(m_entryChannelBox, entry->channel);
    Select(m_entryOutputBox, LastPositionOf(m_entryOutputBox, entry->outDevName));
    SetChecked(m_enablePreviewing, entry->enabled);
    EnableEntryControls(entry->enabled);
}

void CPropMidi::EnableEntryControls(bool enabled)
{
    for (HWND control :
         {m_entryOutputBox, m_entryOutputLabel, m_entryChannelBox, m_entryChannelLabel})
        EnableControl(control, enabled);
}

bool CPropMidi::OnCommand(WORD id, WORD code, HWND)
{
    switch (code) {
    case CBN_SELCHANGE:
        OnSelectionChanged(id);
        return true;
    case BN_CLICKED:
        OnClicked(id);
        return true;
    case EN_CHANGE:
        if (id == IDC_FILE_BANK)
            OnNumberChanged(m_bankEdit, m_values.fileBank);
        else if (id == IDC_FILE_INSTRUMENT)
            OnNumberChanged(m_instrumentEdit, m_values.fileInstrument);
        return true;
    default:
        return false;
    }
}

// Only a choice from a list counts; a box that has none changes nothing.
void CPropMidi::OnSelectionChanged(WORD id)
{
    HWND box = GetDlgItem(id);
    std::int32_t position = Selection(box);
    if (position < 0)
        return;
    switch (id) {
    case IDC_MIDI_IN_DEVICE:
        m_values.midiInDevice = position;
        break;
    case IDC_SOUNDFONT_DEVICE:
        ShowChosenEntry();
        break;
    case IDC_DEVICE_OUT_DEVICE:
        if (DevMapEntry* entry = ChosenEntry())
            entry->outDevName = ItemText(box, position);
        break;
    case IDC_DEVICE_OUT_CHANNEL:
        if (DevMapEntry* entry = ChosenEntry())
            entry->channel = position;
        break;
    case IDC_FILE_SOUNDFONT_DEVICE:
        m_values.fileSoundFontDevice = position;
        break;
    case IDC_FILE_OUT_DEVICE:
        m_values.fileMidiOutDevice = position;
        break;
    case IDC_FILE_OUT_CHANNEL:
        m_values.fileMidiOutChannel = position;
        break;
    default:
        return;
    }
    SetModified();
}

void CPropMidi::OnClicked(WORD id)
{
    if (id == IDC_PREVIEW_ON_STARTUP) {
        m_values.previewOnStartup = IsChecked(m_previewOnStartupBox);
    } else if (id == IDC_ENABLE_PREVIEWING) {
        DevMapEntry* entry = ChosenEntry();
        if (!entry)
            return;
        entry->enabled = IsChecked(m_enablePreviewing);
        EnableEntryControls(entry->enabled);
    } else {
        return;
    }
    SetModified();
}

void CPropMidi::OnNumberChanged(HWND edit, std::int32_t& member)
{
    // A notification while the page's window is being created, before the controls are
    // attached.
    if (!edit)
        return;
    char text[20] = {};
    GetWindowTextA(edit, text, sizeof text);
    PreviewNumber number = ReadPreviewNumber(text);
    // Raises this notification again, which then finds the number in range.
    if (number.correctedText)
        SetWindowTextA(edit, number.correctedText);
    member = number.value;
    SetModified();
}

bool CPropMidi::OnNotify(NMHDR* header, LRESULT& result)
{
    // The spins may always move; each writes its new position into its edit, and the edit's
    // change notification takes it from there.
    if (header->code == UDN_DELTAPOS &&
        (header->idFrom == IDC_FILE_BANK_SPIN || header->idFrom == IDC_FILE_INSTRUMENT_SPIN)) {
        result = 0;
        return true;
    }
    return CPropertyPage::OnNotify(header, result);
}

