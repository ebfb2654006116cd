#include "canvas/ImageStack.h"
#include "resources/Resources.h"
#include "support/TestData.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <fstream>
#include <gtest/gtest.h>

using namespace parvane::canvas;
using parvane::imaging::Bitmap;
using parvane::imaging::Colour;
namespace colours = parvane::imaging::colours;

namespace {

// A canvas set up as the main window does it, with the overlay's events routed to the
// mouse operations (the Source wiring, double click included).
struct Canvas {
    TFrameStack stack;

    explicit Canvas(int width = 256, int height = 512, bool doubleClick = true) {
        stack.InitStack(width, height);
        stack.InitGrid(64, 64);
        QObject::connect(&stack, &TFrameStack::overlayMousePressed, &stack,
                         [this](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                             stack.MouseIsDown(b, m, x, y);
                         });
        QObject::connect(&stack, &TFrameStack::overlayMouseMoved, &stack,
                         [this](Qt::MouseButtons, Qt::KeyboardModifiers m, int x, int y) {
                             stack.MouseIsOnMove(m, x, y);
                         });
        QObject::connect(&stack, &TFrameStack::overlayMouseReleased, &stack,
                         [this](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                             stack.MouseIsUp(b, m, x, y);
                         });
        if (doubleClick)
            QObject::connect(&stack, &TFrameStack::overlayDoubleClicked, &stack,
                             [this](int, int) { stack.MouseIsDoubleClick(); });
    }

    void mouse(QEvent::Type type, int x, int y, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF p(x, y);
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                      : type == QEvent::MouseMove        ? Qt::MouseButtons{}
                                                                         : button;
        QMouseEvent event(type, p, stack.BasePanel->mapToGlobal(p), button, held, modifiers);
        QApplication::sendEvent(stack.BasePanel, &event);
    }
};

Colour at(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return {static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
            static_cast<std::uint8_t>(qBlue(p))};
}

void dropFiles(TFrameStack& stack, const QList<QUrl>& urls, bool* enterAccepted = nullptr) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&stack, &enter);
    if (enterAccepted)
        *enterAccepted = enter.isAccepted();
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&stack, &drop);
}

} // namespace

TEST(ImageStackWidget, DropDeliversOnlyTheFirstFileEvenWithAVeryLongPath) {
    parvane::testing::ScratchDir dir;
    std::filesystem::path deep = dir.path();
    for (int i = 0; i < 3; ++i)
        deep /= std::string(100, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    const std::filesystem::path first = deep / "first tile.tga";
    std::ofstream(first) << "x";
    std::ofstream(dir.file("second.bmp")) << "x";
    ASSERT_GT(first.string().size(), 300u);

    Canvas c;
    EXPECT_EQ(c.stack.DragNDrop->text(), "NO");
    EXPECT_FALSE(c.stack.DragNDrop->isVisibleTo(&c.stack));
    QStringList delivered;
    QObject::connect(c.stack.DragNDrop, &QLineEdit::textChanged, [&](const QString& text) {
        if (text == "NO")
            return;
        delivered << text;
        c.stack.DragNDrop->setText("NO"); // the owner takes the path and resets the field
    });
    const QList<QUrl> urls{QUrl::fromLocalFile(QString::fromStdString(first.string())),
                           QUrl::fromLocalFile(QString::fromStdString(dir.file("second.bmp"))),
                           QUrl::fromLocalFile("/tmp/third.pcx")};
    bool accepted = false;
    dropFiles(c.stack, urls, &accepted);
    EXPECT_TRUE(accepted);
    dropFiles(c.stack, urls); // the same file again is delivered again
    ASSERT_EQ(delivered.size(), 2);
    EXPECT_EQ(delivered[0], QString::fromStdString(first.string()));
    EXPECT_EQ(delivered[1], delivered[0]);
    EXPECT_EQ(c.stack.DragNDrop->text(), "NO");

    // Only web addresses: nothing to take.
    dropFiles(c.stack, {QUrl("https://example.org/a.bmp")}, &accepted);
    EXPECT_FALSE(accepted);
    EXPECT_EQ(delivered.size(), 2);
}

TEST(ImageStackWidget, OverlayEventsReachTheOwnerAndDriveAGrab) {
    Canvas c;
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 256; ++x)
            c.stack.Bitmap().setPixel(x, y, {static_cast<std::uint8_t>(x), 40, 90});
    std::vector<std::tuple<int, int, int>> presses;
    QObject::connect(&c.stack, &TFrameStack::overlayMousePressed,
                     [&](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                         presses.emplace_back(int(b) | (m.testFlag(Qt::ControlModifier) << 8), x,
                                              y);
                     });
    c.mouse(QEvent::MouseMove, 70, 10, Qt::NoButton);
    c.mouse(QEvent::MouseButtonPress, 70, 10, Qt::LeftButton, Qt::ControlModifier);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0], std::make_tuple(int(Qt::LeftButton) | 256, 70, 10));
    EXPECT_EQ(c.stack.Mode, CanvasMode::Grab);
    c.mouse(QEvent::MouseMove, 140, 80, Qt::LeftButton);
    c.mouse(QEvent::MouseButtonRelease, 140, 80);
    EXPECT_EQ(c.stack.Mode, CanvasMode::Idle);
    EXPECT_EQ(c.stack.SelectionRect, (parvane::imaging::Rect{64, 0, 192, 128}));
    EXPECT_EQ(c.stack.Clip().bitmap.pixel(0, 0), (Colour{64, 40, 90}));
}

TEST(ImageStackWidget, DoubleClickComesBeforeItsPressAndCanBeLeftUnconnected) {
    for (bool wired : {true, false}) {
        Canvas c(256, 512, wired);
        std::vector<std::string> order;
        QObject::connect(&c.stack, &TFrameStack::overlayDoubleClicked,
                         [&](int, int) { order.push_back("double"); });
        QObject::connect(
            &c.stack, &TFrameStack::overlayMousePressed,
            [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { order.push_back("press"); });
        c.mouse(QEvent::MouseButtonDblClick, 100, 70);
        EXPECT_EQ(order, (std::vector<std::string>{"double", "press"}));
        // Only the Source's wiring leaves the default grid for free mode.
        EXPECT_EQ(c.stack.SnapToGrid, !wired);
    }
}

TEST(ImageStackWidget, LeavingThePanelParksCursorAndClip) {
    Canvas c;
    c.mouse(QEvent::MouseMove, 70, 70, Qt::NoButton);
    EXPECT_EQ(c.stack.L7_Cursor.left, 64);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(c.stack.BasePanel, &leave);
    EXPECT_EQ(c.stack.L7_Cursor.left, FrameStackCore::kParkedLeft);
    EXPECT_EQ(c.stack.L4_Clip.left, FrameStackCore::kParkedLeft);
}

TEST(ImageStackWidget, PanelShowsTheComposedLayers) {
    Canvas c(128, 128);
    c.stack.Bitmap().fill(colours::kRed);
    c.stack.setLayerVisible(c.stack.L5_Grid, true);
    Bitmap tile(64, 64);
    tile.fill({0, 0, 200});
    c.stack.setClip(tile);
    c.stack.SetModeToPaste();
    c.mouse(QEvent::MouseMove, 70, 70, Qt::NoButton);
    EXPECT_EQ(c.stack.BasePanel->size(), QSize(128, 128));

    const QImage shot = c.stack.BasePanel->grab().toImage();
    ASSERT_EQ(shot.size(), QSize(128, 128));
    EXPECT_EQ(at(shot, 0, 0), (Colour{192, 192, 192})); // grid dot over the Image
    EXPECT_EQ(at(shot, 1, 0), colours::kRed);
    EXPECT_EQ(at(shot, 30, 30), colours::kRed);
    EXPECT_EQ(at(shot, 90, 90), (Colour{0, 0, 200})); // clip hides the Image
    EXPECT_EQ(at(shot, 64, 100), colours::kYellow);   // paste outline above grid and clip
    EXPECT_EQ(c.stack.cursor().shape(), Qt::SizeAllCursor);

    c.stack.SetModeToIdle();
    EXPECT_EQ(c.stack.cursor().shape(), Qt::ArrowCursor);
    const QImage idle = c.stack.BasePanel->grab().toImage();
    EXPECT_EQ(at(idle, 90, 90), colours::kRed);
}

TEST(ImageStackWidget, CursorPicturesComeFromTheResources) {
    Canvas c;
    struct Case {
        int cell, arm;
    };
    for (const Case& k : {Case{64, 21}, Case{32, 10}, Case{16, 5}, Case{8, 3}}) {
        SCOPED_TRACE(k.cell);
        c.stack.InitGrid(k.cell, k.cell);
        c.stack.SetCursorToDefault();
        const Bitmap& p = c.stack.L7_Cursor.bitmap;
        ASSERT_EQ(p.width(), k.cell);
        ASSERT_EQ(p.height(), k.cell);
        const int n = k.cell - 1;
        for (auto [x, y] : {std::pair{0, 0},
                            {k.arm - 1, 0},
                            {0, k.arm - 1},
                            {n, n},
                            {n - k.arm + 1, n},
                            {n, n - k.arm + 1}})
            EXPECT_EQ(p.pixel(x, y), colours::kRed) << x << "," << y;
        for (auto [x, y] : {std::pair{k.arm, 0}, {0, k.arm}, {n - k.arm, n}, {1, 1}})
            EXPECT_EQ(p.pixel(x, y), colours::kBlack) << x << "," << y;
    }

    for (const char* name : {"crRotate", "crHFlip", "crVFlip", "crSwap", "crHand"}) {
        SCOPED_TRACE(name);
        const QImage picture(parvane::resources::cursorPicturePath(name));
        ASSERT_EQ(picture.size(), QSize(64, 64));
        int symbol = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const Colour col = at(picture, x, y);
                ASSERT_TRUE(col == colours::kRed || col == colours::kBlack);
                symbol += (x > 4 && x < 59 && y > 4 && y < 59 && col == colours::kRed);
            }
        EXPECT_GT(symbol, 30);
        EXPECT_EQ(at(picture, 0, 0), colours::kRed);
        EXPECT_EQ(at(picture, 32, 0), colours::kBlack);
    }
}

TEST(ImageStackWidget, AutomaticExportPutsTheGrabOnTheClipboard) {
    Canvas c;
    c.stack.Bitmap().fill({10, 200, 30});
    c.stack.AutoExport = true;
    c.mouse(QEvent::MouseMove, 10, 10, Qt::NoButton);
    c.mouse(QEvent::MouseButtonPress, 10, 10);
    const QImage exported = QApplication::clipboard()->image();
    ASSERT_EQ(exported.size(), QSize(64, 64));
    EXPECT_EQ(at(exported, 5, 5), (Colour{10, 200, 30}));
    c.mouse(QEvent::MouseButtonRelease, 10, 10);
}

TEST(ImageStackWidget, GrabNearTheVisibleEdgeScrollsTheBox) {
    Canvas c(512, 1024);
    c.stack.resize(240, 240);
    c.stack.show();
    QScrollBar* bar = c.stack.ScrollBoxImageStack->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 100);
    bar->setValue(100);
    c.mouse(QEvent::MouseMove, 130, 100, Qt::NoButton);
    c.mouse(QEvent::MouseButtonPress, 130, 100);
    c.mouse(QEvent::MouseMove, 110, 100, Qt::LeftButton); // cursor at 64 < 100 + 16
    EXPECT_EQ(bar->value(), 94);
    c.mouse(QEvent::MouseButtonRelease, 110, 100);
    EXPECT_FALSE(c.stack.TimerAnim->isActive());
}

TEST(ImageStackWidget, BitmapsAndImagesConvertBothWays) {
    Bitmap b(3, 2);
    b.setPixel(2, 1, {1, 2, 3});
    const QImage image = imageFromBitmap(b);
    EXPECT_EQ(at(image, 2, 1), (Colour{1, 2, 3}));
    EXPECT_EQ(bitmapFromImage(image).pixel(2, 1), (Colour{1, 2, 3}));
    Bitmap rgb(2, 2, parvane::imaging::PixelFormat::Bits24);
    rgb.fill(colours::kMagenta);
    EXPECT_EQ(at(imageFromBitmap(rgb), 1, 1), colours::kMagenta);
    EXPECT_EQ(bitmapFromImage(QImage()).width(), 0);
}
