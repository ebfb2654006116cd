// Truevision TGA reading: the format texture sets are saved in and reloaded from.
#pragma once

#include "GraphicEx.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace parvane::imaging {

// The 18-byte file header, as stored (little-endian).
struct TgaHeader {
    static constexpr std::size_t kSize = 18;
    std::uint8_t idLength = 0;
    std::uint8_t colourMapType = 0;
    std::uint8_t imageType = 0;
    std::uint16_t colourMapFirst = 0;
    std::uint16_t colourMapLength = 0;
    std::uint8_t colourMapEntrySize = 0;
    std::uint16_t xOrigin = 0;
    std::uint16_t yOrigin = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t pixelDepth = 0;
    std::uint8_t descriptor = 0;
};

std::optional<TgaHeader> parseTgaHeader(std::span<const std::uint8_t> bytes);

// Decodes TGA run-length packets. A packet that runs past the end of the pixels asked for is
// carried over: its remainder starts the next call, so packets may cross row ends.
class TTargaRLEDecoder {
public:
    // pixelDepth 8, 15, 16, 24 or 32.
    explicit TTargaRLEDecoder(int pixelDepth);

    int bytesPerPixel() const { return bytesPerPixel_; }
    // Produces pixelCount pixels into destination (at least pixelCount x bytesPerPixel bytes)
    // from source, starting at sourcePos and advancing it past the bytes consumed. Returns
    // false when the source ends before pixelCount pixels were produced.
    bool Decode(std::span<const std::uint8_t> source, std::size_t& sourcePos,
                std::span<std::uint8_t> destination, std::size_t pixelCount);
    // Encodes pixels (count x bytesPerPixel bytes) as run and raw packets that stay within
    // the given pixels.
    std::vector<std::uint8_t> Encode(std::span<const std::uint8_t> pixels) const;

private:
    int bytesPerPixel_;
    // The part of a packet not yet produced.
    std::size_t pendingCount_ = 0;
    bool pendingRun_ = false;
    std::array<std::uint8_t, 4> runPixel_{};
};

// Reads a TGA file. See TargaGraphic.cpp for what is supported.
DecodeResult decodeTga(std::span<const std::uint8_t> bytes);
// The same, except that 24-bit pixels are written straight as 32-bit pixels with alpha 0;
// fileFormat receives the format decodeTga would have given.
DecodeResult decodeTgaWidening24Bits(std::span<const std::uint8_t> bytes, PixelFormat& fileFormat);

// The TGA reader of the extension registry.
class TTargaGraphic : public TGraphicExGraphic {
public:
    DecodeResult decode(std::span<const std::uint8_t> bytes) const override {
        return decodeTga(bytes);
    }
    DecodeResult decodeWidening24Bits(std::span<const std::uint8_t> bytes,
                                      PixelFormat& fileFormat) const override {
        return decodeTgaWidening24Bits(bytes, fileFormat);
    }
    std::optional<ImageProperties>
    ReadImageProperties(std::span<const std::uint8_t> bytes) const override;
    // True when the header is one this reader can load.
    static bool CanLoad(std::span<const std::uint8_t> bytes);
};

} // namespace parvane::imaging
