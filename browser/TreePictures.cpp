#include "browser/TreePictures.h"

#include "browser/PictureBackground.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

// A monochrome mask, set where the picture is background. Rows of CreateBitmap's bits are
// padded to whole 16-bit words.
HBITMAP MaskOf(const std::vector<bool>& background, int width, int height)
{
    const std::size_t stride = (static_cast<std::size_t>(width) + 15) / 16 * 2;
    std::vector<BYTE> bits(stride * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (background[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)])
                bits[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) / 8] |=
                    static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    return CreateBitmap(width, height, 1, 1, bits.data());
}

} // namespace

int AddPictureWithClearBackground(HIMAGELIST list, HBITMAP bitmap)
{
    BITMAP info = {};
    if (!list || !bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return -1;
    const int width = info.bmWidth;
    const int height = info.bmHeight;
    BITMAPINFO format = TopDown32(width, height);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &format, DIB_RGB_COLORS);
    std::vector<bool> background = PictureBackground(pixels, width, height);
    // The list draws a masked picture by cutting the mask out and painting the colours over
    // it: the colours must be black where the mask is set.
    for (std::size_t i = 0; i < background.size(); ++i) {
        if (background[i])
            pixels[i] = 0;
    }
    void* bits = nullptr;
    HBITMAP colours = rows == height ? CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    ReleaseDC(nullptr, screen);
    if (!colours)
        return -1;
    std::memcpy(bits, pixels.data(), pixels.size() * sizeof pixels[0]);
    HBITMAP mask = MaskOf(background, width, height);
    int index = mask ? ImageList_Add(list, colours, mask) : -1;
    DeleteObject(mask);
    DeleteObject(colours);
    return index;
}
