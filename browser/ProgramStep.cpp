#include "browser/ProgramStep.h"

namespace {

bool IsPreset(const CTreeItemData* record)
{
    return record &&
           (record->kind == TreeItemKind::BankPreset || record->kind == TreeItemKind::FilePreset);
}

} // namespace

HTREEITEM PresetForProgram(const CSoundTree& tree, HTREEITEM selected, int program)
{
    const CTreeItemData* current = tree.RecordOf(selected);
    if (!IsPreset(current))
        return nullptr;
    const HWND window = tree.Window();
    const HTREEITEM soundFont = TreeView_GetParent(window, selected);
    // The SoundFont's bank of the selected preset: a drum kit steps among drum kits.
    const std::uint8_t bank = current->fileBank;
    HTREEITEM above = nullptr; // the lowest program above `program`
    int abovePreset = 0;
    HTREEITEM lowest = nullptr; // for wrapping
    int lowestPreset = 0;
    for (HTREEITEM item = soundFont ? TreeView_GetChild(window, soundFont) : nullptr; item;
         item = TreeView_GetNextSibling(window, item)) {
        const CTreeItemData* record = tree.RecordOf(item);
        if (!IsPreset(record) || record->fileBank != bank)
            continue;
        const int preset = record->preset;
        if (preset == program)
            return item;
        if (preset > program && (!above || preset < abovePreset)) {
            above = item;
            abovePreset = preset;
        }
        if (!lowest || preset < lowestPreset) {
            lowest = item;
            lowestPreset = preset;
        }
    }
    return above ? above : lowest;
}
