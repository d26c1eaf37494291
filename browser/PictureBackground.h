#pragma once
// Which pixels of a small picture are its background, so that it can be drawn transparently on
// any colour scheme: the pixels of the top-left corner's colour that the picture's edge reaches
// without crossing another colour. The same colour enclosed by an outline (the white page of a
// document, the keys of a keyboard) belongs to the picture.

#include <cstdint>
#include <vector>

// `pixels` holds `width` x `height` colours, row by row from the top; the result has one entry
// per pixel, true for the background. An empty picture, or pixels fewer than its size, has none.
std::vector<bool> PictureBackground(const std::vector<std::uint32_t>& pixels, int width, int height);
