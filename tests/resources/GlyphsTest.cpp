#include "resources/Glyphs.h"

#include <QImage>
#include <gtest/gtest.h>

using resources::Glyph;

namespace {

struct Coverage
{
    int opaque = 0; // pixels at least half covered
    int clear = 0;  // untouched pixels
};

Coverage coverageOf(const QImage &image)
{
    Coverage c;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            c.opaque += alpha >= 128;
            c.clear += alpha == 0;
        }
    return c;
}

// Every glyph at the sizes its buttons show it.
const std::pair<Glyph, std::vector<int>> kShown[] = {
    {Glyph::Exit, {24, 32}},   {Glyph::Upgrade, {32}},     {Glyph::Lookup, {16}},
    {Glyph::Hotel, {48}},      {Glyph::Translation, {48}}, {Glyph::Purchase, {48}},
    {Glyph::Modeling, {48}},   {Glyph::Multimedia, {48}},  {Glyph::Sample, {48}},
    {Glyph::SiteBuild, {48}},  {Glyph::SitePromote, {48}}, {Glyph::Search, {16}},
    {Glyph::FolderOpen, {16}}, {Glyph::Credible, {16}},    {Glyph::Refresh, {16}},
    {Glyph::Export, {16}},
};

} // namespace

TEST(Glyphs, EachButtonGlyphIsADrawingOfItsOwnAtItsSizes)
{
    for (const auto &[which, sizes] : kShown) {
        for (int size : sizes) {
            const QImage image = resources::glyph(which, size).toImage();
            ASSERT_EQ(image.size(), QSize(size, size));
            const Coverage c = coverageOf(image);
            // Filled enough to read, and not a solid square: the button shows round it.
            EXPECT_GT(c.opaque, size * size / 8) << "glyph " << int(which) << " at " << size;
            EXPECT_GT(c.clear, size * size / 20) << "glyph " << int(which) << " at " << size;
        }
    }
    // No two glyphs share a drawing (a catch-all branch would draw them alike).
    for (const auto &first : kShown)
        for (const auto &second : kShown) {
            if (first.first < second.first) {
                EXPECT_NE(resources::glyph(first.first, 32).toImage(),
                          resources::glyph(second.first, 32).toImage())
                    << "glyphs " << int(first.first) << " and " << int(second.first);
            }
        }
}
