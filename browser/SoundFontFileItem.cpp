#include "browser/SoundFontFileItem.h"

#include "base/WideText.h"

#include <cstring>

namespace {

// The reason for a damaged file's item; null for every other item.
const char* TipFor(const CSoundTree& tree, HTREEITEM item)
{
    const CTreeItemData* record = tree.RecordOf(item);
    if (!record || record->kind != TreeItemKind::DamagedSoundFontFile)
        return nullptr;
    return DamageText(record->damage);
}

} // namespace

TreeItemRecord SoundFontFileRecord(const CShellItem& file, SoundFontDamage damage)
{
    TreeItemRecord record;
    record.kind = damage == SoundFontDamage::None ? TreeItemKind::SoundFontFile : TreeItemKind::DamagedSoundFontFile;
    record.damage = damage;
    record.item = file;
    return record;
}

bool FillInfoTip(const CSoundTree& tree, NMHDR* header)
{
    if (header->code == TVN_GETINFOTIPA) {
        auto* tip = reinterpret_cast<NMTVGETINFOTIPA*>(header);
        const char* text = TipFor(tree, tip->hItem);
        if (text && tip->pszText && tip->cchTextMax > 0)
            lstrcpynA(tip->pszText, text, tip->cchTextMax);
        else if (tip->pszText && tip->cchTextMax > 0)
            tip->pszText[0] = '\0';
        return true;
    }
    if (header->code == TVN_GETINFOTIPW) {
        auto* tip = reinterpret_cast<NMTVGETINFOTIPW*>(header);
        const char* text = TipFor(tree, tip->hItem);
        if (tip->pszText && tip->cchTextMax > 0)
            lstrcpynW(tip->pszText, text ? WidenAnsi(text).c_str() : L"", tip->cchTextMax);
        return true;
    }
    return false;
}

std::string DamagedFileMessage(const std::string& path, SoundFontDamage damage)
{
    const std::size_t separator = path.find_last_of("\\/");
    const std::string fileName = separator == std::string::npos ? path : path.substr(separator + 1);
    return fileName + " can't be loaded. " + DamageText(damage) + ".";
}
