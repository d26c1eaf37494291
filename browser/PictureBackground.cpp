#include "browser/PictureBackground.h"

#include <cstddef>

std::vector<bool> PictureBackground(const std::vector<std::uint32_t>& pixels, int width, int height)
{
    if (width <= 0 || height <= 0 || pixels.size() / static_cast<std::size_t>(width) < static_cast<std::size_t>(height))
        return {};
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    const std::uint32_t colour = pixels[0];
    std::vector<bool> background(w * h, false);
    std::vector<std::size_t> pending;
    auto reach = [&](std::size_t index) {
        if (!background[index] && pixels[index] == colour) {
            background[index] = true;
            pending.push_back(index);
        }
    };
    for (std::size_t x = 0; x < w; ++x) {
        reach(x);
        reach((h - 1) * w + x);
    }
    for (std::size_t y = 0; y < h; ++y) {
        reach(y * w);
        reach(y * w + w - 1);
    }
    while (!pending.empty()) {
        std::size_t index = pending.back();
        pending.pop_back();
        std::size_t x = index % w;
        std::size_t y = index / w;
        if (x > 0)
            reach(index - 1);
        if (x + 1 < w)
            reach(index + 1);
        if (y > 0)
            reach(index - w);
        if (y + 1 < h)
            reach(index + w);
    }
    return background;
}
