// The uncompressed 24-bit TGA writer, the TGA reader and its run-length decoder.
#include "imaging/FileFormatList.h"
#include "imaging/ImageFiles.h"
#include "imaging/PixelFormatConversions.h"
#include "imaging/TargaGraphic.h"
#include "imaging/TgaWriter.h"
#include "support/TestData.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvane::imaging {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes header(int type, int w, int h, int depth, int descriptor = 0, int cmapType = 0,
             int cmapLength = 0, int cmapBits = 0, int idLength = 0) {
    return {static_cast<std::uint8_t>(idLength),
            static_cast<std::uint8_t>(cmapType),
            static_cast<std::uint8_t>(type),
            0,
            0,
            static_cast<std::uint8_t>(cmapLength & 0xFF),
            static_cast<std::uint8_t>(cmapLength >> 8),
            static_cast<std::uint8_t>(cmapBits),
            0,
            0,
            0,
            0,
            static_cast<std::uint8_t>(w & 0xFF),
            static_cast<std::uint8_t>(w >> 8),
            static_cast<std::uint8_t>(h & 0xFF),
            static_cast<std::uint8_t>(h >> 8),
            static_cast<std::uint8_t>(depth),
            static_cast<std::uint8_t>(descriptor)};
}

// A picture whose every pixel differs from its neighbours.
Bitmap pattern(int w, int h, PixelFormat format = PixelFormat::Bits24) {
    Bitmap b(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.setPixel(x, y,
                       {static_cast<std::uint8_t>(x * 3 + y), static_cast<std::uint8_t>(y * 5),
                        static_cast<std::uint8_t>(x ^ y)});
    return b;
}

TEST(TgaWriter, OneRedPixelIsTheTwentyOneByteFile) {
    Bitmap b(1, 1, PixelFormat::Bits24);
    b.fill(colours::kRed);
    const Bytes expected = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0x18, 0, 0, 0, 0xFF};
    EXPECT_EQ(encodeUncompTGA24bits(b), expected);
}

TEST(TgaWriter, HeaderSizesAndFileLength) {
    const Bytes file = encodeUncompTGA24bits(Bitmap(256, 512, PixelFormat::Bits24));
    ASSERT_EQ(file.size(), 18u + 256u * 512u * 3u);
    EXPECT_EQ(file[12], 0x00);
    EXPECT_EQ(file[13], 0x01);
    EXPECT_EQ(file[14], 0x00);
    EXPECT_EQ(file[15], 0x02);
    EXPECT_EQ(file[16], 24);
    EXPECT_EQ(file[17], 0);
}

TEST(TgaWriter, BottomRowComesFirst) {
    Bitmap b(2, 2, PixelFormat::Bits24);
    b.setPixel(0, 1, {9, 8, 7}); // bottom-left
    b.setPixel(1, 0, {1, 2, 3}); // top-right
    const Bytes file = encodeUncompTGA24bits(b);
    EXPECT_EQ(file[18], 7); // blue of the bottom-left pixel
    EXPECT_EQ(file[19], 8);
    EXPECT_EQ(file[20], 9);
    EXPECT_EQ(file[18 + 9], 3);
}

TEST(TgaWriter, FourthByteAndSourceFormatDoNotMatter) {
    const Bitmap b24 = pattern(7, 5);
    Bitmap b32 = b24.converted(PixelFormat::Bits32);
    for (std::size_t i = 3; i < b32.bytes().size(); i += 4)
        b32.bytes()[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(encodeUncompTGA24bits(b32), encodeUncompTGA24bits(b24));
    Bitmap grey(3, 3, PixelFormat::Bits8);
    std::vector<Colour> ramp(256);
    for (int i = 0; i < 256; ++i)
        ramp[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                   static_cast<std::uint8_t>(i)};
    grey.setPalette(ramp);
    grey.setIndex(1, 1, 200);
    const Bytes file = encodeUncompTGA24bits(grey);
    EXPECT_EQ(file[18 + 3 * 4], 200); // centre pixel
}

TEST(TgaWriter, OverwritesALargerFileWithoutTrailingBytes) {
    testing::ScratchDir dir;
    const auto path = dir.file("set.tga");
    testing::writeFileBytes(path, Bytes(100000, 0xAB));
    ASSERT_TRUE(SaveAsUncompTGA24bits(pattern(4, 4), path).ok());
    EXPECT_EQ(testing::readFileBytes(path), encodeUncompTGA24bits(pattern(4, 4)));
}

std::size_t filesIn(const std::filesystem::path& dir) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                                  std::filesystem::directory_iterator{}));
}

TEST(TgaWriter, WriteFailureLeavesTheOldFileAndSaysSo) {
    testing::ScratchDir dir;
    const auto path = dir.file("set.tga");
    const Bytes old(5000, 0x5A);
    testing::writeFileBytes(path, old);
    // A file size limit makes the write fail half-way (for root too).
    struct rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const FileResult status = saveImageFile(pattern(100, 100), path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message.find("set.tga"), std::string::npos) << status.message;
    EXPECT_EQ(testing::readFileBytes(path), old);
    EXPECT_EQ(filesIn(dir.path()), 1u); // no temporary file left behind
}

TEST(TgaWriter, UnwritableFolderLeavesTheOldFile) {
    testing::ScratchDir dir;
    EXPECT_FALSE(SaveAsUncompTGA24bits(pattern(1, 1), dir.file("no/such/folder.tga")).ok());
    const auto path = dir.file("set.tga");
    const Bytes old(5000, 0x5A);
    testing::writeFileBytes(path, old);
    // Readable by everyone (nobody keeps root's group), so that only the missing write
    // permission stops the save.
    ::chmod(dir.path().c_str(), 0555);
    // Folder permissions do not bind root: run as root (as CI does), the save is made as
    // nobody, whom the folder does not let write either.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    const WriteStatus status = SaveAsUncompTGA24bits(pattern(4, 4), path);
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    ::chmod(dir.path().c_str(), 0700);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(testing::readFileBytes(path), old);
}

TEST(TgaWriter, ReplacedFileKeepsItsPermissions) {
    testing::ScratchDir dir;
    const auto path = dir.file("set.tga");
    testing::writeFileBytes(path, Bytes(10, 0));
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(SaveAsUncompTGA24bits(pattern(2, 2), path).ok());
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(TgaWriter, ReadOnlyFileIsRefusedAndKept) {
    testing::ScratchDir dir;
    const auto path = dir.file("locked.tga");
    const Bytes old(10, 7);
    testing::writeFileBytes(path, old);
    ::chmod(path.c_str(), 0444);
    const WriteStatus status = SaveAsUncompTGA24bits(pattern(2, 2), path);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.error().kind, FailureKind::WriteFailed);
    EXPECT_EQ(status.error().reason.rfind("The file is read-only (", 0), 0u)
        << status.error().reason;
    EXPECT_EQ(testing::readFileBytes(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(TgaWriter, RefusesSidesBeyondSixteenBits) {
    testing::ScratchDir dir;
    EXPECT_FALSE(SaveAsUncompTGA24bits(Bitmap(65536, 1, PixelFormat::Bits24), dir.file("w.tga")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("w.tga")));
}

TEST(TgaReader, RoundTripsAwkwardSizesBothRowOrders) {
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{63, 65}, std::pair{113, 157}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        const Bitmap b = pattern(w, h);
        Bytes file = encodeUncompTGA24bits(b);
        DecodeResult r = decodeTga(file);
        ASSERT_TRUE(r.ok()) << r.error().reason;
        EXPECT_TRUE(r.bitmap() == b);
        // The same picture stored top row first loads identically.
        Bytes topFirst(file.begin(), file.begin() + 18);
        topFirst[17] = 0x20;
        for (int y = 0; y < h; ++y)
            topFirst.insert(topFirst.end(), b.row(y), b.row(y) + 3 * w);
        r = decodeTga(topFirst);
        ASSERT_TRUE(r.ok());
        EXPECT_TRUE(r.bitmap() == b);
    }
}

TEST(TgaReader, SixteenBitWordsKeepTheirTopBit) {
    for (const int depth : {15, 16}) {
        Bytes file = header(2, 2, 1, depth);
        file.insert(file.end(), {0x00, 0x80, 0xFF, 0x7F}); // 0x8000, 0x7FFF
        const DecodeResult r = decodeTga(file);
        ASSERT_TRUE(r.ok());
        const Bitmap& b = r.bitmap();
        EXPECT_EQ(b.format(), PixelFormat::Bits15);
        EXPECT_EQ(b.row(0)[0], 0x00);
        EXPECT_EQ(b.row(0)[1], 0x80);
        EXPECT_EQ(b.row(0)[3], 0x7F);
    }
}

TEST(TgaReader, SixteenBitColourMapEntriesArePlainShifts) {
    // 256 map words; word 1 is 0x7C00 (red 31). Pixel rows start right after the map.
    Bytes file = header(1, 2, 1, 8, 0x20, 1, 256, 16);
    for (int i = 0; i < 256; ++i) {
        const std::uint16_t w = i == 1 ? 0x7C00 : (i == 2 ? 0x83FF : 0);
        file.push_back(static_cast<std::uint8_t>(w));
        file.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    file.insert(file.end(), {1, 2});
    const DecodeResult r = decodeTga(file);
    ASSERT_TRUE(r.ok()) << r.error().reason;
    const Bitmap& b = r.bitmap();
    EXPECT_EQ(b.format(), PixelFormat::Bits8);
    EXPECT_EQ(b.palette()[1], (Colour{248, 0, 0}));
    EXPECT_EQ(b.palette()[2], (Colour{0, 248, 248})); // top bit ignored
    EXPECT_EQ(b.indexAt(0, 0), 1);
    EXPECT_EQ(b.indexAt(1, 0), 2);
}

TEST(TgaReader, ColourMapKeepsAtMost256EntriesAndReadsPastTheRest) {
    Bytes file = header(1, 1, 1, 8, 0, 1, 300, 24);
    for (int i = 0; i < 300; ++i)
        file.insert(file.end(), {static_cast<std::uint8_t>(i), 0, 0});
    file.push_back(255);
    const DecodeResult r = decodeTga(file);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.bitmap().palette().size(), 256u);
    EXPECT_EQ(r.bitmap().pixel(0, 0), (Colour{0, 0, 255}));
}

TEST(TgaReader, UnusedColourMapOfAnyEntrySizeIsReadPast) {
    Bytes file = header(2, 1, 1, 24, 0, 1, 3, 8);
    file.insert(file.end(), {9, 9, 9, 1, 2, 3});
    const DecodeResult r = decodeTga(file);
    ASSERT_TRUE(r.ok()) << r.error().reason;
    EXPECT_EQ(r.bitmap().pixel(0, 0), (Colour{3, 2, 1}));
}

TEST(TgaReader, GreyReadsItsPixelsWithOrWithoutAColourMap) {
    Bytes grey = header(3, 2, 1, 8, 0x20);
    grey.insert(grey.end(), {0, 200});
    // Some writers add a colour map (here 3 entries of 24 bits) that the grey ramp replaces.
    Bytes mapped = header(3, 2, 1, 8, 0x20, 1, 3, 24);
    mapped.insert(mapped.end(), {9, 9, 9, 8, 8, 8, 7, 7, 7, 0, 200});
    Bytes packedMapped = header(11, 2, 1, 8, 0x20, 1, 2, 16);
    packedMapped.insert(packedMapped.end(), {9, 9, 8, 8, 0x01, 0, 200});
    for (const Bytes& file : {grey, mapped, packedMapped}) {
        const DecodeResult r = decodeTga(file);
        ASSERT_TRUE(r.ok()) << r.error().reason;
        EXPECT_EQ(r.bitmap().pixel(0, 0), (Colour{0, 0, 0}));
        EXPECT_EQ(r.bitmap().pixel(1, 0), (Colour{200, 200, 200}));
    }
}

// 16-bit grey pixels are a grey byte and an alpha byte, raw or run-length, in either row
// order; they reach the working bitmap as grey with that alpha, not as 1:5:5:5 colour words.
TEST(TgaReader, GreyWithAlphaBecomesThirtyTwoBitGrey) {
    struct Case {
        int type;
        int descriptor;
        Bytes data; // two rows of two pixels as stored
    };
    const Case cases[] = {
        {3, 0x20, {10, 255, 20, 0, 30, 128, 40, 1}},
        {3, 0x00, {30, 128, 40, 1, 10, 255, 20, 0}},
        {11, 0x20, {0x01, 10, 255, 20, 0, 0x01, 30, 128, 40, 1}},
        {11, 0x00, {0x81, 0, 0, 0x01, 10, 255, 20, 0}}, // bottom row: one run of (0, 0)
    };
    for (const Case& c : cases) {
        Bytes file = header(c.type, 2, 2, 16, c.descriptor);
        file.insert(file.end(), c.data.begin(), c.data.end());
        const DecodeResult r = decodeTga(file);
        ASSERT_TRUE(r.ok()) << c.type << ": " << r.error().reason;
        const Bitmap& b = r.bitmap();
        ASSERT_EQ(b.format(), PixelFormat::Bits32);
        EXPECT_EQ(b.pixel(0, 0), (Colour{10, 10, 10}));
        EXPECT_EQ(b.alphaAt(0, 0), 255);
        EXPECT_EQ(b.pixel(1, 0), (Colour{20, 20, 20}));
        EXPECT_EQ(b.alphaAt(1, 0), 0);
        if (c.type == 11 && c.descriptor == 0) {
            EXPECT_EQ(b.pixel(1, 1), (Colour{0, 0, 0}));
            continue;
        }
        EXPECT_EQ(b.pixel(0, 1), (Colour{30, 30, 30}));
        EXPECT_EQ(b.alphaAt(0, 1), 128);
        EXPECT_EQ(b.pixel(1, 1), (Colour{40, 40, 40}));
        EXPECT_EQ(b.alphaAt(1, 1), 1);
    }
    const auto properties = TTargaGraphic().ReadImageProperties(header(3, 2, 2, 16));
    ASSERT_TRUE(properties.has_value());
    EXPECT_EQ(properties->colourScheme, ColourScheme::GreyAlpha);
    EXPECT_EQ(properties->samplesPerPixel, 2);
}

TEST(TgaReader, RefusesWhatItCannotRead) {
    struct Case {
        const char* what;
        Bytes file;
        const char* reason;
    };
    Bytes truncated = header(2, 4, 4, 24);
    truncated.resize(18 + 4 * 4 * 3 - 1);
    // The unused map (3 entries of 8 bits) is read past, so the pixel is missing.
    Bytes unusedMap = header(2, 1, 1, 24, 0, 1, 3, 8);
    unusedMap.insert(unusedMap.end(), {1, 2, 3, 4, 5});
    Bytes shortMap = header(1, 1, 1, 8, 0, 1, 10, 24);
    shortMap.resize(18 + 20);
    const Case cases[] = {
        {"depth 12", header(2, 1, 1, 12), "TGA: pixels of 12 bits are not read."},
        {"truncated rows", truncated, "The file ends after 65 of 66 bytes."},
        {"header only", Bytes(17, 0), "The file ends after 17 of 18 bytes."},
        {"short colour map", shortMap, "The file ends after 38 of 48 bytes."},
        {"image type 32", header(32, 1, 1, 8), "image type"},
        {"image type 0: a header alone", header(0, 8192, 8192, 24), "holds no picture"},
        {"zero width", header(2, 0, 5, 24), "the picture is empty"},
        {"8-bit map entries", header(1, 1, 1, 8, 0, 1, 1, 8), "colour map entries"},
        {"true colour after an unused map, cut short", unusedMap, "ends after 23 of 24 bytes"},
        {"grey of 32 bits", header(11, 1, 1, 32), "image type 11"},
        {"huge run-length picture", header(10, 65535, 65535, 32), "larger than Parvane can hold"},
        {"run-length data ends early", header(10, 300, 1, 24), "ends early"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DecodeResult r = decodeTga(c.file);
        ASSERT_FALSE(r.ok());
        EXPECT_NE(r.error().reason.find(c.reason), std::string::npos) << r.error().reason;
    }
}

TEST(TargaRLEDecoder, RunAcrossARowIsFlatAndStopsAtTheNextPacket) {
    // Row 1: one run of 4 pixels; row 2: a raw packet of 4.
    const Bytes data = {0x83, 1, 2, 3, 0x03, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
    TTargaRLEDecoder decoder(24);
    std::size_t pos = 0;
    Bytes row(12);
    ASSERT_TRUE(decoder.Decode(data, pos, row, 4));
    EXPECT_EQ(pos, 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ((Bytes{row[3 * i], row[3 * i + 1], row[3 * i + 2]}), (Bytes{1, 2, 3}));
    ASSERT_TRUE(decoder.Decode(data, pos, row, 4));
    EXPECT_EQ(pos, data.size());
    EXPECT_EQ(row[11], 21);
}

TEST(TargaRLEDecoder, PacketsCrossingRowEndsCarryOver) {
    // A run of 6 and a raw packet of 4 over rows of 4 pixels (8-bit).
    const Bytes data = {0x85, 7, 0x03, 1, 2, 3, 4};
    TTargaRLEDecoder decoder(8);
    std::size_t pos = 0;
    Bytes a(4), b(4), c(2);
    ASSERT_TRUE(decoder.Decode(data, pos, a, 4));
    ASSERT_TRUE(decoder.Decode(data, pos, b, 4));
    ASSERT_TRUE(decoder.Decode(data, pos, c, 2));
    EXPECT_EQ(a, (Bytes{7, 7, 7, 7}));
    EXPECT_EQ(b, (Bytes{7, 7, 1, 2}));
    EXPECT_EQ(c, (Bytes{3, 4}));
    // Nothing left: the next pixel is missing data.
    Bytes d(1);
    EXPECT_FALSE(decoder.Decode(data, pos, d, 1));
}

TEST(TargaRLEDecoder, EndsEarlyInsideARawPacketOrARunValue) {
    for (const Bytes& data : {Bytes{0x04, 1, 2}, Bytes{0x80, 1}, Bytes{}}) {
        TTargaRLEDecoder decoder(16);
        std::size_t pos = 0;
        Bytes row(10);
        EXPECT_FALSE(decoder.Decode(data, pos, row, 5));
        EXPECT_LE(pos, data.size());
    }
}

TEST(TargaRLEDecoder, EncoderOutputDecodesToTheSamePixelsAsAWholeFile) {
    for (const int depth : {8, 16, 24, 32}) {
        SCOPED_TRACE(depth);
        const int bpp = depth / 8;
        const int w = 113, h = 57;
        Bytes pixels(static_cast<std::size_t>(w * h * bpp));
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<std::uint8_t>((i / (bpp * 9)) % 3 == 0 ? 42 : i * 7);
        TTargaRLEDecoder codec(depth);
        Bytes file = header(depth == 8 ? 11 : 10, w, h, depth, 0x20);
        const Bytes packed = codec.Encode(pixels);
        EXPECT_LT(packed.size(), pixels.size() + pixels.size() / 100 + 200);
        file.insert(file.end(), packed.begin(), packed.end());
        const DecodeResult r = decodeTga(file);
        ASSERT_TRUE(r.ok()) << r.error().reason;
        for (int y = 0; y < h; ++y)
            ASSERT_TRUE(std::equal(pixels.begin() + y * w * bpp, pixels.begin() + (y + 1) * w * bpp,
                                   r.bitmap().row(y)))
                << y;
    }
}

TEST(TgaReader, WideningReadGivesTheWorkingBitmapOfThePlainRead) {
    struct Case {
        int type, depth, descriptor;
    };
    // Both row orders, run-length packets crossing row ends, and the depths that are not
    // widened (grey with alpha comes out as 32 bits either way).
    for (const Case c : {Case{2, 24, 0}, Case{2, 24, 0x20}, Case{10, 24, 0}, Case{10, 24, 0x20},
                         Case{2, 32, 0x20}, Case{10, 16, 0}, Case{3, 8, 0}, Case{11, 16, 0x20}}) {
        SCOPED_TRACE(c.type * 1000 + c.depth);
        const int w = 5, h = 3, bpp = c.depth / 8;
        Bytes pixels(static_cast<std::size_t>(w * h * bpp));
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<std::uint8_t>(i < 9 ? 42 : i * 37 + 11);
        Bytes file = header(c.type, w, h, c.depth, c.descriptor);
        const Bytes data = c.type >= 9 ? TTargaRLEDecoder(c.depth).Encode(pixels) : pixels;
        file.insert(file.end(), data.begin(), data.end());
        const DecodeResult plain = decodeTga(file);
        ASSERT_TRUE(plain.ok()) << plain.error().reason;
        PixelFormat fileFormat = PixelFormat::Device;
        const DecodeResult wide = decodeTgaWidening24Bits(file, fileFormat);
        ASSERT_TRUE(wide.ok()) << wide.error().reason;
        EXPECT_EQ(fileFormat, plain.bitmap().format());
        const Bitmap expected = plain.bitmap().format() == PixelFormat::Bits24
                                    ? convertedTo32Bits(plain.bitmap())
                                    : plain.bitmap();
        EXPECT_TRUE(wide.bitmap() == expected);
        // Damage is found the same way.
        file.resize(file.size() - 2);
        const DecodeResult plainCut = decodeTga(file);
        const DecodeResult wideCut = decodeTgaWidening24Bits(file, fileFormat);
        ASSERT_FALSE(plainCut.ok());
        ASSERT_FALSE(wideCut.ok());
        EXPECT_EQ(wideCut.error().reason, plainCut.error().reason);
    }
}

TEST(TgaRegistry, ExtensionsInOrderAndDoubleRegistrationFails) {
    TFileFormatList list;
    registerDefaultFileFormats(list);
    const std::vector<std::string> expected = {
        "bmp", "ico", "wmf", "emf", "jfif", "jpg", "jpe",  "jpeg",     "rle",
        "dib", "win", "vst", "vda", "tga",  "icb", "tiff", "tif",      "fax",
        "pcx", "pcc", "scr", "psd", "pdd",  "gif", "psp",  "pspimage", "png"};
    EXPECT_EQ(list.extensions(), expected);
    const Status twice =
        list.RegisterFileFormat("TGA", "again", [] { return std::make_unique<TTargaGraphic>(); });
    ASSERT_FALSE(twice.ok()) << "a second registration was accepted";
    EXPECT_EQ(twice.error().reason, "Attempt to register tga twice.");
    EXPECT_EQ(list.find("tga")->description, "Truevision Targa");
    EXPECT_TRUE(list.RegisterFileFormat(
                        "tga", "again", [] { return std::make_unique<TTargaGraphic>(); }, true)
                    .ok());
    EXPECT_EQ(list.find(".TgA")->description, "again");
    EXPECT_NE(list.createGraphic("VDA"), nullptr);
    EXPECT_EQ(list.createGraphic("xcf"), nullptr);
}

} // namespace
} // namespace parvane::imaging
