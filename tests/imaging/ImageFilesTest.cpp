// Loading and saving pictures by extension: the choice of reader and writer, the messages, the
// working bitmap and its pixel-format code, and the cropped 24-bit save of the Target.
#include "imaging/ImageFiles.h"

#include "imaging/FileFormatList.h"
#include "imaging/TargaGraphic.h"
#include "imaging/TgaWriter.h"
#include "support/TestData.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace parvane::imaging {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes tgaFile(int depth, const Bytes& pixels, int w, int h) {
    Bytes f = {0,
               0,
               2,
               0,
               0,
               0,
               0,
               0,
               0,
               0,
               0,
               0,
               static_cast<std::uint8_t>(w),
               0,
               static_cast<std::uint8_t>(h),
               0,
               static_cast<std::uint8_t>(depth),
               0x20};
    for (const std::uint8_t v : pixels) // (insert trips a false -Warray-bounds of GCC 12)
        f.push_back(v);
    return f;
}

TEST(ImageFiles, ExtensionDecidesTheRoute) {
    const auto loadClass = [](const char* name) {
        const PictureFormat* format = pictureFormatFor(name);
        return format ? format->load : LoadClass::Refused;
    };
    const auto writes = [](const char* name, PictureWriter writer) {
        const PictureFormat* format = pictureFormatFor(name);
        return format && format->writer == writer;
    };
    EXPECT_EQ(loadClass("a/photo.jpg"), LoadClass::Jpeg);
    EXPECT_EQ(loadClass("a/PHOTO.JPG"), LoadClass::Jpeg);
    EXPECT_EQ(loadClass("photo.Jpeg"), LoadClass::Jpeg);
    EXPECT_EQ(loadClass("x.BmP"), LoadClass::Bitmap);
    // A name that is only an extension has one: the text from its last dot.
    for (const char* name : {"x.tga", "x.TIF", "x.tiff", "x.psd", "x.psp", "x.PspImage", "x.pcx",
                             "x.png", "X.PNG", ".tga", "dir/.PCX"})
        EXPECT_EQ(loadClass(name), LoadClass::Registered) << name;
    for (const char* name : {"x.jpe", "x.gif", "x.dib", "noextension", "dir.tga/x"})
        EXPECT_EQ(loadClass(name), LoadClass::Refused) << name;
    EXPECT_TRUE(writes("set.TGA", SaveAsUncompTGA24bits));
    EXPECT_TRUE(writes("set.bmp", saveBmp));
    EXPECT_TRUE(writes("set.Jpg", saveJpeg));
    EXPECT_TRUE(writes("set.PNG", savePng));
    EXPECT_TRUE(writes("set.tif", nullptr));
    EXPECT_TRUE(writes("set.jpeg", nullptr));
}

TEST(ImageFiles, RefusedExtensionsNameThemselves) {
    Bitmap picture(3, 3);
    picture.fill(colours::kMaroon);
    const Bitmap before = picture;
    struct Case {
        const char* name;
        const char* message;
    };
    for (const Case c : {Case{"photo.jpe", ".JPE format not supported."},
                         Case{"x.DiB", ".DIB format not supported."},
                         Case{"anim.gif", ".GIF format not supported."},
                         Case{"README", " format not supported."}}) {
        const FileResult r = loadImageFile(c.name, picture);
        EXPECT_EQ(r.shown, FileResult::Message::FormatNotSupported);
        EXPECT_EQ(r.message, c.message);
        EXPECT_TRUE(picture == before);
    }
}

TEST(ImageFiles, WorkingBitmapAlphaAndCodes) {
    testing::ScratchDir dir;
    // 2 x 1 pixels of each depth; alpha in the file is 0x11 and 0xEE.
    testing::writeFileBytes(dir.file("a32.tga"), tgaFile(32, {1, 2, 3, 0x11, 4, 5, 6, 0xEE}, 2, 1));
    testing::writeFileBytes(dir.file("a24.tga"), tgaFile(24, {1, 2, 3, 4, 5, 6}, 2, 1));
    testing::writeFileBytes(dir.file("a16.tga"), tgaFile(16, {0x1F, 0x80, 0x00, 0x7C}, 2, 1));
    struct Case {
        const char* name;
        int code;
        int alpha0, alpha1;
        Colour colour1;
    };
    for (const Case c :
         {Case{"a32.tga", 7, 0x11, 0xEE, {6, 5, 4}}, Case{"a24.tga", 6, 0, 0, {6, 5, 4}},
          Case{"a16.tga", 4, 255, 0, {255, 0, 0}}}) {
        SCOPED_TRACE(c.name);
        Bitmap picture;
        std::uint8_t code = 99;
        const FileResult r = loadImageAs32BitsFile(dir.file(c.name), picture, code);
        ASSERT_TRUE(r.ok()) << r.error().reason;
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(picture.format(), PixelFormat::Bits32);
        EXPECT_EQ(picture.alphaAt(0, 0), c.alpha0);
        EXPECT_EQ(picture.alphaAt(1, 0), c.alpha1);
        EXPECT_EQ(picture.pixel(1, 0), c.colour1);
    }
    // The plain load keeps the file's own format.
    Bitmap plain;
    ASSERT_TRUE(loadImageFile(dir.file("a16.tga"), plain).ok());
    EXPECT_EQ(plain.format(), PixelFormat::Bits15);
}

TEST(ImageFiles, ReaderFailuresGiveThePathsMessages) {
    testing::ScratchDir dir;
    Bytes truncated = tgaFile(24, {1, 2, 3}, 4, 4);
    testing::writeFileBytes(dir.file("cut.tga"), truncated);
    testing::writeFileBytes(dir.file("bad.bmp"), Bytes{'B', 'M', 1, 2, 3});
    Bitmap picture(2, 2);
    picture.fill(colours::kGreen);
    const Bitmap before = picture;
    std::uint8_t code = 9;

    FileResult r = loadImageAs32BitsFile(dir.file("cut.tga"), picture, code);
    EXPECT_EQ(r.shown, FileResult::Message::CompressionScheme);
    EXPECT_EQ(r.message, "This file has a non supported compression scheme.");
    EXPECT_EQ(failureReason(r).rfind("The file ends after 21 of ", 0), 0u) << failureReason(r);
    EXPECT_EQ(code, 0);
    r = loadImageFile(dir.file("missing.pcx"), picture);
    EXPECT_EQ(r.shown, FileResult::Message::CompressionScheme);
    r = loadImageFile(dir.file("bad.bmp"), picture);
    EXPECT_EQ(r.shown, FileResult::Message::ReaderError);
    EXPECT_EQ(r.message, "Bitmap image is not valid");
    r = loadImageFile(dir.file("missing.bmp"), picture);
    EXPECT_EQ(r.shown, FileResult::Message::ReaderError);
    EXPECT_NE(r.message.find("missing.bmp"), std::string::npos);
    EXPECT_TRUE(picture == before);
}

// A named pipe or a folder that carries a picture extension is refused at once: opening a pipe
// for reading would wait for a writer that never comes.
TEST(ImageFiles, OnlyRegularFilesAreRead) {
    testing::ScratchDir dir;
    Bitmap picture(2, 2);
    picture.fill(colours::kGreen);
    const Bitmap before = picture;
    for (const char* name : {"pipe.tga", "pipe.bmp", "pipe.jpg"}) {
        ASSERT_EQ(::mkfifo(dir.file(name).c_str(), 0600), 0) << name;
        const FileResult r = loadImageFile(dir.file(name), picture);
        EXPECT_FALSE(r.ok()) << name;
        EXPECT_NE(r.error().reason.find("not a regular file"), std::string::npos)
            << r.error().reason;
    }
    std::filesystem::create_directory(dir.file("folder.tga"));
    const FileResult r = loadImageFile(dir.file("folder.tga"), picture);
    EXPECT_EQ(r.shown, FileResult::Message::CompressionScheme);
    EXPECT_NE(r.error().reason.find("is a folder"), std::string::npos) << r.error().reason;
    EXPECT_TRUE(picture == before);
}

TEST(ImageFiles, SavingTheTargetCropsToTheAreaAndWrites24Bits) {
    testing::ScratchDir dir;
    Bitmap target(512, 1024, PixelFormat::Bits32);
    target.fill(colours::kMagenta);
    target.fillRect({0, 767, 512, 768}, colours::kYellow); // last row that is kept
    const FileResult r = saveImageAs24BitsFile(target, 512, 768, dir.file("set.tga"));
    ASSERT_TRUE(r.ok()) << r.message;
    const Bytes file = testing::readFileBytes(dir.file("set.tga"));
    ASSERT_EQ(file.size(), 18u + 512u * 768u * 3u);
    EXPECT_EQ(file[14] | (file[15] << 8), 768);
    // The bottom row (written first) is the yellow one.
    EXPECT_EQ(file[18], 0);
    EXPECT_EQ(file[19], 255);
    EXPECT_EQ(file[20], 255);
    EXPECT_EQ(target.width(), 512); // the picture itself is untouched
    EXPECT_EQ(target.height(), 1024);
    EXPECT_EQ(target.format(), PixelFormat::Bits32);
}

TEST(ImageFiles, SavedPicturesLoadBackWithCodeSix) {
    testing::ScratchDir dir;
    Bitmap picture(63, 65, PixelFormat::Bits32);
    for (int y = 0; y < 65; ++y)
        for (int x = 0; x < 63; ++x)
            picture.setPixel(x, y,
                             {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y),
                              static_cast<std::uint8_t>(x + y)});
    for (const char* name : {"back.tga", "back.BMP", ".tga"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(saveImageAs24BitsFile(picture, 1000, 1000, dir.file(name)).ok());
        Bitmap loaded;
        std::uint8_t code = 0;
        ASSERT_TRUE(loadImageAs32BitsFile(dir.file(name), loaded, code).ok());
        EXPECT_EQ(code, 6);
        EXPECT_TRUE(loaded == picture); // alpha 0 both ways
    }
}

TEST(ImageFiles, UnsupportedSaveWritesNothing) {
    testing::ScratchDir dir;
    const FileResult r = saveImageFile(Bitmap(4, 4), dir.file("name.gif"));
    EXPECT_EQ(r.shown, FileResult::Message::FormatNotSupported);
    EXPECT_EQ(r.message, ".GIF format not supported.");
    EXPECT_FALSE(std::filesystem::exists(dir.file("name.gif")));
}

TEST(ImageFiles, PixelFormatNames) {
    const std::pair<int, const char*> names[] = {
        {0, "DDB"},     {1, "1 bit"},   {2, "4 bits (16 col)"}, {3, "8 bits (256 col)"},
        {4, "15 bits"}, {5, "16 bits"}, {6, "24 bits"},         {7, "32 bits"},
        {8, "15 bits"}, {9, "Unknown"}, {-1, "Unknown"}};
    for (const auto& [code, name] : names)
        EXPECT_EQ(pixelFormatText(code), name) << code;
}

} // namespace
} // namespace parvane::imaging

namespace parvane::imaging {
namespace {

// Smooth content, as JPEG is lossy: compared within a tolerance.
Bitmap gradient(int w, int h) {
    Bitmap b(w, h, PixelFormat::Bits32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.setPixel(x, y,
                       {static_cast<std::uint8_t>(x * 255 / std::max(w - 1, 1)),
                        static_cast<std::uint8_t>(y * 255 / std::max(h - 1, 1)), 128});
    return b;
}

TEST(ImageFilesJpeg, RoundTripsWithinATolerance) {
    testing::ScratchDir dir;
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{63, 65}, std::pair{113, 157}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const Bitmap picture = gradient(w, h);
        ASSERT_TRUE(saveImageAs24BitsFile(picture, w, h, dir.file("t.jpg")).ok());
        Bitmap loaded;
        std::uint8_t code = 0;
        const FileResult r = loadImageAs32BitsFile(dir.file("t.jpg"), loaded, code);
        ASSERT_TRUE(r.ok()) << r.error().reason;
        EXPECT_EQ(code, 6);
        ASSERT_EQ(loaded.width(), w);
        ASSERT_EQ(loaded.height(), h);
        long long diff = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Colour a = picture.pixel(x, y), b = loaded.pixel(x, y);
                diff += std::abs(a.red - b.red) + std::abs(a.green - b.green) +
                        std::abs(a.blue - b.blue);
            }
        EXPECT_LT(static_cast<double>(diff) / (3.0 * w * h), 3.0);
    }
}

TEST(ImageFilesJpeg, GreyscaleReportsCodeThreeAndBecomesGrey) {
    PARVANE_REQUIRE_TESTDATA();
    Bitmap loaded;
    std::uint8_t code = 0;
    // A copy under an upper-case name: the extension decides, whatever its case.
    testing::ScratchDir dir;
    std::filesystem::copy_file(testing::peerFile("pillow/hopper_gray.jpg"), dir.file("G.JPG"));
    const FileResult r = loadImageAs32BitsFile(dir.file("G.JPG"), loaded, code);
    ASSERT_TRUE(r.ok()) << r.error().reason;
    EXPECT_EQ(code, 3);
    EXPECT_EQ(loaded.format(), PixelFormat::Bits32);
    const Colour c = loaded.pixel(10, 10);
    EXPECT_EQ(c.red, c.green);
    EXPECT_EQ(c.green, c.blue);
}

TEST(ImageFilesJpeg, DamagedJpegShowsTheLibraryErrorNumber) {
    testing::ScratchDir dir;
    testing::writeFileBytes(dir.file("bad.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F'});
    Bitmap picture;
    const FileResult r = loadImageFile(dir.file("bad.jpg"), picture);
    EXPECT_EQ(r.shown, FileResult::Message::ReaderError);
    EXPECT_EQ(r.message.rfind("JPEG error #", 0), 0u) << r.message;
    EXPECT_EQ(r.message.find(':'), std::string::npos) << r.message;
}

} // namespace
} // namespace parvane::imaging
