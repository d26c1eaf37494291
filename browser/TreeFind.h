#pragma once
// The find box above the sound tree: the presets whose names hold the typed text, across the
// card's loaded banks and the SoundFont files under the listed folders, in a list that covers
// the tree while there is text. Choosing a result selects the same preset in the tree; Enter or
// a double-click on a file's result loads the file as "Load" does. The names come from a preset
// index that a thread of its own fills after each refresh of the tree.

#include "browser/PresetIndex.h"
#include "browser/PresetIndexBuilder.h"
#include "browser/SoundTree.h"
#include "browser/TreeCommands.h"
#include "engine/SoundFontEngine.h"
#include "settings/SettingsModel.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

class CTreeFind {
public:
    // At most this many results are listed.
    static constexpr std::size_t kShownResults = 1000;
    static constexpr UINT_PTR kProgressTimer = 0x4649;

    CTreeFind(CSoundTree& tree, CTreeCommands& commands, CSoundFontEngine& engine, SettingsModel& settings);

    // Makes the box and the result list as children of `owner`, and takes the room of the box
    // from the top of the tree.
    void Create(HWND owner);
    // Places the box above `tree` (the tree's rectangle in the owner) and the list over it.
    void Place(const RECT& tree);
    // Reads the index again, from the card's banks and the listed folders as they are now.
    void RebuildIndex();
    void StopIndex() { m_builder.Stop(); }
    // The index reads no file for a moment: the window is busy with work the user waits for.
    void GiveWayToWindow();

    // Ctrl+F: the focus goes to the box, its text selected.
    void Focus();
    // Escape with the box or the list focused: clears the box and gives the focus back to the
    // tree; false (nothing done) elsewhere.
    bool OnEscape();
    // Enter with the list focused: acts on the selected result; false elsewhere.
    bool OnEnter();
    bool OnCommand(WORD id, WORD code);
    bool OnNotify(NMHDR* header, LRESULT& result);
    bool OnTimer(UINT_PTR id);

    const CPresetIndex& Index() const { return m_index; }
    HWND Box() const { return m_box; }
    HWND Results() const { return m_results; }

private:
    void Search();
    void ShowResults(bool show);
    void FillResults(const std::vector<PresetMatch>& matches);
    std::string WhereText(const PresetSource& source) const;
    // Selects the result's preset in the tree, opening its branches.
    void SelectInTree(const PresetMatch& match);
    HTREEITEM FindLoadedPreset(const PresetMatch& match);
    HTREEITEM FindFilePreset(const PresetMatch& match);
    void ActivateResult(int row);
    void TipOfResult(NMHDR* header) const;
    std::string BoxText() const;

    CSoundTree& m_tree;
    CTreeCommands& m_commands;
    CSoundFontEngine& m_engine;
    SettingsModel& m_settings;
    CPresetIndex m_index;
    CPresetIndexBuilder m_builder;
    HWND m_owner = nullptr;
    HWND m_box = nullptr;
    HWND m_results = nullptr;
    std::vector<std::string> m_deviceNames;
    std::vector<PresetMatch> m_shown;
    std::size_t m_searchedPresets = 0;
    // Set while the list is refilled: its selection changes then are not the user's.
    bool m_filling = false;
};
