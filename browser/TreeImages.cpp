#include "browser/TreeImages.h"

#include "sf2/PresetHeader.h"

ItemImages ImagesFor(const TreeImages& images, const TreeItemRecord& record)
{
    switch (record.kind) {
    case TreeItemKind::BankPreset:
    case TreeItemKind::FilePreset: {
        int picture = IsPercussionBank(record.fileBank) ? images.percussionImage : images.melodicImage;
        return {picture, picture};
    }
    case TreeItemKind::LoadedBank:
    case TreeItemKind::SoundFontFile:
        return {images.soundFontImage, images.soundFontImage};
    case TreeItemKind::DamagedSoundFontFile:
        return {images.damagedImage, images.damagedImage};
    case TreeItemKind::WaveFile:
        return {images.waveImage, images.waveImage};
    case TreeItemKind::Device: {
        int picture = record.softwareDevice ? images.softDeviceImage : images.deviceImage;
        return {picture, picture};
    }
    default:
        return {images.folderImage, images.folderOpenImage};
    }
}
