// The tree's pictures drawn from their image list on colour schemes other than the classic
// white: the background takes the window's colour, the picture keeps its own, white included.

#include "base/resource.h"
#include "browser/PictureBackground.h"
#include "browser/TreePictures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kSize = 16;

std::vector<std::uint32_t> PixelsOf(HDC dc, HBITMAP bitmap)
{
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = kSize;
    format.bmiHeader.biHeight = -kSize;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(kSize * kSize);
    GetDIBits(dc, bitmap, 0, kSize, pixels.data(), &format, DIB_RGB_COLORS);
    for (std::uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

// The picture `index` of `list` drawn on a square of `colour`.
std::vector<std::uint32_t> DrawnOn(HIMAGELIST list, int index, COLORREF colour)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, kSize, kSize);
    HGDIOBJ old = SelectObject(dc, canvas);
    RECT all = {0, 0, kSize, kSize};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
    SelectObject(dc, old);
    std::vector<std::uint32_t> pixels = PixelsOf(dc, canvas);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// A COLORREF as the 0x00RRGGBB of a 32-bit DIB pixel.
std::uint32_t AsPixel(COLORREF colour)
{
    return (static_cast<std::uint32_t>(GetRValue(colour)) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

} // namespace

TEST(TreePictures, DrawOnAnyBackgroundKeepingTheirOwnColours)
{
    HIMAGELIST list = ImageList_Create(kSize, kSize, ILC_COLOR24 | ILC_MASK, 8, 0);
    ASSERT_NE(list, nullptr);
    const int pictures[] = {IDB_FOLDER_OPEN, IDB_FOLDER, IDB_MELODIC, IDB_PERCUSSION,
                            IDB_SOUNDFONT,   IDB_WAVE,   IDB_DEVICE, IDB_DAMAGED};
    // Black, as on a high-contrast black scheme; a dark blue; the classic white.
    const COLORREF backgrounds[] = {RGB(0, 0, 0), RGB(0, 0, 0x80), RGB(0xFF, 0xFF, 0xFF)};
    for (int picture : pictures) {
        SCOPED_TRACE(picture);
        HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(picture));
        ASSERT_NE(bitmap, nullptr);
        HDC screen = GetDC(nullptr);
        std::vector<std::uint32_t> original = PixelsOf(screen, bitmap);
        ReleaseDC(nullptr, screen);
        int index = AddPictureWithClearBackground(list, bitmap);
        DeleteObject(bitmap);
        ASSERT_GE(index, 0);
        std::vector<bool> background = PictureBackground(original, kSize, kSize);
        ASSERT_TRUE(background.at(0));
        for (COLORREF colour : backgrounds) {
            SCOPED_TRACE(colour);
            std::vector<std::uint32_t> drawn = DrawnOn(list, index, colour);
            int wrong = 0;
            for (std::size_t i = 0; i < drawn.size(); ++i)
                wrong += drawn[i] != (background[i] ? AsPixel(colour) : original[i]);
            EXPECT_EQ(wrong, 0);
        }
    }
    EXPECT_EQ(AddPictureWithClearBackground(list, nullptr), -1);
    ImageList_Destroy(list);
}
