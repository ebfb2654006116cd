// Layers kept as marks (grid, selection, paste outline, black layers) must compose exactly as
// the same layers kept as whole bitmaps. Two canvases take the same actions: in the reference
// every layer's bitmap was asked for at once, so it stays whole and is drawn pixel by pixel;
// the other keeps what it can as marks. Every combination of shown layers is composed over
// random areas of the first and compared with a plain per-pixel composition of the reference.
#include "CanvasTestSupport.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace parvane::canvas;
using namespace parvane::canvas::testing;
using parvane::imaging::Bitmap;
using parvane::imaging::PixelFormat;
using parvane::imaging::Rect;

namespace {

constexpr ShiftState kNoKeys{};

// The composition of a stored-whole canvas, one pixel at a time: black, then each shown layer
// from its top-left corner, cut to its on-screen size and the port; a see-through layer's
// black lets the layers below show.
Bitmap referenceComposite(const FrameStackCore& c, const Rect& area) {
    const Rect port{0, 0, c.PortWidth(), c.PortHeight()};
    const Rect a = area.intersected(port);
    Bitmap out(a.width(), a.height());
    for (int i = 1; i <= 8; ++i) {
        const Layer& l = c.layer(i);
        if (!l.visible)
            continue;
        const Bitmap& b = l.bitmap;
        const Rect screen = l.screenRect(c.PortWidth(), c.PortHeight()).intersected(a);
        const int ox = l.aligned ? 0 : l.left;
        const int oy = l.aligned ? 0 : l.top;
        for (int y = screen.top; y < screen.bottom; ++y)
            for (int x = screen.left; x < screen.right; ++x) {
                if (!b.rect().contains(x - ox, y - oy))
                    continue;
                std::uint8_t px[4] = {};
                if (b.format() == PixelFormat::Bits32) {
                    std::memcpy(px, b.row(y - oy) + 4 * (x - ox), 4);
                } else {
                    const auto colour = b.pixel(x - ox, y - oy);
                    px[0] = colour.blue;
                    px[1] = colour.green;
                    px[2] = colour.red;
                }
                if (l.transparent && (px[0] | px[1] | px[2]) == 0)
                    continue;
                std::memcpy(out.row(y - a.top) + 4 * (x - a.left), px, 4);
            }
    }
    return out;
}

struct Canvases {
    RecordingHost subjectHost, referenceHost;
    FrameStackCore subject, reference;

    Canvases(int width, int height, int cell, GridStyle style) {
        for (auto [canvas, host] :
             {std::pair{&subject, &subjectHost}, std::pair{&reference, &referenceHost}}) {
            canvas->setHost(host);
            canvas->InitStack(width, height);
            canvas->InitGrid(cell, cell);
            canvas->GridStyle = style;
            canvas->UpdateGrid();
        }
        for (int i = 1; i <= 8; ++i)
            static_cast<void>(static_cast<const Bitmap&>(reference.layer(i).bitmap));
        unsigned seed = 99;
        for (FrameStackCore* c : {&subject, &reference}) {
            Bitmap& image = c->Bitmap();
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    seed = seed * 1103515245u + 12345u;
                    std::memcpy(image.row(y) + 4 * x, &seed, 4);
                }
            seed = 99;
            c->ExtractAlpha();
        }
    }

    template <typename Action> void act(Action action) {
        action(subject);
        action(reference);
    }
};

} // namespace

TEST(LayerComposite, EveryLayerCombinationMatchesTheStoredWholeLayers) {
    struct Case {
        int width, height, cell;
        GridStyle style;
    };
    for (const Case k :
         {Case{256, 512, 64, GridStyle::Dotted}, Case{300, 200, 7, GridStyle::Dotted},
          Case{130, 1700, 16, GridStyle::Lines}, Case{40, 30, 1, GridStyle::Dotted}}) {
        SCOPED_TRACE(::testing::Message() << k.width << "x" << k.height << " cell " << k.cell);
        Canvases c(k.width, k.height, k.cell, k.style);
        for (int i : {3, 5, 6, 8})
            EXPECT_FALSE(c.subject.layer(i).bitmap.keptWhole()) << "layer " << i;
        const int w = k.width, h = k.height, cell = k.cell;
        // Each step leaves different marks on the layers: cursor, grab frame, clip and paste
        // outline, a grid placed by double clicks, a range outline over rows, a port smaller
        // than the layers, a stack set up again over a smaller port.
        const std::vector<std::function<void(FrameStackCore&)>> steps{
            [&](FrameStackCore& f) { f.MouseIsOnMove(kNoKeys, w / 3, h / 3); },
            [&](FrameStackCore& f) {
                f.MouseIsDown(MouseButton::Left, kNoKeys, w / 3, h / 3);
                f.MouseIsOnMove(kNoKeys, w - 2, h - 2);
                f.MouseIsOnMove(kNoKeys, w / 2, h / 2 + cell);
            },
            [&](FrameStackCore& f) {
                f.MouseIsUp(MouseButton::Left, kNoKeys, w / 2, h / 2 + cell);
                f.SetModeToPaste();
                f.MouseIsOnMove(kNoKeys, w / 4, h / 5);
            },
            [&](FrameStackCore& f) {
                f.MouseIsDown(MouseButton::Right, kNoKeys, 1, 1);
                f.MouseIsOnMove(kNoKeys, w / 2 + 3, h / 2 + 5);
                f.MouseIsDoubleClick();
                f.MouseIsOnMove(kNoKeys, w / 2 + 3, h / 2 + 5);
                f.MouseIsDoubleClick();
            },
            [&](FrameStackCore& f) {
                f.MouseIsOnMove(kNoKeys, w / 2, cell + 1);
                f.MouseIsDown(MouseButton::Right, kNoKeys, w / 2, cell + 1);
                f.MouseIsOnMove(kNoKeys, 2, 3 * cell + 1);
                f.MouseIsOnMove(kNoKeys, w - 1, 2 * cell + 1);
            },
            [&](FrameStackCore& f) {
                f.UpdateImagePort(w / 2, h / 2);
                f.UpdateGrid();
                f.UpdateStack();
            },
            [&](FrameStackCore& f) {
                f.SetModeToIdle();
                f.MouseIsOnMove(kNoKeys, 1, 1);
                f.MouseIsDown(MouseButton::Left, kNoKeys, 1, 1);
                f.MouseIsOnMove(kNoKeys, w - 1, h - 1);
                f.UpdateImagePort(w / 4, h / 4);
                f.InitStack(w, h);
                f.MouseIsOnMove(kNoKeys, w / 2, h / 2);
            },
        };
        unsigned seed = 7;
        auto next = [&seed](int n) {
            seed = seed * 1103515245u + 12345u;
            return static_cast<int>((seed >> 8) % static_cast<unsigned>(n));
        };
        for (std::size_t step = 0; step < steps.size(); ++step) {
            c.act(steps[step]);
            if (step + 1 == steps.size()) // the selection frame met the smaller port
                EXPECT_TRUE(c.subject.L6_Selection.bitmap.keptWhole());
            else
                EXPECT_FALSE(c.subject.L6_Selection.bitmap.keptWhole()) << "step " << step;
            for (int shown = 0; shown < 256; ++shown) {
                for (int i = 1; i <= 8; ++i) {
                    c.subject.layer(i).visible = (shown >> (i - 1)) & 1;
                    c.reference.layer(i).visible = (shown >> (i - 1)) & 1;
                }
                const Rect area = shown == 255
                                      ? Rect{0, 0, w, h}
                                      : Rect::fromSize(next(w + 20) - 10, next(h + 20) - 10,
                                                       1 + next(60), 1 + next(60));
                Bitmap out(std::max(area.width(), 1), std::max(area.height(), 1));
                c.subject.Composite(area, out);
                const Bitmap expected = referenceComposite(c.reference, area);
                Bitmap got(expected.width(), expected.height());
                got.copyRect({0, 0}, out, expected.rect());
                ASSERT_TRUE(samePixels(got, expected))
                    << "step " << step << ", layers shown " << shown << ", area " << area.left
                    << "," << area.top << " " << area.width() << "x" << area.height();
            }
        }
        // The alpha view is released while hidden and made again when shown.
        const Bitmap view = c.reference.L2_Alpha.bitmap;
        c.subject.setLayerVisible(c.subject.L2_Alpha, true);
        c.subject.setLayerVisible(c.subject.L2_Alpha, false);
        EXPECT_FALSE(c.subject.L2_Alpha.bitmap.keptWhole());
        c.subject.setLayerVisible(c.subject.L2_Alpha, true);
        EXPECT_TRUE(c.subject.L2_Alpha.bitmap == view);
    }
}
