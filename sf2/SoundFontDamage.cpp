#include "sf2/SoundFontDamage.h"

const char* DamageText(SoundFontDamage damage)
{
    switch (damage) {
    case SoundFontDamage::CantOpen:
        return "Can't be opened: another program may be using it, or it may not be read";
    case SoundFontDamage::NotSoundFont:
        return "Not a SoundFont";
    case SoundFontDamage::NoPresetList:
        return "Damaged: it has no preset list";
    case SoundFontDamage::EndsInsidePresetList:
        return "Damaged: the file ends inside its preset list";
    case SoundFontDamage::EndsBeforePresetList:
        return "Damaged: the file ends before its preset list";
    case SoundFontDamage::None:
        break;
    }
    return "";
}
