#include "browser/TreeImages.h"

#include "sf2/PresetHeader.h"

ItemImages ImagesFor(const TreeImages& images, TreeItemKind kind, std::uint8_t fileBank)
{
    switch (kind) {
    case TreeItemKind::BankPreset:
    case TreeItemKind::FilePreset: {
        int picture = IsPercussionBank(fileBank) ? images.percussionImage : images.melodicImage;
        return {picture, picture};
    }
    case TreeItemKind::LoadedBank:
    case TreeItemKind::SoundFontFile:
        return {images.soundFontImage, images.soundFontImage};
    case TreeItemKind::DamagedSoundFontFile:
        return {images.damagedImage, images.damagedImage};
    case TreeItemKind::WaveFile:
        return {images.waveImage, images.waveImage};
    case TreeItemKind::Device:
        return {images.deviceImage, images.deviceImage};
    default:
        return {images.folderImage, images.folderOpenImage};
    }
}
