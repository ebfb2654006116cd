// The base of the picture reader classes that the extension registry hands out: each reader
// turns the bytes of one file format into a Bitmap in the file's own pixel format.
#pragma once

#include "Bitmap.h"
#include "DecodeResult.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace parvane::imaging {

enum class ColourScheme { Unknown, Indexed, Grey, GreyAlpha, Rgb, Rgba, Cmyk, Lab };
enum class Compression { Unknown, None, RunLength, PackBits, Lzw, Deflate, Jpeg, Other };

// What a reader can tell about a picture from its header alone.
struct ImageProperties {
    int width = 0;
    int height = 0;
    int bitsPerSample = 0;
    int samplesPerPixel = 0;
    ColourScheme colourScheme = ColourScheme::Unknown;
    Compression compression = Compression::Unknown;
};

// A picture reader that holds the bitmap of its last successful load.
class TGraphicExGraphic {
public:
    virtual ~TGraphicExGraphic() = default;

    // Replaces the bitmap with the picture held in bytes: the Boolean of the picture holder's
    // interface, made from decode()'s result. On failure the bitmap is unchanged and
    // lastError() says why.
    bool LoadFromBytes(std::span<const std::uint8_t> bytes) {
        DecodeResult result = decode(bytes);
        if (!result) {
            lastError_ = result.error();
            return false;
        }
        bitmap_ = std::move(result).bitmap();
        lastError_ = {};
        return true;
    }
    // Header facts, when the bytes look like this reader's format.
    virtual std::optional<ImageProperties>
    ReadImageProperties(std::span<const std::uint8_t> bytes) const {
        DecodeResult result = decode(bytes);
        if (!result)
            return std::nullopt;
        const Bitmap& b = result.bitmap();
        ImageProperties p;
        p.width = b.width();
        p.height = b.height();
        p.bitsPerSample = b.bitsPerPixel() >= 24 ? 8 : b.bitsPerPixel();
        p.samplesPerPixel = b.bitsPerPixel() == 32 ? 4 : (b.bitsPerPixel() >= 15 ? 3 : 1);
        p.colourScheme = hasPalette(b.format()) ? ColourScheme::Indexed : ColourScheme::Rgb;
        return p;
    }
    virtual DecodeResult decode(std::span<const std::uint8_t> bytes) const = 0;

    // For callers that want the 32-bit working bitmap: a reader that can write 24-bit pixels
    // straight into 32 bits (alpha 0, as the plain conversion gives) does so and spares the
    // 24-bit picture; others decode as decode() does. fileFormat receives the format the
    // file's pixels have in decode()'s result either way.
    virtual DecodeResult decodeWidening24Bits(std::span<const std::uint8_t> bytes,
                                              PixelFormat& fileFormat) const {
        DecodeResult result = decode(bytes);
        if (result)
            fileFormat = result.bitmap().format();
        return result;
    }

    const Bitmap& bitmap() const { return bitmap_; }
    Bitmap takeBitmap() { return std::move(bitmap_); }
    const DecodeError& lastError() const { return lastError_; }

private:
    Bitmap bitmap_;
    DecodeError lastError_;
};

// A registry reader made from one free decoding function, and where the reader can write
// 24-bit pixels straight as 32-bit ones, the function that does so.
using DecodeFunction = DecodeResult (*)(std::span<const std::uint8_t>);
using DecodeWideningFunction = DecodeResult (*)(std::span<const std::uint8_t>, PixelFormat&);

template <DecodeFunction Decode, DecodeWideningFunction DecodeWidening = nullptr>
class TReaderGraphic : public TReaderGraphic<Decode> {
public:
    DecodeResult decodeWidening24Bits(std::span<const std::uint8_t> bytes,
                                      PixelFormat& fileFormat) const override {
        return DecodeWidening(bytes, fileFormat);
    }
};

// A reader without a widening function widens after decoding, as every reader can. (A
// specialisation rather than a test of the pointer: some compilers do not take a function
// pointer's comparison with null as a constant.)
template <DecodeFunction Decode> class TReaderGraphic<Decode, nullptr> : public TGraphicExGraphic {
public:
    DecodeResult decode(std::span<const std::uint8_t> bytes) const override {
        return Decode(bytes);
    }
};

} // namespace parvane::imaging
