// Program changes from the MIDI keyboard while previewing: they step the selection through the
// presets of the selected SoundFont, so that a whole SoundFont is auditioned hands on the keys.

#include "app/BrowserDlg.h"

#include "browser/ProgramStep.h"

void CBrowserDlg::OnProgramChange()
{
    // Collected whatever follows, so that the next program change is posted again.
    const int program = m_programChanges.Collect();
    if (program < 0 || !m_previewing)
        return;
    HWND tree = m_soundTree.Window();
    HTREEITEM target = PresetForProgram(m_soundTree, TreeView_GetSelection(tree), program);
    if (!target)
        return;
    // The tree tells the window of the new selection as it does for a click: the preset is
    // selected on the output, or loaded into the preview bank for a file on disk.
    TreeView_SelectItem(tree, target);
    TreeView_EnsureVisible(tree, target);
}
