#include "app/PreviewPanel.h"

#include "base/Diagnostics.h"
#include "base/resource.h"
#include "browser/ProgramStep.h"
#include "dialogs/PropSheet.h"
#include "sf2/PresetHeader.h"

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

CPreviewPanel::CPreviewPanel(CPreviewSession& session, CSoundFontEngine& engine, SettingsModel& settings,
                             CSoundTree& tree, const TreeImages& images, CTreeCommands& commands)
    : m_session(session)
    , m_engine(engine)
    , m_card(engine)
    , m_settings(settings)
    , m_tree(tree)
    , m_images(images)
    , m_commands(commands)
{
}

// Without a range the control counts from 100 down to 0, and its up arrow would lower the shift.
void CPreviewPanel::Attach(HWND window)
{
    m_window = window;
    m_octaveEdit = GetDlgItem(window, IDC_OCTAVE_EDIT);
    HWND arrows = GetDlgItem(window, IDC_OCTAVE_SPIN);
    SendMessageA(arrows, UDM_SETRANGE32, static_cast<WPARAM>(kLowestOctave), kHighestOctave);
    SendMessageA(arrows, UDM_SETPOS32, 0, 0);
    m_previewButton = GetDlgItem(window, IDC_PREVIEW);
}

void CPreviewPanel::ResetOctave()
{
    m_octave = 0;
    SetWindowTextA(m_octaveEdit, "0");
}

CPreviewSession::FailureReport CPreviewPanel::ErrorBoxes() const
{
    HWND window = m_window;
    return [window](const char* format, const char* text) {
        ErrorBox(window, MB_ICONSTOP | MB_OK, "Error", format, text);
    };
}

void CPreviewPanel::SetSelected(const TreeItemRecord& record)
{
    m_selected = record;
    m_session.SetPlayableSelected(IsPlayable(record.kind));
}

void CPreviewPanel::TogglePreview()
{
    if (!m_session.IsPreviewing()) {
        SetWindowTextA(m_previewButton, "Stop &Preview");
        StartPreview();
    } else {
        StopPreview();
        SetWindowTextA(m_previewButton, "Start &Preview");
    }
}

void CPreviewPanel::StartPreview()
{
    m_session.Start(m_settings.preview.midiInDevice, m_selected.bank, m_selected.preset, ErrorBoxes());
    m_softCardSilence.TellOnce(m_window);
}

void CPreviewPanel::StopPreview()
{
    m_session.Stop();
}

void CPreviewPanel::OnSelChangedTree()
{
    const PreviewSettings& preview = m_settings.preview;
    if (IsDiskSound(m_selected.kind))
        m_card.ClearPreviewInstrument(PreviewBankOf(preview));
    HTREEITEM selected = TreeView_GetSelection(m_tree.Window());
    CTreeItemData* record = m_tree.RecordOf(selected);
    if (!record)
        return;
    SetSelected(*record);
    m_commands.UpdateMeterForRecord(m_selected);
    if (IsDiskSound(m_selected.kind))
        m_commands.UpdateMemoryMeter(preview.fileSoundFontDevice);
    if (m_selected.kind == TreeItemKind::BankPreset)
        SelectLoadedPreset();
    else if (IsDiskSound(m_selected.kind) && m_session.IsPreviewing())
        LoadDiskItemForPreview();
    FillPresetList(selected);
}

void CPreviewPanel::SelectLoadedPreset()
{
    std::string name;
    m_engine.GetDeviceName(m_selected.device, name);
    const DevMapEntry entry = m_settings.preview.deviceMap.EntryFor(name);
    std::int32_t outDevice = m_session.OutDevice();
    m_session.Output().FindDevice(entry.outDevName, outDevice);
    if (!m_session.IsPreviewing()) {
        m_session.SetChannel(entry.channel);
        m_session.SetOutDevice(outDevice);
        return;
    }
    std::string current;
    m_session.Output().GetCurrentDeviceName(current);
    std::int32_t channel = IsPercussionBank(m_selected.fileBank) ? kPercussionChannel : entry.channel;
    MovePreview(outDevice, current != entry.outDevName, channel);
    m_session.SendBankAndProgram(m_selected.bank, m_selected.preset);
}

void CPreviewPanel::MovePreview(std::int32_t outDevice, bool reopen, std::int32_t channel)
{
    m_session.Move(outDevice, reopen, channel, IsPlayable(m_selected.kind), ErrorBoxes());
}

void CPreviewPanel::LoadDiskItemForPreview()
{
    const PreviewSettings& preview = m_settings.preview;
    bool wave = m_selected.kind == TreeItemKind::WaveFile;
    const PreviewBank bank = PreviewBankOf(preview);
    const std::string path = m_selected.item.GetPath();
    CardResult loaded = wave ? m_card.LoadPreviewWave(bank, path)
                             : m_card.LoadPreviewPreset(bank, m_selected.bank, m_selected.preset, path);
    if (loaded.openFailed)
        ErrorBox(m_window, MB_ICONSTOP | MB_OK, "Error",
                 wave ? "Error loading wave file (couldn't open output device) (%s)"
                      : "Error loading preset (couldn't open output device) (%s)",
                 loaded.result.Text());
    else if (loaded.result.Failed())
        ErrorBox(m_window, MB_ICONSTOP | MB_OK, "Error", wave ? "Error loading wave file (%s)" : "Error loading preset (%s)",
                 loaded.result.Text());
    MovePreview(preview.fileMidiOutDevice, true, preview.fileMidiOutChannel);
    m_session.SendBankAndProgram(preview.fileBank, preview.fileInstrument);
}

void CPreviewPanel::FillPresetList(HTREEITEM selected)
{
    HWND list = GetDlgItem(m_window, IDC_PRESET_LIST);
    HWND tree = m_tree.Window();
    ListView_DeleteAllItems(list);
    // The list shows the item's children: they are listed now unless the list is hidden.
    if (IsWindowVisible(list))
        m_commands.ListChildren(selected);
    int row = 0;
    for (HTREEITEM child = TreeView_GetChild(tree, selected); child;
         child = TreeView_GetNextSibling(tree, child)) {
        CTreeItemData* record = m_tree.RecordOf(child);
        bool bank = record && record->kind == TreeItemKind::LoadedBank;
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row++;
        item.pszText = const_cast<char*>(bank ? "Soundfont" : "Unknown");
        item.iImage = m_images.soundFontImage;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
}

void CPreviewPanel::OnOctaveDeltaPos(const NMUPDOWN& change)
{
    std::int64_t octave = static_cast<std::int64_t>(m_octave) + change.iDelta;
    m_octave = static_cast<std::int32_t>(std::clamp<std::int64_t>(octave, kLowestOctave, kHighestOctave));
    // The new shift takes effect before the sweep, so no note struck meanwhile keeps sounding
    // under the old one.
    m_session.SetOctave(m_octave);
    m_session.ReleaseAllNotes();
    ShowOctave();
}

void CPreviewPanel::ShowOctave()
{
    char text[16];
    if (m_octave > 0)
        wsprintfA(text, "+%d", m_octave);
    else
        wsprintfA(text, "%d", m_octave);
    SetWindowTextA(m_octaveEdit, text);
}

void CPreviewPanel::OnSettings()
{
    bool wasPreviewing = m_session.IsPreviewing();
    StopPreview();
    PreviewSettings edited = m_settings.preview;
    if (RunSettingsSheet(m_window, edited)) {
        m_settings.TakeEdited(edited);
        m_commands.RefreshTree();
    }
    if (wasPreviewing)
        StartPreview();
}

void CPreviewPanel::OnProgramChange()
{
    // Collected whatever follows, so that the next program change is posted again.
    const int program = m_session.ProgramChanges().Collect();
    if (program < 0 || !m_session.IsPreviewing())
        return;
    HWND tree = m_tree.Window();
    HTREEITEM target = PresetForProgram(m_tree, TreeView_GetSelection(tree), program);
    if (!target)
        return;
    // The tree tells the window of the new selection as it does for a click: the preset is
    // selected on the output, or loaded into the preview bank for a file on disk.
    TreeView_SelectItem(tree, target);
    TreeView_EnsureVisible(tree, target);
}
