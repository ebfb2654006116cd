#include "CanvasTestSupport.h"

#include <gtest/gtest.h>

using namespace parvane::canvas;
using namespace parvane::canvas::testing;
using parvane::imaging::Bitmap;
using parvane::imaging::Colour;
using parvane::imaging::PixelFormat;
using parvane::imaging::Rect;
namespace colours = parvane::imaging::colours;

namespace {

bool allBlack(const Bitmap& b) {
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.pixel(x, y) != colours::kBlack)
                return false;
    return true;
}

} // namespace

TEST(LayerStack, StartUpStackIsBlackWithDefaultGridAndNormalCursor) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    EXPECT_EQ(c.Bitmap().width(), 256);
    EXPECT_EQ(c.Bitmap().height(), 512);
    EXPECT_TRUE(allBlack(c.Bitmap()));
    EXPECT_EQ(c.PortWidth(), 256);
    EXPECT_EQ(c.PortHeight(), 512);
    EXPECT_EQ(s.host.portWidth, 256);
    EXPECT_EQ(s.host.portHeight, 512);
    for (int i : {2, 3, 5, 8}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(c.layer(i).bitmap.width(), 256);
        EXPECT_EQ(c.layer(i).bitmap.height(), 512);
    }
    EXPECT_EQ(c.L6_Selection.bitmap.height(), FrameStackCore::kMinSelectionHeight);
    EXPECT_TRUE(allBlack(c.L6_Selection.bitmap));
    EXPECT_EQ(c.CellWidth, 64);
    EXPECT_EQ(c.CellHeight, 64);
    EXPECT_EQ(c.GridOffsetX, 0);
    EXPECT_EQ(c.GridOffsetY, 0);
    EXPECT_TRUE(c.SnapToGrid);
    EXPECT_EQ(c.GridStyle, GridStyle::Dotted);
    EXPECT_EQ(c.Mode, CanvasMode::Idle);
    EXPECT_FALSE(c.AutoExport);
    // Only the Image, the cursor and the overlay are shown; cursor and clip wait outside.
    const bool shown[] = {false, true, false, false, false, false, false, true, true};
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(c.layer(i).visible, shown[i]) << "layer " << i;
    EXPECT_EQ(c.L7_Cursor.left, FrameStackCore::kParkedLeft);
    EXPECT_EQ(c.L4_Clip.left, FrameStackCore::kParkedLeft);
    EXPECT_EQ(c.L7_Cursor.bitmap.width(), 64);
    EXPECT_EQ(c.L7_Cursor.bitmap.pixel(1, 1), (Colour{1, 1, 1})); // "crNormal"
    EXPECT_FALSE(c.L1_Image.transparent);
    EXPECT_FALSE(c.L2_Alpha.transparent);
    EXPECT_FALSE(c.L4_Clip.transparent);
    EXPECT_TRUE(c.L5_Grid.transparent);
}

TEST(LayerStack, InitStackAgainClearsThePictureOfTheOldPort) {
    CanvasFixtureState s;
    s.canvas.Bitmap().fill(colours::kMagenta);
    s.canvas.AutoExport = true;
    s.canvas.InitStack(256, 512);
    EXPECT_TRUE(allBlack(s.canvas.Bitmap()));
    EXPECT_FALSE(s.canvas.AutoExport);
}

TEST(LayerStack, WrittenImageWaitsForUpdateStackBeforeTheStackFollows) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    c.setBitmap(Bitmap(512, 1024));
    EXPECT_EQ(c.PortWidth(), 256);
    EXPECT_EQ(c.L5_Grid.bitmap.width(), 256);
    EXPECT_EQ(c.L6_Selection.bitmap.width(), 256);

    c.UpdateStack();
    c.UpdateGrid();
    EXPECT_EQ(c.PortWidth(), 512);
    EXPECT_EQ(c.PortHeight(), 1024);
    EXPECT_EQ(c.L6_Selection.bitmap.width(), 512);
    EXPECT_EQ(c.L6_Selection.bitmap.height(), 1537);
    for (int i : {2, 3, 5, 8})
        EXPECT_EQ(c.layer(i).bitmap.height(), 1024) << "layer " << i;
    EXPECT_EQ(c.GridCols, 8);
    EXPECT_EQ(c.GridRows, 16);

    // A tall picture lifts the selection layer above its minimum height.
    c.setBitmap(Bitmap(256, 2048));
    c.UpdateStack();
    EXPECT_EQ(c.L6_Selection.bitmap.height(), 2048);
}

TEST(LayerStack, SmallerPortShowsOnlyTheTopLeftOfTheImage) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    Bitmap picture(512, 1024);
    picture.fill(colours::kMagenta);
    c.setBitmap(picture);
    c.UpdateStack();
    c.UpdateImagePort(256, 256);
    c.UpdateGrid();
    EXPECT_EQ(c.Bitmap().width(), 512); // no bitmap changes
    EXPECT_EQ(c.GridRect, (Rect{0, 0, 256, 256}));
    EXPECT_EQ(c.GridCols, 4);

    Bitmap out(300, 300);
    c.setLayerVisible(c.L5_Grid, false);
    c.Composite({200, 200, 300, 300}, out);
    EXPECT_EQ(out.pixel(0, 0), colours::kMagenta); // (200, 200): inside the port
    EXPECT_EQ(out.pixel(60, 60), colours::kBlack); // (260, 260): not composed at all
}

TEST(LayerStack, EnlargedImageIsPaintedInFillColorAfterUpdateStack) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;
    c.UpdateStack();
    c.Image().resize(300, 600);
    EXPECT_EQ(c.Bitmap().pixel(290, 10), (Colour{128, 0, 0}));
    EXPECT_EQ(c.Bitmap().pixel(10, 590), (Colour{128, 0, 0}));
    EXPECT_EQ(c.Bitmap().pixel(10, 10), colours::kBlack);

    // The Target's owner turns it black.
    c.FillColor = colours::kBlack;
    c.UpdateStack();
    c.Image().resize(300, 700);
    EXPECT_EQ(c.Bitmap().pixel(10, 650), colours::kBlack);
}

TEST(LayerStack, AlphaViewOfEachPixelFormat) {
    CanvasFixtureState s;
    FrameStackCore& c = s.canvas;

    Bitmap wide(2, 1, PixelFormat::Bits32);
    const std::uint8_t px[8] = {10, 20, 30, 200, 1, 2, 3, 0};
    std::copy(px, px + 8, wide.row(0));
    c.setBitmap(wide);
    c.ExtractAlpha();
    const std::uint8_t* a = c.L2_Alpha.bitmap.row(0);
    EXPECT_EQ(std::vector<int>(a, a + 8), (std::vector<int>{200, 200, 200, 200, 0, 0, 0, 0}));

    for (PixelFormat f : {PixelFormat::Bits15, PixelFormat::Custom}) {
        Bitmap words(3, 1, f);
        const std::uint8_t w[6] = {0x00, 0x80, 0xFF, 0x7F, 0x34, 0x92};
        std::copy(w, w + 6, words.row(0));
        c.setBitmap(words);
        c.ExtractAlpha();
        const std::uint8_t* o = c.L2_Alpha.bitmap.row(0);
        EXPECT_EQ(std::vector<int>(o, o + 6),
                  (std::vector<int>{0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF}));
    }

    Bitmap rgb(4, 4, PixelFormat::Bits24);
    rgb.fill(colours::kMagenta);
    c.setBitmap(rgb);
    c.L2_Alpha.paint = colours::kBlack;
    c.ExtractAlpha();
    EXPECT_EQ(c.L2_Alpha.bitmap.format(), PixelFormat::Bits24);
    EXPECT_TRUE(allBlack(c.L2_Alpha.bitmap));

    Bitmap indexed(4, 1, PixelFormat::Bits8);
    indexed.setPalette(std::vector<Colour>(256, colours::kGreen));
    c.setBitmap(indexed);
    c.ExtractAlpha();
    EXPECT_EQ(c.L2_Alpha.bitmap, indexed);
}

TEST(LayerStack, CompositeKeepsOrderOpacityAndBlackKey) {
    CanvasFixtureState s(128, 128);
    FrameStackCore& c = s.canvas;
    const Colour blue{0, 0, 255};
    c.Bitmap().fill(blue);
    c.setLayerVisible(c.L5_Grid, true); // dotted grid: (0, 0) carries a light dot
    Bitmap clip(64, 64);
    clip.fill(colours::kBlack); // opaque layer: its black hides the Image
    clip.setPixel(10, 10, colours::kGreen);
    c.setClip(clip);
    c.setLayerVisible(c.L4_Clip, true);
    c.moveLayer(c.L4_Clip, 64, 64);
    c.moveLayer(c.L7_Cursor, 64, 0); // transparent: only its red corner pixel shows

    Bitmap out(128, 128);
    c.Composite({0, 0, 128, 128}, out);
    EXPECT_EQ(out.pixel(0, 0), (Colour{192, 192, 192}));
    EXPECT_EQ(out.pixel(1, 0), blue); // between dots the Image shows
    EXPECT_EQ(out.pixel(64 + 3, 64 + 5), colours::kBlack);
    EXPECT_EQ(out.pixel(74, 74), colours::kGreen);
    EXPECT_EQ(out.pixel(64, 0), colours::kRed); // cursor over the grid dot there
    EXPECT_EQ(out.pixel(65, 1), (Colour{1, 1, 1}));
    EXPECT_EQ(out.pixel(66, 2), blue);

    // Hidden layers are skipped, and a sub-area lands at the buffer's origin.
    c.setLayerVisible(c.L4_Clip, false);
    c.setLayerVisible(c.L1_Image, false);
    Bitmap part(10, 10);
    c.Composite({70, 70, 80, 80}, part);
    EXPECT_TRUE(allBlack(part));
}

TEST(LayerStack, CompositeShowsAPictureInTheFormatItWasReadIn) {
    CanvasFixtureState s(16, 16);
    Bitmap rgb(16, 16, PixelFormat::Bits24);
    rgb.fill(colours::kMagenta);
    s.canvas.setBitmap(rgb);
    s.canvas.UpdateStack();
    Bitmap out(16, 16);
    s.canvas.Composite({0, 0, 16, 16}, out);
    EXPECT_EQ(out.pixel(5, 5), colours::kMagenta);
}
