#include "imaging/Bitmap.h"

#include <gtest/gtest.h>

using namespace parvane::imaging;

TEST(Bitmap, NewBitmapIsBlackWithAlignedRows) {
    Bitmap b(3, 2, PixelFormat::Bits24);
    EXPECT_EQ(b.stride(), 12u); // 9 bytes padded to 12
    EXPECT_EQ(b.pixel(2, 1), colours::kBlack);
    EXPECT_EQ(Bitmap::strideFor(5, PixelFormat::Bits1), 4u);
    EXPECT_EQ(Bitmap::strideFor(33, PixelFormat::Bits1), 8u);
    EXPECT_EQ(Bitmap::strideFor(3, PixelFormat::Bits15), 8u);
}
