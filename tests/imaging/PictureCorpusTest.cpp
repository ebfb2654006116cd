// The TGA and BMP readers against the real files of the peer corpus and their trusted oracle
// decodings. Where Parvane's own rules differ from the oracles, the comparison applies the rule
// and says so.
#include "DecoderCorpus.h"
#include "imaging/BmpCodec.h"
#include "imaging/ImageFiles.h"
#include "imaging/TargaGraphic.h"

#include <QImage>
#include <gtest/gtest.h>
#include <set>

namespace parvane::imaging {
namespace {

using testing::corpus::ManifestRow;
using testing::corpus::manifestRows;

bool contains(const std::string& s, const char* part) {
    return s.find(part) != std::string::npos;
}

// 16-bit grey+alpha TGAs.
bool isGreyAlphaTga(const ManifestRow& row) {
    return row.format == "TGA" && (contains(row.path, "_la_") || contains(row.path, "/la.tga"));
}

// Colour maps with 15- or 16-bit entries: palette entries are the plain shifted components.
bool hasShortColourMap(const ManifestRow& row) {
    static const std::set<std::string> files = {
        "pillow/p_16.tga", "image-rs/images/tga/testsuite/ucm8.tga",
        "image-rs/images/tga/testsuite/ccm8.tga", "image-rs/images/tga/testsuite/b5-cmap.tga"};
    return files.count(row.path) != 0;
}

// BMP bit fields narrower than 8 bits are scaled to the full range (the largest field value
// gives 255); the trusted oracle shifts them instead (3 of 2 bits gives 192). Field widths
// (red, green, blue) of such files; the test compares the field values.
struct NarrowFields {
    const char* path;
    int bits[3];
};
constexpr NarrowFields kNarrowFields[] = {
    {"pillow/bmp/q/rgb16-231.bmp", {2, 3, 1}},
    {"pillow/bmp/q/rgba16-4444.bmp", {4, 4, 4}},
};

const NarrowFields* narrowFieldsOf(const ManifestRow& row) {
    for (const NarrowFields& n : kNarrowFields)
        if (row.path == n.path)
            return &n;
    return nullptr;
}

DecodeResult decodeRow(const ManifestRow& row, const std::vector<std::uint8_t>& bytes) {
    return row.format == "TGA" ? decodeTga(bytes) : decodeBmp(bytes);
}

// Compares the working bitmap with the oracle; returns the first difference.
std::string compare(const ManifestRow& row, const Bitmap& loaded) {
    QImage oracle =
        testing::corpus::loadOracle(row.oraclePng).convertToFormat(QImage::Format_RGBA8888);
    if (oracle.isNull())
        return "oracle did not load";
    // The right-to-left bit of TGA files is ignored: pixels stay in file order, where the
    // oracles mirror them.
    if (row.format == "TGA" && contains(row.path, "right"))
        oracle = oracle.mirrored(true, false);
    if (oracle.width() != loaded.width() || oracle.height() != loaded.height())
        return "size differs from the oracle";
    const std::uint8_t code = pixelFormatCode(loaded);
    Bitmap working = loaded;
    convertToWorkingBitmap(working, code);
    const bool sixteen = code == 4 || code == 5 || code == 8;
    // 5- and 6-bit components, and fields wider than 8 bits, may round either way.
    const int tolerance =
        (sixteen || row.trust == "convention" || contains(row.path, "111110")) ? 1 : 0;
    for (int y = 0; y < working.height(); ++y) {
        const uchar* o = oracle.constScanLine(y);
        for (int x = 0; x < working.width(); ++x, o += 4) {
            // BMP oracles mark pixels that run-length data skips as transparent; their colour
            // is not defined.
            if (row.format == "BMP" && o[3] == 0)
                continue;
            const Colour c = working.pixel(x, y);
            const int got[3] = {c.red, c.green, c.blue};
            for (int k = 0; k < 3; ++k) {
                int expected = o[k];
                int value = got[k];
                if (hasShortColourMap(row)) {
                    // The palette holds the component shifted left by 3, not widened.
                    if (value & 7)
                        return "palette entry not a plain shift at " + std::to_string(x) + "," +
                               std::to_string(y);
                    value = widen5(static_cast<unsigned>(value >> 3));
                }
                if (const NarrowFields* narrow = narrowFieldsOf(row)) {
                    const int bits = narrow->bits[k];
                    const int field = expected >> (8 - bits);
                    expected = (field * 255 + ((1 << bits) - 1) / 2) / ((1 << bits) - 1);
                }
                if (std::abs(value - expected) >
                    std::max(tolerance, hasShortColourMap(row) ? 1 : 0))
                    return "pixel " + std::to_string(x) + "," + std::to_string(y) + " channel " +
                           std::to_string(k) + " is " + std::to_string(got[k]) + ", oracle " +
                           std::to_string(expected);
            }
            const int alpha = working.alphaAt(x, y);
            if (code == 7 && row.format == "TGA" && alpha != o[3])
                return "alpha at " + std::to_string(x) + "," + std::to_string(y) + " is " +
                       std::to_string(alpha) + ", oracle " + std::to_string(o[3]);
            // Sources without alpha give alpha 0 in the working bitmap.
            if ((code == 1 || code == 2 || code == 3 || code == 6) && alpha != 0)
                return "alpha of a source without alpha is not 0";
        }
    }
    return {};
}

std::vector<ManifestRow> tgaAndBmpRows() {
    std::vector<ManifestRow> rows = manifestRows("TGA");
    const std::vector<ManifestRow> bmp = manifestRows("BMP");
    rows.insert(rows.end(), bmp.begin(), bmp.end());
    return rows;
}

TEST(PictureCorpus, GoodAndQuestionableFilesMatchTheirOracles) {
    PARVANE_REQUIRE_TESTDATA();
    int compared = 0;
    for (const ManifestRow& row : tgaAndBmpRows()) {
        if (row.category == "bad" || row.oraclePng.empty())
            continue;
        SCOPED_TRACE(row.path);
        const auto bytes = testing::readFileBytes(testing::peerFile(row.path));
        const DecodeResult result = decodeRow(row, bytes);
        ASSERT_TRUE(result.ok()) << result.error().reason;
        // Grey+alpha pixels become 32-bit grey with their alpha, and match the oracle as such.
        if (isGreyAlphaTga(row)) {
            EXPECT_EQ(result.bitmap().format(), PixelFormat::Bits32);
        }
        EXPECT_EQ(compare(row, result.bitmap()), "");
        ++compared;
    }
    EXPECT_GT(compared, 60);
}

TEST(PictureCorpus, BrokenFilesFailCleanly) {
    PARVANE_REQUIRE_TESTDATA();
    int refused = 0;
    for (const ManifestRow& row : tgaAndBmpRows()) {
        if (row.category != "bad" && row.trust != "no-oracle")
            continue;
        SCOPED_TRACE(row.path);
        const auto bytes = testing::readFileBytes(testing::peerFile(row.path));
        const DecodeResult result = decodeRow(row, bytes);
        if (row.trust == "none") {
            EXPECT_FALSE(result.ok());
            if (!result.ok()) {
                EXPECT_FALSE(result.error().reason.empty());
            }

            ++refused;
        } else if (result.ok() && !row.oraclePng.empty()) {
            // Damaged headers that the oracles still decode (wrong sizes, densities, planes).
            EXPECT_EQ(compare(row, result.bitmap()), "");
        }
    }
    EXPECT_GT(refused, 15);
}

TEST(PictureCorpus, EveryTruncationOfATgaAndABmpFails) {
    PARVANE_REQUIRE_TESTDATA();
    for (const char* path :
         {"pillow/tga/common/200x32_rgb_bl_rle.tga", "pillow/tga/common/200x32_p_tl_raw.tga",
          "pillow/bmp/g/pal8rle.bmp", "pillow/bmp/g/rgb24.bmp", "pillow/bmp/g/pal4rle.bmp"}) {
        SCOPED_TRACE(path);
        const auto bytes = testing::readFileBytes(testing::peerFile(path));
        const bool tga = contains(path, ".tga");
        // Cuts in the first half always fall inside the headers or the pixel data (TGA files
        // may end with an extension area and footer that a reader does not need).
        for (std::size_t keep = 0; keep < bytes.size() / 2; keep += 37) {
            const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + keep);
            const DecodeResult r = tga ? decodeTga(cut) : decodeBmp(cut);
            EXPECT_FALSE(r.ok()) << "kept " << keep << " of " << bytes.size();
        }
    }
}

} // namespace
} // namespace parvane::imaging
