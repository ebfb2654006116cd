// Fuzz entry point of the TGA reader: any bytes must give a picture or a clean failure.
#include "imaging/Bitmap.h"
#include "imaging/TargaGraphic.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const parvane::imaging::DecodeResult result = parvane::imaging::decodeTga(bytes);
    if (result.ok()) {
        // Touch the corners so that a wrong size shows up under the sanitizers.
        const parvane::imaging::Bitmap& b = result.bitmap();
        (void)b.pixel(0, 0);
        (void)b.pixel(b.width() - 1, b.height() - 1);
    }
    // The read for the working bitmap, which widens 24-bit rows as it goes.
    parvane::imaging::PixelFormat fileFormat = parvane::imaging::PixelFormat::Bits32;
    const parvane::imaging::DecodeResult wide =
        parvane::imaging::decodeTgaWidening24Bits(bytes, fileFormat);
    if (wide.ok()) {
        const parvane::imaging::Bitmap& b = wide.bitmap();
        (void)b.pixel(b.width() - 1, b.height() - 1);
    }
    parvane::imaging::TTargaGraphic::CanLoad(bytes);
    return 0;
}
