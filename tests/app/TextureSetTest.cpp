// The Target's document and its undo steps, without a window: a plain canvas core stands for
// the Target canvas.
#include "document/TextureSet.h"

#include "canvas/FrameStackCore.h"
#include "document/TargetCommands.h"

#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

namespace parvane::document {
namespace {

using imaging::Bitmap;
using imaging::Colour;
using imaging::Rect;

// A picture whose every pixel tells where it is, so that any moved or lost pixel shows.
Bitmap traced(int width, int height) {
    Bitmap picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y,
                             {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y),
                              static_cast<std::uint8_t>(x / 256 + 8 * (y / 256))});
    return picture;
}

class TextureSetTest : public ::testing::Test {
protected:
    TextureSetTest() : set(canvas) {
        canvas.InitStack(256, 512);
        canvas.InitGrid(64, 64);
        canvas.setBitmap(traced(256, 512));
        set.setPages(1, 2);
    }

    // The canvas paints an area the way a paste does: told first, then changed.
    void paint(const Rect& area, Colour colour) {
        set.beginAreas();
        set.areaAboutToChange(area);
        canvas.Bitmap().fillRect(area, colour);
        set.finishAreas();
    }

    struct Shown {
        Bitmap picture;
        TargetState state;
        int portWidth, portHeight;
        bool operator==(const Shown&) const = default;
    };
    Shown shown() const {
        return {canvas.Bitmap(), set.state(), canvas.PortWidth(), canvas.PortHeight()};
    }

    canvas::FrameStackCore canvas;
    TextureSet set;
};

TEST_F(TextureSetTest, UndoAndRedoOfEachKindOfEditRestoreThePictureThePagesAndTheNames) {
    const struct {
        const char* edit;
        std::function<void()> run;
    } edits[] = {
        {"overlapping areas of one click",
         [&] {
             set.beginAreas();
             for (const Rect& area :
                  {Rect::fromSize(0, 0, 128, 64), Rect::fromSize(64, 0, 64, 128)}) {
                 set.areaAboutToChange(area);
                 canvas.Bitmap().fillRect(area, Colour{200, 0, 0});
             }
             set.finishAreas();
         }},
        {"the picture replaced by a wider one, named as a fresh set",
         [&] {
             const TargetState before = set.state();
             const TextureSet::ChangeScope change(set);
             Bitmap picture = traced(300, 700);
             std::swap(canvas.Bitmap(), picture);
             set.recordPicture(std::move(picture), before);
             set.setFill(Colour{0, 0, 200});
             set.adoptPicture();
             set.nameCreateNew(true);
         }},
        {"pages grown by the counters", [&] { set.setPages(2, 5); }},
    };
    set.setFill(Colour{0, 90, 0});
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.edit);
        const int steps = set.stepIndex();
        const Shown before = shown();
        edit.run();
        const Shown after = shown();
        ASSERT_NE(after.picture, before.picture);
        EXPECT_EQ(set.stepIndex(), steps + 1) << "one step for the edit";
        EXPECT_EQ(set.stepCount(), steps + 1) << "in place of the one undone before";
        set.undo();
        EXPECT_TRUE(shown() == before);
        set.redo();
        EXPECT_TRUE(shown() == after);
        set.undo();
    }
    // The grown pages took the fill colour they were painted with, whatever it is now.
    set.setFill(Colour{0, 90, 0});
    set.setPages(2, 3);
    set.setFill(Colour{1, 1, 1});
    set.undo();
    set.redo();
    EXPECT_EQ(canvas.Bitmap().pixel(300, 600), (Colour{0, 90, 0}));
    EXPECT_EQ(canvas.PortWidth(), 512);
    EXPECT_EQ(canvas.PortHeight(), 768);
}

TEST_F(TextureSetTest, TheViewsHearOfPagesAndNames) {
    QSignalSpy pages(&set, &TextureSet::pagesChanged);
    QSignalSpy names(&set, &TextureSet::namesChanged);
    set.setPages(1, 4);
    set.setPages(2, 4);
    ASSERT_EQ(pages.count(), 2);
    EXPECT_FALSE(pages.at(0).at(0).toBool()) << "a taller set keeps the window's width";
    EXPECT_TRUE(pages.at(1).at(0).toBool());
    set.markSaved("/tmp/set.tga");
    EXPECT_EQ(names.count(), 1);
    EXPECT_EQ(set.state().item0, TargetName::file("/tmp/set.tga"));
    // Create New names the caption; item 0 keeps the file, and the menu shows Create New.
    set.startNew(Colour{});
    EXPECT_TRUE(set.showsCreateNew());
    EXPECT_EQ(set.state().item0, TargetName::file("/tmp/set.tga"));
    set.showCaption();
    EXPECT_FALSE(set.showsCreateNew());
    EXPECT_EQ(set.savedPath(), std::filesystem::path("/tmp/set.tga"));
}

TEST_F(TextureSetTest, TheSetIsUnchangedAtItsSavedOrReloadedPointAndOnlyThere) {
    EXPECT_FALSE(set.changed());
    paint(Rect::fromSize(0, 0, 64, 64), Colour{9, 9, 9});
    EXPECT_TRUE(set.changed());
    set.markSaved("/tmp/a.tga");
    EXPECT_FALSE(set.changed());
    paint(Rect::fromSize(64, 0, 64, 64), Colour{9, 9, 9});
    set.undo();
    EXPECT_FALSE(set.changed()) << "undone back to what was saved";
    set.undo();
    EXPECT_TRUE(set.changed()) << "undone past it";
    set.redo();
    EXPECT_FALSE(set.changed());
    // Lowering a counter is no step, but the save would write less.
    set.setPages(1, 1);
    EXPECT_EQ(set.stepIndex(), 1);
    EXPECT_TRUE(set.changed());
    set.setPages(1, 2);
    EXPECT_FALSE(set.changed());
    // A new step in place of undone ones leaves the saved point unreachable.
    paint(Rect::fromSize(0, 64, 64, 64), Colour{1, 2, 3});
    set.undo();
    set.undo();
    paint(Rect::fromSize(0, 128, 64, 64), Colour{1, 2, 3});
    set.undo();
    EXPECT_TRUE(set.changed());
    // A reload is the file again.
    set.markReloaded("/tmp/b.tga");
    set.markUnchanged();
    EXPECT_FALSE(set.changed());
    EXPECT_EQ(set.reloadedPath(), std::filesystem::path("/tmp/b.tga"));
}

TEST_F(TextureSetTest, TheBudgetDropsTheOldestStepsAndTheSavedPointWithThem) {
    const std::size_t oneCell = AreasChanged(set).bytes() + 64 * 64 * 4 + 256;
    set.setBudget(3 * oneCell);
    const Bitmap start = canvas.Bitmap();
    set.markUnchanged();
    for (int i = 0; i < 5; ++i)
        paint(Rect::fromSize(64 * (i % 4), 64 * (i / 4), 64, 64),
              Colour{static_cast<std::uint8_t>(40 * i + 10), 0, 0});
    EXPECT_LE(set.keptBytes(), set.budget());
    EXPECT_EQ(set.stepCount(), 3);
    while (set.canUndo())
        set.undo();
    // The two oldest cells stay painted; the three newest went back.
    EXPECT_EQ(canvas.Bitmap().pixel(5, 5), (Colour{10, 0, 0}));
    EXPECT_EQ(canvas.Bitmap().pixel(70, 5), (Colour{50, 0, 0}));
    EXPECT_EQ(canvas.Bitmap().pixel(130, 5), start.pixel(130, 5));
    EXPECT_TRUE(set.changed()) << "the saved point went with the oldest steps";
    // The newest step stays whatever it costs.
    set.setBudget(1);
    paint(Rect::fromSize(0, 0, 256, 512), Colour{7, 7, 7});
    EXPECT_EQ(set.stepCount(), 1);
    set.undo();
    EXPECT_EQ(canvas.Bitmap().pixel(5, 5), (Colour{10, 0, 0}));
}

} // namespace
} // namespace parvane::document
