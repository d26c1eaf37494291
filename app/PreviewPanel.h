#pragma once
// The main window's previewing controls: the preview button, the octave shift, the sound
// selected in the tree as the one to preview (loaded for sounds on disk), the preset list
// beside the tree and the settings sheet. The MIDI side is the preview session's.

#include "app/SoftCardSilence.h"
#include "browser/SoundTree.h"
#include "browser/TreeCommands.h"
#include "browser/TreeImages.h"
#include "browser/TreeItemData.h"
#include "card/CardOperations.h"
#include "engine/SoundFontEngine.h"
#include "midi/PreviewSession.h"
#include "settings/SettingsModel.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

class CPreviewPanel {
public:
    CPreviewPanel(CPreviewSession& session, CSoundFontEngine& engine, SettingsModel& settings,
                  CSoundTree& tree, const TreeImages& images, CTreeCommands& commands);

    // Takes the window's controls and sets up the octave arrows.
    void Attach(HWND window);
    void ResetOctave();

    void TogglePreview();
    void StartPreview();
    void StopPreview();
    void OnSelChangedTree();
    void OnOctaveDeltaPos(const NMUPDOWN& change);
    void OnSettings();
    // While previewing, selects the preset the keyboard's last program change names, as a
    // click would; nothing for other selections.
    void OnProgramChange();

    std::int32_t Octave() const { return m_octave; }

private:
    void SetSelected(const TreeItemRecord& record);
    void MovePreview(std::int32_t outDevice, bool reopen, std::int32_t channel);
    void LoadDiskItemForPreview();
    void SelectLoadedPreset();
    void FillPresetList(HTREEITEM selected);
    void ShowOctave();
    CPreviewSession::FailureReport ErrorBoxes() const;

    CPreviewSession& m_session;
    CSoundFontEngine& m_engine;
    CCardOperations m_card;
    SettingsModel& m_settings;
    CSoundTree& m_tree;
    const TreeImages& m_images;
    CTreeCommands& m_commands;
    HWND m_window = nullptr;
    HWND m_octaveEdit = nullptr;
    HWND m_previewButton = nullptr;
    TreeItemRecord m_selected;
    std::int32_t m_octave = 0;
    CSoftCardSilence m_softCardSilence;
};
