#pragma once
// The tree's pictures: indices into the window's image list, and which picture a kind shows.

#include "browser/TreeItemData.h"

struct TreeImages {
    int folderOpenImage = 0;
    int folderImage = 0;
    int soundFontImage = 0;
    int waveImage = 0;
    int melodicImage = 0;
    int percussionImage = 0;
    int deviceImage = 0;
    int softDeviceImage = 0;
    int damagedImage = 0;
};

struct ItemImages {
    int normal;
    int selected;
};

ItemImages ImagesFor(const TreeImages& images, const TreeItemRecord& record);
