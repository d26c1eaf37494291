#pragma once
// The main window: the sound tree with its commands, the memory meter, previewing and the
// settings, on one dialog that is the program's whole user interface.

#include "app/core/Dialog.h"
#include "dialogs/DestinationDlg.h"
#include "browser/MemoryMeter.h"
#include "browser/SoundTree.h"
#include "browser/TreeImages.h"
#include "browser/TreeItemData.h"
#include "dialogs/PreviewSettings.h"
#include "engine/SoundFontManager.h"
#include "midi/DeviceMap.h"
#include "midi/MidiOutPort.h"
#include "midi/MidiThruPort.h"
#include "midi/PreviewForwarder.h"
#include "midi/PreviewInputReceiver.h"
#include "settings/Profile.h"
#include "settings/SettingsLocation.h"
#include "settings/StoredDeviceName.h"
#include "shell/ShellItem.h"

#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

class CBrowserDlg : public CDialog, public IPreviewInputReceiver {
public:
    explicit CBrowserDlg(HWND parent);
    ~CBrowserDlg() override;

    // Frame
    void Layout();
    void ToggleExpanded();
    bool CreateImageList(HWND tree);

    // Settings
    void LoadSettings();
    void SaveSettings();
    // Stops previewing and saves the settings, once: at the end of the session (Windows ends
    // the program after WM_ENDSESSION, without destroying anything) or at exit.
    void EndAndSave();

    // Sound tree
    void RefreshTree();
    HTREEITEM InsertTreeItem(const char* text, int level, const TreeItemRecord& record);
    void UpdateMemoryMeter(int device);

    // Tree commands
    // Unless `direct`, the user may choose another device and bank first; `device` is then
    // the one chosen.
    int LoadSoundFont(int& device, const std::string& path, bool direct);
    int DeleteBank(int device, int bank);
    int FindFreeBank(int device);
    int DefaultLoadDevice();

    // Previewing
    void TogglePreview();
    void StartPreview();
    void StopPreview();
    void ReleaseAllNotes();
    void ForwardPreviewInput(MidiInputEvent event) override;

    // Members in the order of construction; destruction runs the reverse.
    HWND m_octaveEdit = nullptr;
    CMemoryMeter m_memoryMeter;
    HWND m_previewButton = nullptr;
    std::string m_startupFile;
    TreeImages m_images;
    CSoundFontManager m_sfManager;
    CMidiThruPort m_midiIn;
    std::int32_t m_midiInDevice = 0;
    CDeviceMap m_deviceMap;
    CMidiOutPort m_previewOut;
    std::int32_t m_previewOutDevice = 0;
    std::int32_t m_previewChannel = 0;
    bool m_previewOnStartup = false;
    TreeItemRecord m_selected;
    bool m_previewing = false;
    std::string m_lastOpenDir;
    SettingsLocation m_settingsLocation;
    CProfile m_profile;
    CSoundTree m_soundTree;
    std::vector<CShellItem> m_localFolders;
    // For each folder of m_localFolders, the path it was stored under when it was read from the
    // settings (empty for folders added during the run): a folder the shell can't name a path
    // for, such as one on a drive that is not attached, is written back as it was read rather
    // than lost.
    std::vector<std::string> m_storedFolderPaths;
    std::int32_t m_fileSoundFontDevice = 0;
    std::int32_t m_fileMidiOutDevice = 0;
    std::int32_t m_fileMidiOutChannel = 0;
    std::int32_t m_fileBank = 0;
    std::int32_t m_fileInstrument = 0;
    CDestinationDlg m_destinationDlg;
    HIMAGELIST m_imageList = nullptr;
    std::int32_t m_octave = 0;
    bool m_expanded = false;
    HICON m_hIcon;
    // Settings are written back at exit only when they were read at start: a start whose
    // engine failed must not replace the user's settings with defaults.
    bool m_settingsLoaded = false;
    bool m_settingsSaved = false;
    // The names of the MIDI input and of the devices for sounds on disk as the settings held
    // them.
    CStoredDeviceName m_storedMidiIn;
    CStoredDeviceName m_storedFileSoundFont;
    CStoredDeviceName m_storedFileMidiOut;
    // What the MIDI input thread reads of the preview state: the kind, channel and octave
    // above, kept in one atomic word.
    CPreviewForwarder m_forwarder;

protected:
    BOOL OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnNotify(NMHDR* header, LRESULT& result) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Enter never ends the modal loop (Escape and the close box do): in the tree it acts on the
    // selected item as a double-click does, elsewhere it does nothing.
    void OnOK() override;

private:
    // Frame
    void AddAboutToSystemMenu();
    void CollapseToHalfWidth();
    bool OnSysCommand(UINT command);
    void OnPaint();

    // Tree commands
    bool OnTreeNotify(NMHDR* header, LRESULT& result);
    void OnTreeContextMenu();
    bool OnContextMenuMessage(HWND source, LPARAM position);
    void ShowContextMenu(POINT screen);
    LRESULT OnTreeDoubleClick();
    bool ActivateSelectedItem();
    void OnTreeKeyDown(WORD key);
    HTREEITEM SelectItemUnderMouse();
    void UpdateMeterForRecord(const TreeItemRecord& record);
    void RunMenuCommand(const TreeItemRecord& record, UINT command);
    void LoadFromMenu(int device, const std::string& path, bool direct);
    void ClearDevice(int device);
    void AddFolder();
    void RemoveFolder(const std::string& path);
    bool AskForSoundFontFile(std::string& path);
    void ShowLoadedBank(int device, int bank);
    HTREEITEM ExpandDevice(int device);
    void ShowCommandError(const char* format);

    // Previewing
    void SetSelected(const TreeItemRecord& record);
    void SetPreviewChannel(std::int32_t channel);
    // Moves previewing to another output (closed and opened again when `reopen`) and channel.
    void MovePreview(std::int32_t outDevice, bool reopen, std::int32_t channel);
    void ShowPortError(const char* format, const CMidiPortBase& port, int result);
    void OnSelChangedTree();
    void SetUpOctaveArrows();
    void OnOctaveDeltaPos(const NMUPDOWN& change);
    void OnSettings();
    // A setting the user moved to another device no longer writes back the name it was read as.
    void MarkChosenDevices(const PreviewSettings& settings);
    void ReleaseAllNotesOn(std::int32_t channel);
    void SendBankAndProgram(int bank, int program);
    void LoadDiskItemForPreview();
    void SelectLoadedPreset();
    void FillPresetList(HTREEITEM selected);
    void ShowOctave();
};

// The last mouse position over the tree, in the tree's client coordinates: the context menu
// and double-click commands take the item under it.
extern std::uint32_t g_lastTreeMouseX;
extern std::uint32_t g_lastTreeMouseY;
