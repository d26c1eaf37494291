// The background of the tree's pictures: what is drawn transparently and what stays.

#include "browser/PictureBackground.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A picture drawn in letters, one string per row: each letter a colour. The background the
// function finds, drawn as '.' for background and '#' for the picture.
std::vector<std::string> Background(const std::vector<std::string>& rows)
{
    int width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    std::vector<std::uint32_t> pixels;
    for (const std::string& row : rows)
        for (char c : row)
            pixels.push_back(static_cast<std::uint32_t>(c));
    std::vector<bool> background = PictureBackground(pixels, width, static_cast<int>(rows.size()));
    std::vector<std::string> drawn;
    for (std::size_t y = 0; y < rows.size() && !background.empty(); ++y) {
        std::string line;
        for (int x = 0; x < width; ++x)
            line += background[y * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] ? '.' : '#';
        drawn.push_back(line);
    }
    return drawn;
}

} // namespace

TEST(PictureBackground, IsTheCornerColourReachedFromTheEdge)
{
    struct Case {
        const char* name;
        std::vector<std::string> picture;
        std::vector<std::string> background;
    };
    const Case cases[] = {
        {"a page enclosed by its outline keeps its white",
         {"wwwww", "wkkkw", "wkwkw", "wkkkw", "wwwww"},
         {".....", ".###.", ".###.", ".###.", "....."}},
        {"white reached through a gap in the outline is background",
         {"wwwww", "wkkkw", "wkwww", "wkkkw", "wwwww"},
         {".....", ".###.", ".#...", ".###.", "....."}},
        {"diagonal neighbours don't leak",
         {"wkw", "kwk", "wkw"},
         {".#.", "###", ".#."}},
        {"the corner's colour is the background, whatever it is",
         {"kkw", "kkw", "www"},
         {"..#", "..#", "###"}},
        {"a picture that fills its square has no background",
         {"ab", "cd"},
         {".#", "##"}},
        {"one colour throughout is all background", {"ww", "ww"}, {"..", ".."}},
        {"one pixel", {"w"}, {"."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Background(c.picture), c.background);
    }
}

TEST(PictureBackground, SizesThatDontMatchThePixelsGiveNone)
{
    const std::vector<std::uint32_t> pixels(6, 0);
    struct Case {
        int width, height;
    };
    for (const Case& c : {Case{0, 3}, Case{3, 0}, Case{-1, 2}, Case{4, 2}, Case{3, 3}, Case{7, 1}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        EXPECT_TRUE(PictureBackground(pixels, c.width, c.height).empty());
    }
    EXPECT_EQ(PictureBackground(pixels, 3, 2).size(), 6u);
}
