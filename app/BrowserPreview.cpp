// Previewing: passing the MIDI input on to the preview output, selecting the chosen sound
// there, the octave shift and the settings sheet.

#include "app/BrowserDlg.h"

#include "app/core/Diagnostics.h"
#include "app/core/resource.h"
#include "dialogs/PropSheet.h"
#include "midi/MidiResult.h"

#include <algorithm>

namespace {

constexpr std::uint8_t kPercussionChannel = 9;
constexpr int kLowestOctave = -9;
constexpr int kHighestOctave = 9;

bool IsPlayable(TreeItemKind kind)
{
    return kind == TreeItemKind::BankPreset || kind == TreeItemKind::FilePreset ||
           kind == TreeItemKind::WaveFile;
}

bool IsDiskSound(TreeItemKind kind)
{
    return kind == TreeItemKind::FilePreset || kind == TreeItemKind::WaveFile;
}

} // namespace

void CBrowserDlg::ForwardPreviewInput(MidiInputEvent event)
{
    if (std::optional<MidiShortMessage> message = m_forwarder.Rewrite(event))
        m_previewOut.SendShortMessage(message->status, message->data1, message->data2);
}

void CBrowserDlg::SetSelected(const TreeItemRecord& record)
{
    m_selected = record;
    m_forwarder.SetPlayableSelected(IsPlayable(record.kind));
}

void CBrowserDlg::SetPreviewChannel(std::int32_t channel)
{
    m_previewChannel = channel;
    m_forwarder.SetChannel(channel);
}

void CBrowserDlg::ShowPortError(const char* format, const CMidiPortBase& port, int result)
{
    // A refused device id never reached the platform, so the port's last result is an older
    // one: name the refusal itself.
    const char* text = result == kMidiBadDeviceId ? MidiErrorText(kMidiBadDeviceId) : port.GetErrorText();
    ErrorBox(m_hWnd, MB_ICONSTOP | MB_OK, "Error", format, text);
}

void CBrowserDlg::TogglePreview()
{
    if (!m_previewing) {
        SetWindowTextA(m_previewButton, "Stop &Preview");
        StartPreview();
    } else {
        StopPreview();
        SetWindowTextA(m_previewButton, "Start &Preview");
    }
}

void CBrowserDlg::StartPreview()
{
    if (m_previewing)
        return;
    if (int result = m_midiIn.OpenPort(m_midiInDevice); result != 0)
        ShowPortError("Couldn't open midi device (%s)", m_midiIn, result);
    if (int result = m_midiIn.StartInput(); result != 0)
        ShowPortError("Couldn't start midi input (%s)", m_midiIn, result);
    if (int result = m_previewOut.OpenPort(m_previewOutDevice); result != 0)
        ShowPortError("Couldn't open midi device (%s)", m_previewOut, result);
    SendBankAndProgram(m_selected.bank, m_selected.preset);
    m_previewing = true;
}

void CBrowserDlg::StopPreview()
{
    if (!m_previewing)
        return;
    m_midiIn.StopInput();
    m_midiIn.ClosePort();
    // No note-off can come now for the keys still held.
    ReleaseAllNotes();
    m_previewOut.ClosePort();
    m_previewing = false;
}

void CBrowserDlg::ReleaseAllNotes()
{
    ReleaseAllNotesOn(m_previewChannel);
}

void CBrowserDlg::ReleaseAllNotesOn(std::int32_t channel)
{
    if (!m_previewing || !m_previewOut.IsOpen())
        return;
    std::uint8_t status = ChannelStatus(kNoteOff, channel);
    for (int note = 0; note < 128; ++note)
        m_previewOut.SendShortMessage(status, static_cast<std::uint8_t>(note), 0);
}

void CBrowserDlg::SendBankAndProgram(int bank, int program)
{
    m_previewOut.SendShortMessage(ChannelStatus(kControlChange, m_previewChannel), kBankSelectController,
                                  static_cast<std::uint8_t>(bank));
    m_previewOut.SendShortMessage(ChannelStatus(kProgramChange, m_previewChannel),
                                  static_cast<std::uint8_t>(program), 0);
}

void CBrowserDlg::OnSelChangedTree()
{
    if (IsDiskSound(m_selected.kind) && m_sfManager.OpenDevice(m_fileSoundFontDevice) == 0) {
        m_sfManager.ClearPreset(m_fileBank, m_fileInstrument);
        m_sfManager.CloseDevice();
    }
    HTREEITEM selected = TreeView_GetSelection(m_soundTree.Window());
    CTreeItemData* record = m_soundTree.RecordOf(selected);
    if (!record)
        return;
    SetSelected(*record);
    UpdateMeterForRecord(m_selected);
    if (IsDiskSound(m_selected.kind))
        UpdateMemoryMeter(m_fileSoundFontDevice);
    if (m_selected.kind == TreeItemKind::BankPreset)
        SelectLoadedPreset();
    else if (IsDiskSound(m_selected.kind) && m_previewing)
        LoadDiskItemForPreview();
    FillPresetList(selected);
}

void CBrowserDlg::SelectLoadedPreset()
{
    std::string name;
    m_sfManager.GetDeviceName(m_selected.device, name);
    const DevMapEntry entry = m_deviceMap.EntryFor(name);
    std::int32_t outDevice = m_previewOutDevice;
    m_previewOut.FindDevice(entry.outDevName, outDevice);
    if (!m_previewing) {
        SetPreviewChannel(entry.channel);
        m_previewOutDevice = outDevice;
        return;
    }
    std::string current;
    m_previewOut.GetCurrentDeviceName(current);
    std::int32_t channel = m_selected.fileBank >= 128 ? kPercussionChannel : entry.channel;
    MovePreview(outDevice, current != entry.outDevName, channel);
    SendBankAndProgram(m_selected.bank, m_selected.preset);
}

void CBrowserDlg::MovePreview(std::int32_t outDevice, bool reopen, std::int32_t channel)
{
    // The keyboard's note-offs for what is held will follow the new output and channel: the
    // held notes are released where they sound, and keys struck meanwhile wait for the move.
    const bool moving = outDevice != m_previewOutDevice || channel != m_previewChannel;
    if (moving) {
        m_forwarder.SetPlayableSelected(false);
        ReleaseAllNotes();
    }
    m_previewOutDevice = outDevice;
    int result = 0;
    if (reopen) {
        m_previewOut.ClosePort();
        result = m_previewOut.OpenPort(m_previewOutDevice);
    }
    SetPreviewChannel(channel);
    m_forwarder.SetPlayableSelected(IsPlayable(m_selected.kind));
    if (result != 0)
        ShowPortError("Couldn't open midi device (%s)", m_previewOut, result);
}

void CBrowserDlg::LoadDiskItemForPreview()
{
    bool wave = m_selected.kind == TreeItemKind::WaveFile;
    if (m_sfManager.OpenDevice(m_fileSoundFontDevice) != 0) {
        ErrorBox(m_hWnd, MB_ICONSTOP | MB_OK, "Error",
                 wave ? "Error loading wave file (couldn't open output device) (%s)"
                      : "Error loading preset (couldn't open output device) (%s)",
                 m_sfManager.GetErrorText());
    } else {
        std::string path = m_selected.item.GetPath();
        int result = wave ? m_sfManager.LoadWave(m_fileBank, m_fileInstrument, path)
                          : m_sfManager.LoadPreset(m_selected.bank, m_selected.preset, m_fileBank,
                                                   m_fileInstrument, path);
        if (result != 0)
            ErrorBox(m_hWnd, MB_ICONSTOP | MB_OK, "Error",
                     wave ? "Error loading wave file (%s)" : "Error loading preset (%s)",
                     m_sfManager.GetErrorText());
        m_sfManager.CloseDevice();
    }
    MovePreview(m_fileMidiOutDevice, true, m_fileMidiOutChannel);
    SendBankAndProgram(m_fileBank, m_fileInstrument);
}

void CBrowserDlg::FillPresetList(HTREEITEM selected)
{
    HWND list = GetDlgItem(IDC_PRESET_LIST);
    HWND tree = m_soundTree.Window();
    ListView_DeleteAllItems(list);
    int row = 0;
    for (HTREEITEM child = TreeView_GetChild(tree, selected); child;
         child = TreeView_GetNextSibling(tree, child)) {
        CTreeItemData* record = m_soundTree.RecordOf(child);
        bool bank = record && record->kind == TreeItemKind::LoadedBank;
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row++;
        item.pszText = const_cast<char*>(bank ? "Soundfont" : "Unknown");
        item.iImage = m_images.soundFontImage;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

// Without a range the control counts from 100 down to 0, and its up arrow would lower the shift.
void CBrowserDlg::SetUpOctaveArrows()
{
    HWND arrows = GetDlgItem(IDC_OCTAVE_SPIN);
    SendMessageA(arrows, UDM_SETRANGE32, static_cast<WPARAM>(kLowestOctave), kHighestOctave);
    SendMessageA(arrows, UDM_SETPOS32, 0, 0);
}

void CBrowserDlg::OnOctaveDeltaPos(const NMUPDOWN& change)
{
    std::int64_t octave = static_cast<std::int64_t>(m_octave) + change.iDelta;
    m_octave = static_cast<std::int32_t>(std::clamp<std::int64_t>(octave, kLowestOctave, kHighestOctave));
    // The new shift takes effect before the sweep, so no note struck meanwhile keeps sounding
    // under the old one.
    m_forwarder.SetOctave(m_octave);
    ReleaseAllNotes();
    ShowOctave();
}

void CBrowserDlg::ShowOctave()
{
    char text[16];
    if (m_octave > 0)
        wsprintfA(text, "+%d", m_octave);
    else
        wsprintfA(text, "%d", m_octave);
    SetWindowTextA(m_octaveEdit, text);
}

void CBrowserDlg::OnSettings()
{
    bool wasPreviewing = m_previewing;
    StopPreview();
    PreviewSettings settings;
    settings.deviceMap = m_deviceMap;
    settings.midiInDevice = m_midiInDevice;
    settings.previewOnStartup = m_previewOnStartup;
    settings.fileSoundFontDevice = m_fileSoundFontDevice;
    settings.fileMidiOutDevice = m_fileMidiOutDevice;
    settings.fileMidiOutChannel = m_fileMidiOutChannel;
    settings.fileBank = m_fileBank;
    settings.fileInstrument = m_fileInstrument;
    if (RunSettingsSheet(m_hWnd, settings)) {
        MarkChosenDevices(settings);
        m_deviceMap = settings.deviceMap;
        m_midiInDevice = settings.midiInDevice;
        m_previewOnStartup = settings.previewOnStartup;
        m_fileSoundFontDevice = settings.fileSoundFontDevice;
        m_fileMidiOutDevice = settings.fileMidiOutDevice;
        m_fileMidiOutChannel = settings.fileMidiOutChannel;
        m_fileBank = settings.fileBank;
        m_fileInstrument = settings.fileInstrument;
        RefreshTree();
    }
    if (wasPreviewing)
        StartPreview();
}

void CBrowserDlg::MarkChosenDevices(const PreviewSettings& settings)
{
    if (settings.midiInDevice != m_midiInDevice)
        m_storedMidiIn.Chosen();
    if (settings.fileSoundFontDevice != m_fileSoundFontDevice)
        m_storedFileSoundFont.Chosen();
    if (settings.fileMidiOutDevice != m_fileMidiOutDevice)
        m_storedFileMidiOut.Chosen();
}
